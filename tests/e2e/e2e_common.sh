# The part every end-to-end script shares, sourced after it has defined
# inside(), the steps run in the X server:
#   SCRIPT TESSELLANE TESSELLANE-CLI [SHOTS-DIR]   sets gui, cli, shots
#   SCRIPT --inside TESSELLANE SHOTS ARGS...        runs inside ARGS in the X server
# in_x HOME ARGS... runs this script's inside() in a fresh X server (1280 x 1024,
# 96 dots per inch) on the program folder HOME.
if [ "${1:-}" = --inside ]; then
  gui=$2 shots=$3
  shift 3
  inside "$@"
  exit
fi

gui=$1
cli=$2
shots=${3:-}
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run and xdotool are needed (./dev test installs them)"; exit 1
fi

in_x() {
  local home=$1
  shift
  TESSELLANE_HOME=$home xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash "$0" --inside "$gui" "$shots" "$@"
}

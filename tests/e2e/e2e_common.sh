# The part every end-to-end script shares, sourced after it has defined
# inside(), the steps run in the X server:
#   SCRIPT TESSELLANE TESSELLANE-CLI [SHOTS-DIR]   sets gui, cli, shots
#   SCRIPT --inside TESSELLANE TESSELLANE-CLI SHOTS ARGS...
#                                                  runs inside ARGS in the X server
# in_x HOME ARGS... runs this script's inside() in a fresh X server (1280 x 1024,
# 96 dots per inch) on the program folder HOME. Without xvfb-run and xdotool
# the script ends with status 77, which CTest counts as skipped. E2E_TRACE=1
# traces the steps in the X server.

# ---- Waiting for the program, in the X server ------------------------------
# Every wait ends after E2E_WAIT seconds (a slow sanitizer build needs more
# than a release build, a hung program no more than that).
E2E_WAIT=${E2E_WAIT:-60}
# Characters, not bytes, in the texts typed.
export LC_ALL=C.UTF-8
PS4='+ ${EPOCHREALTIME} '

# fail MESSAGE...: ends the script with the message.
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# until_true WHAT COMMAND...: waits until the command succeeds.
until_true() {
  local what=$1 limit=$((SECONDS + E2E_WAIT))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$limit" ] || fail "waited $E2E_WAIT s for $what"
    sleep 0.1
  done
}

visible_window() { # PATTERN: the id of a visible window whose name matches
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 | grep .
}

# window PATTERN: prints the id of the visible window whose name matches the
# pattern (a regular expression), waiting for it to show.
window() {
  until_true "a window \"$1\"" visible_window "$1" >/dev/null
  visible_window "$1"
}

is_shown() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
is_gone() { ! is_shown "$1"; }

# gone ID: waits until the window is hidden or closed.
gone() {
  until_true "window $1 to close" is_gone "$1"
}

# focus ID: gives the window the keyboard focus (Xvfb has no window manager
# that would give it back after a dialog closes).
focus() {
  [ "$(xdotool getwindowfocus 2>/dev/null)" != "$1" ] || return 0
  timeout "$E2E_WAIT" xdotool windowfocus --sync "$1" || fail "window $1 took no focus"
  sleep 0.1
}

# snap NAME [ID]: a screenshot of the window (the whole screen without ID)
# as NAME.png in the screenshot folder, as the screen shows it: with the
# menus, lists and dialogs that lie over it.
snap() {
  [ -n "$shots" ] || return 0
  local crop=()
  if [ -n "${2:-}" ]; then
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$2")"
    crop=(-crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage)
  fi
  import -window root "${crop[@]}" "$shots/$1.png" 2>/dev/null || true
}

# ended PID: waits until the program ends (its status is the function's).
ended() {
  local limit=$((SECONDS + E2E_WAIT))
  while kill -0 "$1" 2>/dev/null; do
    if [ "$SECONDS" -ge "$limit" ]; then
      snap 99_not_ended
      fail "the program did not end; shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
    fi
    sleep 0.1
  done
  wait "$1"
}

# wait_file PATH: waits until the file is there and holds something.
wait_file() {
  until_true "the file $1" test -s "$1"
}

# menu LETTERS...: opens a menu of the focused window with Alt and the first
# letter, then picks the items by the others.
menu() {
  local first=$1
  shift
  xdotool key --delay 80 "alt+$first" "$@"
  sleep 0.1
}

# type_text TEXT: types the text as a person does: ASCII with xdotool, the
# characters beyond it on the keys "keys bind" gave them.
type_text() {
  local text=$1 run="" other="" c i
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    if [[ $c == [\ -~] ]]; then
      [ -z "$other" ] || keys press "$other"
      other=""
      run+=$c
    else
      [ -z "$run" ] || xdotool type --delay 12 "$run"
      run=""
      other+=$c
    fi
  done
  [ -z "$other" ] || keys press "$other"
  [ -z "$run" ] || xdotool type --delay 12 "$run"
}

# keys bind TEXT: gives each character of the text beyond ASCII a key of its
# own, before the program starts (and reads the keyboard map).
# keys press TEXT: presses the keys of those characters, one after another.
# xdotool would bind one spare key to each such character in turn while it
# types, and a program that reads a key after the next binding gets another
# character or none.
keys() {
  python3 - "$@" <<'PYTHON'
import ctypes, ctypes.util, sys, time
mode, text = sys.argv[1], sys.argv[2]
x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
keysym = lambda c: 0x01000000 | ord(c)
if mode == "bind":
    chars = sorted({c for c in text if ord(c) > 0x7e})
    low, high = ctypes.c_int(), ctypes.c_int()
    x.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
    x.XDisplayKeycodes(display, ctypes.byref(low), ctypes.byref(high))
    count = high.value - low.value + 1
    per = ctypes.c_int()
    x.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
    x.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.POINTER(ctypes.c_int)]
    syms = x.XGetKeyboardMapping(display, low.value, count, ctypes.byref(per))
    # Key codes without any symbol, above the lowest (which some programs skip).
    free = [low.value + k for k in range(1, count) if all(syms[k * per.value + j] == 0 for j in range(per.value))]
    if len(free) < len(chars):
        sys.exit("not enough free key codes")
    x.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
    for code, c in zip(free, chars):
        x.XChangeKeyboardMapping(display, code, 1, (ctypes.c_ulong * 1)(keysym(c)), 1)
else:
    xtest = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
    xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XKeysymToKeycode.restype = ctypes.c_ubyte
    for c in text:
        code = x.XKeysymToKeycode(display, keysym(c))
        if not code:
            sys.exit("no key for " + c + " (keys bind it before the program starts)")
        xtest.XTestFakeKeyEvent(display, code, 1, 0)
        xtest.XTestFakeKeyEvent(display, code, 0, 0)
        x.XSync(display, 0)
        time.sleep(0.03)
x.XSync(display, 0)
x.XCloseDisplay(display)
PYTHON
}

if [ "${1:-}" = --inside ]; then
  gui=$2 cli=$3 shots=$4
  shift 4
  inside "$@"
  exit
fi

gui=$1
cli=$2
shots=${3:-}
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: xvfb-run and xdotool are needed"; exit 77
fi
# Screenshots only where ImageMagick's import is there to take them.
if [ -n "$shots" ] && command -v import >/dev/null; then mkdir -p "$shots"; else shots=""; fi

# The X server picks a free display itself (-displayfd) and names it once it
# takes clients, so that tests started side by side never share one; a server
# that ends or does not answer is started anew. It keeps its keyboard map when
# the last client leaves (-noreset): "keys bind" runs before the program starts.
x_answers() { # NUMBERS-FILE: the display named there answers
  [ -s "$1" ] && DISPLAY=:$(head -1 "$1") xdotool getmouselocation >/dev/null 2>&1
}

start_x() { # NUMBERS-FILE: sets xserver to the pid of an X server that answers
  local attempt limit
  for attempt in 1 2 3; do
    : >"$1"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$1" 2>/dev/null &
    xserver=$!
    limit=$((SECONDS + 20))
    while kill -0 "$xserver" 2>/dev/null && [ "$SECONDS" -lt "$limit" ]; do
      if x_answers "$1"; then return 0; fi
      sleep 0.1
    done
    kill "$xserver" 2>/dev/null || true
    wait "$xserver" 2>/dev/null || true
    echo "the X server did not start (attempt $attempt)" >&2
  done
  fail "no X server"
}

in_x() {
  local home=$1 numbers status=0 xserver
  shift
  numbers=$(mktemp)
  start_x "$numbers"
  DISPLAY=:$(head -1 "$numbers") TESSELLANE_HOME=$home bash ${E2E_TRACE:+-x} "$0" --inside "$gui" "$cli" "$shots" "$@" || status=$?
  kill "$xserver" 2>/dev/null || true
  wait "$xserver" 2>/dev/null || true
  rm -f "$numbers"
  return "$status"
}

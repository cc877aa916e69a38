# A clean Debian 12 (bookworm) root file system for the packaging tests,
# sourced by install-test and source-test with $here (the checkout) and $work
# (their folder under build-package/) set. The root made once by debootstrap
# (--variant=minbase) is kept as build-package/bookworm-minbase.tar.gz, the
# packages apt downloads in build-package/apt-archives; every run unpacks the clean
# root anew into $work/root, mounts what a running system has there and
# removes it again at the end (KEEP_ROOT=1 keeps it for a look inside).
# shellcheck shell=bash disable=SC2154 # here and work come from the script that sources this
mirror=http://deb.debian.org/debian
cache=$here/build-package/bookworm-minbase.tar.gz
archives=$here/build-package/apt-archives
root=$work/root
mkdir -p "$work" "$archives/partial"

mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
  done
  mounted=()
}
# The processes still running inside the root (none when the session ended
# as it should), ended by their process ids.
end_processes_inside() {
  local p
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ]; then
      kill -9 "${p#/proc/}" 2>/dev/null || true
    fi
  done
}
cleanup() {
  [ -d "$root" ] || return 0
  end_processes_inside
  unmount_all
  # Removed only when nothing is mounted below it any more.
  if [ "${KEEP_ROOT:-0}" != 1 ] && ! findmnt -rn -o TARGET | grep -q "^$root"; then
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT
bind() { # source target [options]
  mount "$@"
  mounted+=("${*: -1}")
}

step() { printf '\n== %s\n' "$*"; }
now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

# The clean root file system, made once.
if [ ! -s "$cache" ]; then
  if ! command -v debootstrap >/dev/null; then
    step "Installing debootstrap"
    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap
  fi
  if ! curl -fsS -o /dev/null --max-time 20 "$mirror/dists/bookworm/Release" 2>/dev/null &&
     ! wget -q -O /dev/null --timeout=20 "$mirror/dists/bookworm/Release" 2>/dev/null; then
    echo "$mirror cannot be reached: no clean root file system can be made" >&2
    exit 3
  fi
  step "Making a clean bookworm root file system (debootstrap --variant=minbase)"
  rm -rf --one-file-system "$work/bootstrap"
  t0=$(now)
  debootstrap --variant=minbase bookworm "$work/bootstrap" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log" >&2; exit 3; }
  tar -C "$work/bootstrap" --exclude='./dev/*' --exclude='./proc/*' --exclude='./sys/*' \
    --exclude='./var/cache/apt/archives/*.deb' -czf "$cache.part" .
  mv "$cache.part" "$cache"
  rm -rf --one-file-system "$work/bootstrap"
  echo "made in $(seconds "$t0" "$(now)") s: $cache"
fi

step "Unpacking the clean root file system"
if [ -d "$root" ]; then
  findmnt -rn -o TARGET | grep -q "^$root" && { echo "$root: something is still mounted there" >&2; exit 2; }
  rm -rf --one-file-system "$root"
fi
mkdir -p "$root"
tar -C "$root" -xzf "$cache"
bind -t proc proc "$root/proc"
bind --bind /dev "$root/dev"
bind --bind /dev/pts "$root/dev/pts"
bind -t tmpfs -o mode=1777 shm "$root/dev/shm"
bind --bind "$archives" "$root/var/cache/apt/archives"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# A command run as root inside, with a clean environment.
inside() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

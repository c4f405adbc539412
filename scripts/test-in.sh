#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the README's test command (scripts/test.sh) in a fresh minimal Debian system made
# with debootstrap, on a clean copy of the committed tree (HEAD), as a new user would.
# Usage: scripts/test-in.sh RELEASE [sdl2-compat]      (as root, or through sudo)
#   RELEASE      a Debian code name, e.g. trixie or bookworm
#   sdl2-compat  build and test against SDL 2's API over SDL 3 instead of SDL 2
# The system is made in chroots/<release>[-sdl2-compat]/ under the tree (git-ignored) and
# removed at the start of the next run of the same leg. Downloaded packages are kept in
# chroots/cache/<release>/, so that later legs reuse them; each leg is still a fresh system.
# ORRERY_FUZZ_SECONDS is passed on. Exit status: that of scripts/test.sh inside.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
release=${1:?usage: $0 RELEASE [sdl2-compat]}
sdl=${2:-sdl2}
case "$sdl" in
  sdl2 | sdl2-compat) ;;
  *) echo "usage: $0 RELEASE [sdl2-compat]" >&2; exit 2 ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=ORRERY_FUZZ_SECONDS "$0" "$@"
fi
"$top/scripts/deps.sh" chroot
started=$(date +%s)

leg=$release
[ "$sdl" = sdl2 ] || leg="$release-$sdl"
root="$top/chroots/$leg"
cache="$top/chroots/cache/$release"
mkdir -p "$cache/debootstrap" "$cache/archives/partial"

# The Debian mirror this machine's apt uses (deb822 files first, then the one-line form).
mirror=$(awk 'tolower($1) == "uris:" && $2 ~ /debian\/?$/ { print $2; exit }' \
  /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
if [ -z "$mirror" ]; then
  mirror=$(awk '$1 == "deb" && $2 ~ /debian\/?$/ { print $2; exit }' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true)
fi
mirror=${mirror:-http://deb.debian.org/debian}
security=${mirror%/debian}/debian-security
security=${security%/}

# Every mount below is undone on any exit (success, failure, Ctrl+C): processes a test left
# running inside the system are ended first, as they would keep the mounts busy.
mounts=()
cleanup() {
  local status=$?
  trap - EXIT INT TERM
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -KILL "$pid" 2>/dev/null
  done
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
  done
  echo "== $leg: $(($(date +%s) - started)) s, status $status"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mount_bind() { # SOURCE TARGET
  mkdir -p "$2"
  mount --bind "$1" "$2"
  mounts+=("$2")
}

if [ -d "$root" ]; then
  # A run that was killed hard may have left mounts; never delete through them.
  if grep -q " $root/" /proc/mounts; then
    echo "$root still has mounts; unmount them first:" >&2
    grep " $root/" /proc/mounts >&2
    exit 1
  fi
  rm -rf "$root"
fi

echo "== $leg: making a minimal $release system from $mirror"
debootstrap --variant=minbase --cache-dir="$cache/debootstrap" "$release" "$root" "$mirror" \
  >"$top/chroots/$leg.debootstrap.log" 2>&1 ||
  { tail -20 "$top/chroots/$leg.debootstrap.log" >&2; exit 1; }

cat >"$root/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $mirror
Suites: $release $release-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: $security
Suites: $release-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
rm -f "$root/etc/apt/sources.list"
# No services start inside the system while packages are installed.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# What Xvfb, openbox and weston need from the kernel; the package cache is shared.
mount_bind /proc "$root/proc"
mount_bind /sys "$root/sys"
mount_bind /dev "$root/dev"
mount_bind /dev/pts "$root/dev/pts"
[ -d /dev/shm ] && mount_bind /dev/shm "$root/dev/shm"
mount_bind "$cache/archives" "$root/var/cache/apt/archives"

mkdir -p "$root/src"
git -C "$top" -c tar.umask=0022 archive --format=tar HEAD | tar -x -C "$root/src"
echo "== $leg: tree of $(git -C "$top" rev-parse --short HEAD) in $root/src"

# SIGINT and SIGQUIT get back their default action, which a script's background command loses
# (the program's own handling of Ctrl+C is under test inside).
inside() {
  env --default-signal=INT,QUIT chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ORRERY_SDL="$sdl" ${ORRERY_FUZZ_SECONDS:+ORRERY_FUZZ_SECONDS=$ORRERY_FUZZ_SECONDS} "$@"
}
inside apt-get update -qq
if [ "$sdl" = sdl2-compat ] && ! inside apt-cache show libsdl2-compat-dev >/dev/null 2>&1; then
  echo "$release has no libsdl2-compat-dev" >&2
  exit 1
fi
# In the background, so that Ctrl+C ends the leg at once: a shell runs its trap only once the
# foreground command has returned, and apt-get, for one, carries on through SIGINT.
inside bash -c 'cd /src && scripts/test.sh' &
wait $!

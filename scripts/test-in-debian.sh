#!/usr/bin/env bash
# test-in-debian.sh RELEASE [COMMAND...]
# Runs the test command (default: bash scripts/test.sh) on another Debian release, as root: makes a
# fresh root of RELEASE (bookworm = Debian 12, trixie = Debian 13) from Debian's archive with
# debootstrap, enters it with chroot with /proc, /sys and /dev mounted, and runs the command there
# on a clean copy of this checkout (the files git tracks or would track, without build folders).
#
# The fresh root lives outside the source tree, under TALVANE_DEBIAN_DIR (default /var/tmp), and is
# removed afterwards; downloaded packages are kept in /var/cache/talvane-debian/RELEASE so that a
# second run need not fetch them again. Whatever happens, every process started inside the root is
# ended by its process id and every mount is undone before the root is removed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { echo "usage: $0 bookworm|trixie [COMMAND...]" >&2; exit 2; }
[ $# -ge 1 ] || usage
case "$1" in
  bookworm | 12) release=bookworm ;;
  trixie | 13) release=trixie ;;
  *) usage ;;
esac
shift
[ $# -gt 0 ] || set -- bash scripts/test.sh

say() { echo "test-in-debian ($release): $*" >&2; }
fail() { say "FAILED at step: $1${2:+ ($2)}"; exit 1; }

[ "$(id -u)" = 0 ] || fail "start" "needs root (debootstrap, chroot and mounts)"

parent=${TALVANE_DEBIAN_DIR:-/var/tmp}
mkdir -p "$parent" || fail "start" "cannot make $parent"
parent=$(cd "$parent" && pwd -P)
case "$parent/" in
  "$root"/*) fail "start" "TALVANE_DEBIAN_DIR ($parent) lies inside the source tree" ;;
esac
cache=/var/cache/talvane-debian/$release
mkdir -p "$cache/debootstrap" "$cache/apt" || fail "start" "cannot make $cache"
work=$(mktemp -d "$parent/talvane-$release.XXXXXX") || fail "start" "cannot make a folder in $parent"
target=$work/root

# Every process whose root directory is inside the fresh root: the X servers, wineservers and
# test programs the command started there, and nothing else.
processes_inside() {
  local link pid
  for link in /proc/[0-9]*/root; do
    pid=${link#/proc/}
    pid=${pid%/root}
    case "$(readlink "$link" 2>/dev/null)/" in
      "$target"/*) echo "$pid" ;;
    esac
  done
}

mounts_inside() {
  awk -v t="$target" '$2 == t || index($2, t "/") == 1 { print $2 }' /proc/self/mounts | sort -r
}

cleanup() {
  local rc=$? pids left
  trap - EXIT INT TERM HUP
  pids=$(processes_inside)
  if [ -n "$pids" ]; then
    # shellcheck disable=SC2086
    kill $pids 2>/dev/null
    for _ in $(seq 50); do
      pids=$(processes_inside)
      [ -z "$pids" ] && break
      sleep 0.1
    done
    # shellcheck disable=SC2086
    [ -z "$pids" ] || kill -9 $pids 2>/dev/null
    sleep 0.2
  fi
  # Deepest first; a mount still busy is detached lazily so that nothing is left behind.
  for _ in 1 2 3; do
    left=$(mounts_inside)
    [ -z "$left" ] && break
    while read -r m; do
      umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null
    done <<<"$left"
  done
  left=$(mounts_inside)
  if [ -n "$left" ]; then
    say "could not unmount, so $work is kept: $left"
    rc=1
  else
    rm -rf --one-file-system "$work"
  fi
  pids=$(processes_inside)
  [ -z "$pids" ] || { say "processes left inside: $pids"; rc=1; }
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

step() {
  local name=$1
  shift
  say "$name ..."
  "$@" || fail "$name" "exit code $?"
}

if ! command -v debootstrap >/dev/null; then
  step "install debootstrap" bash -c 'DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null'
fi

# Debootstrap's own default mirror: no archive host is named here.
say "debootstrap ..."
if ! debootstrap --variant=minbase --cache-dir="$cache/debootstrap" "$release" "$target" \
     >"$work/debootstrap.log" 2>&1; then
  tail -n 20 "$work/debootstrap.log" >&2
  fail "debootstrap" "its last lines are above"
fi

mount_all() {
  local m
  for m in proc sys dev; do
    mount --rbind "/$m" "$target/$m" && mount --make-rslave "$target/$m" || return 1
  done
  mount --bind "$cache/apt" "$target/var/cache/apt/archives"
}
step "mount /proc, /sys, /dev" mount_all
cp /etc/resolv.conf "$target/etc/resolv.conf" 2>/dev/null || true

copy_checkout() {
  mkdir -p "$target/src/talvane"
  if git -C "$root" rev-parse --show-toplevel >/dev/null 2>&1; then
    git -C "$root" ls-files -z --cached --others --exclude-standard |
      (cd "$root" && xargs -0 tar -c --no-recursion -f - --) | tar -x -C "$target/src/talvane"
  else
    tar -c -C "$root" --exclude=./build --exclude='./build-*' . | tar -x -C "$target/src/talvane"
  fi
}
step "copy the checkout" copy_checkout

say "running '$*' (log on stdout) ..."
chroot "$target" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'cd /src/talvane && exec "$@"' run "$@"
rc=$?
[ "$rc" = 0 ] || fail "running '$*'" "exit code $rc"
say "'$*' passed"

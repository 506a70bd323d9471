#!/bin/sh
# Checks the README's quick start on a bare Debian 12: makes a minimal root
# file system with debootstrap, copies a clean clone of the current branch in,
# runs scripts/test.sh there and then scripts/run-demo.sh under Xvfb (the
# window must still be up after $DEMO_SECONDS seconds). Needs root, debootstrap
# and network access to the Debian mirror this machine uses.
#
#   scripts/fresh-debian.sh [--keep] [root folder]
#
# The root folder (default: a new folder under /var/tmp) is removed at the end
# unless --keep is given; the mounts are always undone.
set -eu
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-debian.sh: run as root (debootstrap and chroot need it)" >&2
  exit 2
fi
keep=0
if [ "${1:-}" = "--keep" ]; then
  keep=1
  shift
fi
root=${1:-$(mktemp -d /var/tmp/tracemoor-fresh.XXXXXX)}
DEMO_SECONDS=${DEMO_SECONDS:-20}

mkdir -p "$root"
chmod 755 "$root" # the new system's "/" (mktemp makes it private)

# The first Debian archive named in this machine's apt sources.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
  /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v '^ *#' |
  grep -Eo 'https?://[^ ]*/debian/?( |$)' | grep -v security | head -n 1 | tr -d ' ')
mirror=${mirror:-http://deb.debian.org/debian}

log=$root.log
mounted=""
cleanup() {
  for m in $mounted; do umount -l "$root/$m" 2>/dev/null || true; done
  # Never remove through a mount that is still there (it would be the host's /dev).
  if grep -q " $root/" /proc/mounts; then
    echo "fresh-debian.sh: $root still has mounts; not removed" >&2
  elif [ "$keep" -eq 0 ]; then
    rm -rf "$root"
  fi
}
trap cleanup EXIT INT TERM

stage_start=0
stage() {
  now=$(date +%s)
  if [ "$stage_start" -ne 0 ]; then
    echo "== $stage_name: $((now - stage_start)) s"
  fi
  stage_name=$1
  stage_start=$now
  [ -n "$stage_name" ] && echo "== $stage_name ($(date -u +%H:%M:%S))"
  return 0
}

stage "debootstrap bookworm from $mirror into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$log" 2>&1 ||
  { tail -n 20 "$log"; exit 1; }

for m in proc sys dev dev/pts; do
  mount --bind "/$m" "$root/$m"
  mounted="$m $mounted"
done
cp /etc/resolv.conf "$root/etc/resolv.conf"

stage "clean clone of $(git rev-parse --abbrev-ref HEAD) at $(git rev-parse --short HEAD)"
git clone -q --no-local --branch "$(git rev-parse --abbrev-ref HEAD)" . "$root/root/tracemoor"

run() {
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 /bin/sh -c "cd /root/tracemoor && $1"
}

stage "scripts/test.sh"
status=0
run "scripts/test.sh" >"$root.test.log" 2>&1 || status=$?
tail -n 15 "$root.test.log"
# When setup.sh's packages were installed (the rest of the stage is the build and the tests).
grep -E '^(Start|End)-Date' "$root/var/log/apt/history.log" 2>/dev/null | tail -n 2 || true
if [ "$status" -ne 0 ]; then
  echo "fresh-debian.sh: scripts/test.sh failed ($status); whole output in $root.test.log"
  exit 1
fi

stage "scripts/run-demo.sh under xvfb-run"
# test.sh installed xvfb; the demo window must come up and stay up.
run "xvfb-run -a sh -c 'scripts/run-demo.sh & pid=\$!; sleep $DEMO_SECONDS;
  if kill -0 \$pid; then echo \"tracemoor is up after $DEMO_SECONDS s\"; kill \$pid;
  else wait \$pid; echo \"tracemoor ended early: \$?\"; exit 1; fi'" \
  >"$root.demo.log" 2>&1 || status=$?
tail -n 5 "$root.demo.log"
stage ""
if [ "$status" -ne 0 ]; then
  echo "fresh-debian.sh: scripts/run-demo.sh failed; output in $root.demo.log"
  exit 1
fi
echo "fresh-debian.sh: the quick start works on a bare Debian 12"

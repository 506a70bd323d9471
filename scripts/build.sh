#!/bin/sh
# Configures (once) and builds into build/ (or build-asan/ with --sanitize).
# Targets named after the options are built alone (default: everything):
#   scripts/build.sh tracemoor
set -eu
cd "$(dirname "$0")/.."

dir=build
extra=""
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  extra="-DTRACEMOOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTRACEMOOR_BENCH=OFF"
  shift
fi
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja $extra
fi
if [ $# -gt 0 ]; then
  set -- --target "$@"
fi
cmake --build "$dir" --parallel "$(nproc)" "$@"

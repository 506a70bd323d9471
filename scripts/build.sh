#!/bin/sh
# Configures and builds into build/ (Release, what users build) or build-asan/
# with --sanitize. A build/ configured for another build type is switched to
# Release, so that every run of the tests builds what users get.
set -eu
cd "$(dirname "$0")/.."

dir=build
extra="-DCMAKE_BUILD_TYPE=Release"
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  extra="-DTRACEMOOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTRACEMOOR_BENCH=OFF"
fi
want=${extra#*CMAKE_BUILD_TYPE=}
want=${want%% *}
if [ ! -f "$dir/build.ninja" ] ||
  ! grep -qx "CMAKE_BUILD_TYPE:STRING=$want" "$dir/CMakeCache.txt"; then
  cmake -S . -B "$dir" -G Ninja $extra
fi
cmake --build "$dir" --parallel "$(nproc)"

#!/bin/sh
# Configures (once) and builds into build/ (or build-asan/ with --sanitize;
# build-asan-unit/, sanitized without windows or benchmarks, with
# --sanitize-unit).
# Targets named after the options are built alone (default: everything):
#   scripts/build.sh tracemoor
set -eu
cd "$(dirname "$0")/.."

dir=build
extra="-DCMAKE_BUILD_TYPE=Release"
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  extra="-DTRACEMOOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTRACEMOOR_BENCH=OFF"
  shift
elif [ "${1:-}" = "--sanitize-unit" ]; then
  dir=build-asan-unit
  extra="-DTRACEMOOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTRACEMOOR_GUI=OFF -DTRACEMOOR_BENCH=OFF"
  shift
fi

# With ccache (setup.sh installs it) a clean clone builds from the cache of the
# last one: paths are taken relative to the tree, so any clone's objects match.
if [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && command -v ccache >/dev/null 2>&1; then
  extra="$extra -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi
if command -v ccache >/dev/null 2>&1 && [ -z "${CCACHE_BASEDIR:-}" ]; then
  CCACHE_BASEDIR=$(pwd)
  export CCACHE_BASEDIR
fi
# build/ is Release, what users build: one configured for another build type
# is switched, so that every run of the tests builds what users get.
want=${extra#*CMAKE_BUILD_TYPE=}
want=${want%% *}
if [ -f "$dir/CMakeCache.txt" ] && ! grep -qx "CMAKE_BUILD_TYPE:STRING=$want" "$dir/CMakeCache.txt"
then
  cmake -S . -B "$dir" -G Ninja $extra
fi
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja $extra
fi
if [ $# -gt 0 ]; then
  set -- --target "$@"
fi
cmake --build "$dir" --parallel "$(nproc)" "$@"

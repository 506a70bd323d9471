#!/bin/sh
# Sets up, builds and runs the whole test suite. Exit status is non-zero when
# anything fails. --sanitize runs it all under AddressSanitizer and UBSan.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh "$@"

dir=build
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp"
fi
# A fresh machine gets only what setup.sh installs: the build must need no more.
scripts/check-packages.sh "$dir"
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 300

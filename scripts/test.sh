#!/bin/sh
# Sets up, builds and runs the whole test suite, then the unit tests once more
# under AddressSanitizer and UBSan (build-asan-unit/, without windows). Exit
# status is non-zero when anything fails. --sanitize runs it all under the
# sanitizers instead (build-asan/).
set -eu
cd "$(dirname "$0")/.."

sanitizers() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp"
}

scripts/setup.sh
scripts/build.sh "$@"

dir=build
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  sanitizers
fi
# A fresh machine gets only what setup.sh installs: the build must need no more.
scripts/check-packages.sh "$dir"
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 300

if [ "$dir" = build ]; then
  scripts/build.sh --sanitize-unit
  sanitizers
  ctest --test-dir build-asan-unit -L unit --output-on-failure --parallel "$(nproc)" --timeout 300
fi

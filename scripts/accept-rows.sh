#!/bin/sh
# Rewrites the stored rows of the UART and CAN golden captures
# (tests/protocols/data/*.csv) from the current decoders and emulated scenes,
# after a reviewed change. Usage:
#   scripts/accept-rows.sh [build folder]   (default build/)
# Review the result with `git diff tests/protocols/data` before committing.
set -eu
cd "$(dirname "$0")/.."

dir=${1:-build}
cmake --build "$dir" --target tests_protocols
TRACEMOOR_ACCEPT_ROWS=1 "$dir/tests/tests_protocols" --gtest_filter='Captures/GoldenTest.*'
git status --short tests/protocols/data

#!/bin/sh
# Rewrites the stored decodes of the emulated I2C and SPI scenes
# (tests/protocols/data/*.rows) after a reviewed decoder change. Usage:
#   scripts/accept-decodes.sh [build folder] [capture]
# With "capture" the captures (*.capture) are taken anew from the emulated
# instrument as well. Review the result with `git diff` before committing.
set -eu
cd "$(dirname "$0")/.."

dir=${1:-build}
mode=${2:-1}
cmake --build "$dir" --target tests_protocols
TRACEMOOR_ACCEPT_DECODES=$mode "$dir/tests/tests_protocols" --gtest_filter='Emulated/GoldenCaptures.*'
git status --short tests/protocols/data

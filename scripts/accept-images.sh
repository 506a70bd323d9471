#!/bin/sh
# Rewrites the stored waveform pictures (tests/display/data/images/) from the
# current drawing code, after a reviewed change. Usage:
#   scripts/accept-images.sh [build folder]   (default build/)
# Review the result with `git diff --stat` and an image viewer before committing.
set -eu
cd "$(dirname "$0")/.."

dir=${1:-build}
cmake --build "$dir" --target guitests_display
TRACEMOOR_ACCEPT_IMAGES=1 QT_QPA_PLATFORM=offscreen \
  "$dir/tests/guitests_display" --gtest_filter='WaveformImages.*'
git status --short tests/display/data/images

#!/bin/sh
# Sets up, builds and starts Tracemoor on the Demo model (no instrument needed).
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh
TRACEMOOR_DEVICE="${TRACEMOOR_DEVICE:-demo}" exec build/tracemoor

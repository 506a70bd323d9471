#!/bin/sh
# Sets up, builds and starts Tracemoor on the Demo model (no instrument needed).
# Only the program and its drawing library are built; scripts/test.sh builds the rest.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh tracemoor
# The Demo opens showing its capture: Auto Scale lists its channels and runs.
TRACEMOOR_DEVICE="${TRACEMOOR_DEVICE:-demo}" exec build/tracemoor --auto-scale "$@"

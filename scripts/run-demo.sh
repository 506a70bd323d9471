#!/bin/sh
# Sets up, builds and starts Tracemoor on the Demo model (no instrument needed).
# Only the program and its drawing library are built; scripts/test.sh builds the rest.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh tracemoor
TRACEMOOR_DEVICE="${TRACEMOOR_DEVICE:-demo}" exec build/tracemoor "$@"

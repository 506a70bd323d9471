#!/bin/sh
# Tracemoor's window in Run mode against the emulated analyzer (offscreen) for
# 10,000 captures, or as many as the argument says, with Auto Store off and
# on, at the lowest priority: the memory in use and the open files after the
# warm-up and at the end, as a table (docs/reliability.md keeps the figures).
# Fails when either grows. Takes about ten minutes on two cores.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh longrun_analyzer
TRACEMOOR_LONG_RUN_CAPTURES="${1:-10000}" QT_QPA_PLATFORM=offscreen \
  nice -n 19 build/tests/longrun_analyzer

#!/usr/bin/env bash
# The long soak: builds the soak test (tests/e2e/soak_test.cpp) and runs it
# under Wine in a headless X server and the test prefix, with a seeded random
# sequence of user actions against the real Pallimo.exe and the stand-in
# messenger. CTest runs the same program with a short default length.
#
#   scripts/soak.sh [ACTIONS] [SEED]
#     ACTIONS  how many actions (default 10000, about 14 minutes here)
#     SEED     the seed (default the test program's own, the one CTest runs); the
#              same seed gives the same actions
#   PALLIMO_BUILD  the Windows build folder (default build/windows, the preset's)
#
# It prints the figures of the run (actions, seconds, crashes, hangs,
# mismatches and a count per kind of action) and exits non-zero on any failure,
# after printing the seed and the action that broke.
# Installs what it needs first (Debian 12; root or sudo).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
actions=${1:-10000}
bash scripts/setup.sh

source scripts/wine-env.sh
build=$(pallimo_windows_build)
cmake --build "$build" -j2 --target soak_test >/dev/null

trap pallimo_stop_wine EXIT
pallimo_start_xvfb
pallimo_make_prefix
# Without a seed the program takes its own; it prints the seed it runs with.
if [ -n "${2:-}" ]; then export PALLIMO_SOAK_SEED=$2; else unset PALLIMO_SOAK_SEED; fi
# No time budget: the run ends after its actions.
PALLIMO_SOAK_ACTIONS=$actions PALLIMO_SOAK_SECONDS=0 wine "$build/tests/e2e/soak_test.exe"

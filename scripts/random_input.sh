#!/usr/bin/env bash
# The seeded random-input test on its own: the real program in a fresh Wine
# prefix on a virtual display, random clicks, keys, tab changes and closes
# for a while; it fails on a crash or a hang and names the seed and the
# action count, so a failure can be replayed with --seed.
#   bash scripts/random_input.sh [--seconds N] [--seed S]
# Builds what is missing first (scripts/setup.sh, the win build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=120
seed=20261209
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--seed S]" >&2; exit 2 ;;
  esac
done

if [ ! -x build/win/tests/clearvane_win_tests.exe ] || [ ! -f build/win/clearvane.exe ]; then
  bash scripts/setup.sh
  cmake --preset win >/dev/null
  cmake --build --preset win -j "$(nproc)"
fi

source scripts/wine-env.sh
export WINEPREFIX=${RANDOM_INPUT_PREFIX:-$root/build/wineprefix-random}
wine_fresh_prefix "$WINEPREFIX"
xvfb_start
trap 'wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
# Wine's services start before the test, so they never hold on to its output.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
cd build/win/tests
CLEARVANE_RANDOM_SECONDS=$seconds CLEARVANE_RANDOM_SEED=$seed \
  wine ./clearvane_win_tests.exe --gtest_filter='RandomInput.*' </dev/null

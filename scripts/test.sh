#!/usr/bin/env bash
# Builds both builds and runs every test: the host tests natively, under
# AddressSanitizer and UndefinedBehaviorSanitizer, and under ThreadSanitizer,
# every fuzz target for a short while (CLEARVANE_FUZZ_SECONDS, 30 by
# default), then the Windows tests under Wine in a fresh throw-away prefix
# with a virtual display, the seeded random-input test for two minutes,
# and last the demo machine: a second fresh prefix
# seeded by scripts/demo_prefix.py, read back and uninstalled from, and
# Clearvane's own installer installed and uninstalled there.
# Installs what it needs first (Debian/Ubuntu).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh

jobs=$(nproc)
status=0

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror || status=1

echo "== host build"
cmake --preset host -DCLEARVANE_WERROR=ON >/dev/null
cmake --build --preset host -j "$jobs"
echo "== host-asan build"
cmake --preset host-asan -DCLEARVANE_WERROR=ON >/dev/null
cmake --build --preset host-asan -j "$jobs"
echo "== host-tsan build"
cmake --preset host-tsan -DCLEARVANE_WERROR=ON >/dev/null
cmake --build --preset host-tsan -j "$jobs"
echo "== win build"
cmake --preset win -DCLEARVANE_WERROR=ON >/dev/null
cmake --build --preset win -j "$jobs"
# The common dialogs' library (and the printing libraries it brings) is
# loaded when a file is first chosen, never at start.
if x86_64-w64-mingw32-objdump -p build/win/clearvane.exe | grep -qi 'DLL Name: comdlg32'; then
  echo "clearvane.exe links comdlg32.dll at start"
  status=1
fi

echo "== host tests"
ctest --test-dir build/host --output-on-failure -j "$jobs" || status=1
echo "== host tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/host-asan --output-on-failure -j "$jobs" || status=1

echo "== host tests under ThreadSanitizer"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/host-tsan --output-on-failure -j "$jobs" || status=1

echo "== fuzz targets, ${CLEARVANE_FUZZ_SECONDS:-30} seconds each"
bash fuzz/run.sh "${CLEARVANE_FUZZ_SECONDS:-30}" || status=1

echo "== Windows tests under Wine"
# What the tests move to the Recycle Bin goes to a trash folder of their own.
export XDG_DATA_HOME=$root/build/xdg-data
source scripts/wine-env.sh
export WINEPREFIX=$root/build/wineprefix-test
wine_fresh_prefix "$WINEPREFIX"
xvfb_start
trap 'wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
# Start the wine server before ctest, so Wine's services do not inherit
# ctest's pipes (ctest would wait for them for ever).
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --test-dir build/win --output-on-failure -LE screenshots || status=1

echo "== random input under Wine: 120 seconds, a fixed seed"
(cd build/win/tests &&
  CLEARVANE_RANDOM_SECONDS=120 CLEARVANE_RANDOM_SEED=20261209 \
    wine ./clearvane_win_tests.exe --gtest_filter='RandomInput.*' </dev/null) || status=1

echo "== the demo machine and Clearvane's installer under Wine"
wineserver -k 2>/dev/null || true
export WINEPREFIX=$root/build/wineprefix-demo-test
wine_fresh_prefix "$WINEPREFIX"
python3 scripts/demo_prefix.py "$WINEPREFIX" "$root/build/demo" || status=1
wineserver -p </dev/null >/dev/null 2>&1
(cd build/win/tests &&
  CLEARVANE_DEMO_PREFIX=1 wine ./clearvane_win_tests.exe --gtest_filter='DemoPrefix.*' </dev/null) || status=1
(cd build/win/tests &&
  CLEARVANE_INSTALLER_TEST=1 wine ./clearvane_win_tests.exe --gtest_filter='ClearvaneInstaller.*' </dev/null) ||
  status=1

exit $status

#!/usr/bin/env bash
# Builds Clearvane and opens it under Wine: on the demo machine by default
# (a prefix seeded by scripts/demo_prefix.py, made once in build/), or on
# the Wine prefix you name. Without a display it runs on a virtual one,
# saves a screenshot of the program and prints where.
#   bash scripts/run.sh [--prefix PATH]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

prefix=""
if [ "${1:-}" = "--prefix" ] && [ -n "${2:-}" ]; then
  prefix=$(cd "$2" && pwd)
fi

bash scripts/setup.sh
cmake --preset win >/dev/null
cmake --build --preset win --target clearvane clearvane_help

source scripts/wine-env.sh
if [ -z "$prefix" ]; then
  prefix=$root/build/wineprefix-demo
  # Made again whenever what it is made from changed.
  recipe=$(cat demo/entries.txt demo/DemoApp.c scripts/demo_prefix.py | sha1sum | cut -d' ' -f1)
  if [ "$(cat "$prefix/.clearvane-demo" 2>/dev/null)" != "$recipe" ]; then
    echo "Making the demo machine in $prefix (about a minute)"
    wine_fresh_prefix "$prefix"
    python3 scripts/demo_prefix.py "$prefix" "$root/build/demo"
    echo "$recipe" > "$prefix/.clearvane-demo"
  fi
fi
export WINEPREFIX=$prefix

cd build/win
if [ -n "${DISPLAY:-}" ]; then
  exec wine ./clearvane.exe
fi

xvfb_start
trap 'wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
wine ./clearvane.exe </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 120); do
  xdotool search --name '^Clearvane$' >/dev/null 2>&1 && break
  sleep 0.5
done
sleep 5 # the icons and the bad entries
shot=$root/build/clearvane-screenshot.png
import -window root "$shot"
echo "No display here: Clearvane ran on a virtual one. Screenshot: $shot"

#!/usr/bin/env bash
# Takes the pictures in docs/screenshots: builds the screenshot programs, runs
# them under Wine on a virtual display in a fresh prefix seeded as the demo
# machine, and copies the PNG files they save, compressed, into
# docs/screenshots.
#   bash scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win >/dev/null
cmake --build --preset win --target clearvane_screenshots -j "$(nproc)"

source scripts/wine-env.sh
export WINEPREFIX=$PWD/build/wineprefix-shots
wine_fresh_prefix "$WINEPREFIX"
python3 scripts/demo_prefix.py "$WINEPREFIX" "$PWD/build/demo" >/dev/null # the page is shown on the demo machine
export CLEARVANE_DEMO_PREFIX=1
xvfb_start
trap xvfb_stop EXIT
rm -rf build/win/tests/screenshots
(cd build/win/tests && wine ./clearvane_screenshots.exe >../screenshots.log 2>&1) ||
  { cat build/win/screenshots.log; exit 1; }

mkdir -p docs/screenshots
python3 - build/win/tests/screenshots docs/screenshots <<'PY'
import os, struct, sys, zlib
source, target = sys.argv[1], sys.argv[2]
for name in sorted(os.listdir(source)):
    data = open(os.path.join(source, name), 'rb').read()
    at, chunks = 8, []
    while at < len(data):
        length = struct.unpack('>I', data[at:at + 4])[0]
        chunks.append((data[at + 4:at + 8], data[at + 8:at + 8 + length]))
        at += 12 + length
    idat = zlib.compress(zlib.decompress(b''.join(c for t, c in chunks if t == b'IDAT')), 9)
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    header = next(c for t, c in chunks if t == b'IHDR')
    with open(os.path.join(target, name), 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', idat) + chunk(b'IEND', b''))
    print(os.path.join(target, name))
PY

#!/usr/bin/env bash
# Installs what building and testing Clearvane needs on Debian or Ubuntu.
# Packages already present are not fetched again.
set -euo pipefail

packages=(
  g++ cmake ninja-build googletest libgtest-dev clang-format
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine xvfb xauth
  nsis fp-utils imagemagick-6.q16 xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"

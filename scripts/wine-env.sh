# Sourced by the scripts that run Windows programs: a quiet Wine in the
# prefix given by WINEPREFIX (a fresh throw-away one under build/ by default).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# Wine's Recycle Bin is the desktop's trash folder, which it does not make
# where its parent folder is missing (a fresh root account): without it the
# shell asks whether to delete for good, and a test that moves a file to the
# Recycle Bin waits on that question for ever.
mkdir -p "${XDG_DATA_HOME:-$HOME/.local/share}/Trash/files" "${XDG_DATA_HOME:-$HOME/.local/share}/Trash/info"

# Makes a fresh prefix with the settings every test prefix gets: no crash
# dialog (it would wait for ever under Xvfb), a virtual desktop, and the .exe
# and .txt associations a new Wine prefix lacks.
wine_fresh_prefix() {
  local prefix=$1
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  WINEPREFIX=$prefix wine regedit /s "$(dirname "${BASH_SOURCE[0]}")/../cmake/wine-test.reg" >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  wine_add_fonts "$prefix"
}

# Wine's own MS Sans Serif, Tahoma and friends (package fonts-wine): this
# Wine does not find them where the package puts them, so they go into the
# prefix's Fonts folder.
wine_add_fonts() {
  local prefix=$1 fonts=/usr/share/wine/fonts
  [ -d "$fonts" ] || return 0
  cp "$fonts"/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Starts one Xvfb for the whole run and points DISPLAY at it.
xvfb_start() {
  local out
  out=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$out" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 200); do
    [ -s "$out" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(cat "$out")"
  rm -f "$out"
}

xvfb_stop() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}

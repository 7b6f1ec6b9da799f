# Shared by scripts/test and scripts/run: build trees, Wine prefixes, Xvfb.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KX_BUILD:-$ROOT/build}"
JOBS="$(nproc)"

configure_windows() {
  cmake -S "$ROOT" -B "$BUILD/windows" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
}

configure_native() {
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/native" -G Ninja \
        -DKX_SANITIZE=ON -DKX_FUZZ=ON >/dev/null
}

build_tree() {
  cmake --build "$1" -j "$JOBS"
}

# start_xvfb: starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
  local fifo
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local n
  read -r n <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$n"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

# prepare_prefix <dir>: a 32-bit Wine prefix at 96 DPI whose server runs on
# the current display. A server left from another display would make every
# window creation fail, so any old one is stopped first.
prepare_prefix() {
  export WINEPREFIX="$1" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineserver -k 2>/dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || { echo "Could not create the Wine prefix $WINEPREFIX" >&2; return 1; }
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    wineserver -w
  fi
  # Keep one server alive for the whole run: every test starts faster.
  wineserver -p 60
  # Start Wine's background services now, with nothing of ours as their
  # output: started by a test, they would inherit its output pipe and keep
  # test discovery waiting for the pipe to close.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

stop_prefix() {
  if [ -n "${WINEPREFIX:-}" ]; then
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  fi
}

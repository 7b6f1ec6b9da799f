# Shared by scripts/test and scripts/run: build trees, Wine prefixes, Xvfb.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KX_BUILD:-$ROOT/build}"
JOBS="$(nproc)"
WINE64_LOADER=/usr/lib/wine/wine64

# The Windows build trees: the 32-bit product and the 64-bit build.
windows_tree() {
  case "$1" in
    i686) echo "$BUILD/windows" ;;
    x86_64) echo "$BUILD/win64" ;;
  esac
}

# configure_windows <i686|x86_64>
configure_windows() {
  cmake -S "$ROOT" -B "$(windows_tree "$1")" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$1.cmake" >/dev/null
}

configure_native() {
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/native" -G Ninja \
        -DKX_SANITIZE=ON -DKX_FUZZ=ON >/dev/null
}

build_tree() {
  cmake --build "$1" -j "$JOBS"
}

# host_runs_32bit: true when this host can run 32-bit programs, so Wine's
# 32-bit side can start. Otherwise NO_32BIT_REASON says why not.
host_runs_32bit() {
  NO_32BIT_REASON=""
  if [ ! -x /usr/lib/wine/wine ]; then
    NO_32BIT_REASON="Wine's 32-bit side (wine32:i386) is not installed"
    return 1
  fi
  local out
  if ! out="$(/lib/ld-linux.so.2 --version 2>&1)"; then
    NO_32BIT_REASON="this host refuses 32-bit programs (/lib/ld-linux.so.2: ${out##*: })"
    return 1
  fi
  return 0
}

# start_xvfb: starts Xvfb on a free display and exports DISPLAY; false when
# no display could be started.
start_xvfb() {
  local fifo
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local n=""
  read -r -t 30 n <"$fifo"
  rm -f "$fifo"
  [ -n "$n" ] || return 1
  export DISPLAY=":$n"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

# use_wine <i686|x86_64>: sets WINE to the loader for programs of that
# architecture. The 64-bit loader is called directly: Debian's `wine`
# prefers the 32-bit one whenever it is installed.
use_wine() {
  if [ "$1" = x86_64 ]; then
    export WINEARCH=win64 WINELOADER="$WINE64_LOADER"
    WINE="$WINE64_LOADER"
  else
    export WINEARCH=win32
    unset WINELOADER
    WINE=wine
  fi
}

# prepare_prefix <dir> <i686|x86_64> [unmanaged]: a Wine prefix of that
# architecture at 96 DPI whose server runs on the current display. A server left from
# another display would make every window creation fail, so any old one is
# stopped first.
prepare_prefix() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  use_wine "$2"
  wineserver -k 2>/dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WINE" wineboot -i >/dev/null 2>&1
    # The server writes the registry files when it exits.
    wineserver -w
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      PREFIX_ERROR="could not create the Wine prefix $WINEPREFIX"
      return 1
    fi
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    wineserver -w
  fi
  # Our own displays have no window manager: there a managed window that is
  # hidden would wait two seconds for one to answer.
  if [ "${3:-}" = unmanaged ]; then
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  else
    "$WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
  fi
  # Keep one server alive for the whole run: every test starts faster.
  wineserver -p 60
  start_prefix_keeper
}

# Wine ends its background services whenever no program of the prefix runs,
# and the next program to start starts them again with its own error output,
# which they hold until they end: a test that happened to start them seemed
# to hang after passing, as ctest waits for its output to close. So one idle
# program runs in the prefix until stop_prefix, with nothing of ours as its
# output, and the services start once, as its children.
start_prefix_keeper() {
  local fifo="$WINEPREFIX/keeper.fifo"
  rm -f "$fifo"
  mkfifo "$fifo" || return 0
  "$WINE" cmd.exe <"$fifo" >/dev/null 2>&1 &
  # cmd waits on its input until this end closes.
  exec {PREFIX_KEEPER_FD}>"$fifo"
}

stop_prefix() {
  if [ -n "${PREFIX_KEEPER_FD:-}" ]; then
    exec {PREFIX_KEEPER_FD}>&-
    PREFIX_KEEPER_FD=
  fi
  if [ -n "${WINEPREFIX:-}" ]; then
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  fi
}

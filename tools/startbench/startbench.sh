#!/usr/bin/env bash
# startbench.sh [--film FILM] [--keep FOLDER] [N ...]: the library manager's
# time from its start to its main window, with 5 films and with each N
# (default 500 and 2000), for a first start (which records every film of the
# films folder) and a second start on the same library; and the time from
# each start's close (WM_CLOSE to its main window) to the program's end,
# which packs and compacts the library's tables. The films are hard
# links of one sample film in the films folder of a private installation in
# a Wine prefix of its own, laid out afresh for each N. --film names the
# film: one of the build's shipped films ("sample240.flm", which carries its
# own data and a sprite strip like the shipped Harbour Lights film) or a
# path; the default is "sampleplain.flm", a film without data of its own.
# --keep copies the tables of each N's first start into FOLDER/N, for a
# comparison of what two builds store. Needs the 64-bit Windows build and
# $DISPLAY. STARTBENCH_MANAGER names another build's "Glintharbour KX3.exe"
# to time instead of this tree's, for a before-and-after comparison;
# STARTBENCH_TREE names another build's 64-bit tree whose manager and
# table engine (C4DLL.DLL, which the manager loads from its own folder) are
# timed instead.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

WIN="$(windows_tree x86_64)"
FILM=sampleplain.flm
KEEP=""
while [ $# -gt 0 ]; do
  case "$1" in
    --film) FILM="$2"; shift 2 ;;
    --keep) KEEP="$2"; shift 2 ;;
    *) break ;;
  esac
done
COUNTS=("$@")
[ ${#COUNTS[@]} -gt 0 ] || COUNTS=(500 2000)
PREFIX="$WIN/startbench/wineprefix"
DRIVE_C="$PREFIX/drive_c"
PROGRAM_DIR="$DRIVE_C/Program Files/Glintharbour KX3"
FILMS_DIR="$PROGRAM_DIR/Glintharbour Films"
PROGRAM='C:\Program Files\Glintharbour KX3\Glintharbour KX3.exe'
case "$FILM" in
  */*) SAMPLE="$FILM" ;;
  *) SAMPLE="$WIN/films/$FILM" ;;
esac
[ -f "$SAMPLE" ] || { echo "startbench: no film $SAMPLE" >&2; exit 2; }

prepare_prefix "$PREFIX" x86_64 unmanaged || { echo "$PREFIX_ERROR" >&2; exit 1; }
trap 'stop_prefix' EXIT

install_programs() {
  mkdir -p "$PROGRAM_DIR"
  cp "$WIN/platform/quicktime/QuickTime.qts" "$WIN/bin/dbdao3.dll" "$DRIVE_C/windows/system32/"
  cp "$WIN/bin/ACCESSDB.DLL" "$DRIVE_C/windows/"
  local tree="${STARTBENCH_TREE:-$WIN}"
  cp "$tree/bin/C4DLL.DLL" "${STARTBENCH_MANAGER:-$tree/manager/Glintharbour KX3.exe}" "$WIN/films/cs.flm" \
    "$WIN/films/default.flm" "$PROGRAM_DIR/"
}

# lay_out N: fresh tables, N films, a settings file naming only the folders.
lay_out() {
  rm -rf "$PROGRAM_DIR/Database" "$FILMS_DIR"
  mkdir -p "$PROGRAM_DIR/Database" "$FILMS_DIR"
  (cd "$WIN/bin" && "$WINE" kxdb.exe seed 'C:\Program Files\Glintharbour KX3\Database' >/dev/null)
  local n
  for ((n = 1; n <= $1; ++n)); do ln "$SAMPLE" "$FILMS_DIR/film$n.flm"; done
  printf '[Glintharbour]\r\nPath=C:\\Program Files\\Glintharbour KX3\r\nDBPath=C:\\Program Files\\Glintharbour KX3\\Database\r\nCDDrive=Q:\\\r\n' \
    >"$DRIVE_C/windows/glintharbour.ini"
}

clock() { "$WINE" "$WIN/bin/startclock.exe" "$PROGRAM" | tr -d '\r'; }

install_programs
echo "film: $SAMPLE"
printf '%8s %12s %12s %14s %12s %12s\n' films "first start" "second start" "second vs 5" "first close" \
  "second close"
base=""
for count in 5 "${COUNTS[@]}"; do
  lay_out "$count"
  read -r first firstClose <<<"$(clock)"
  if [ -n "$KEEP" ]; then
    mkdir -p "$KEEP/$count"
    cp "$PROGRAM_DIR/Database/"* "$KEEP/$count/"
  fi
  read -r second secondClose <<<"$(clock)"
  [ -n "$base" ] || base="$second"
  printf '%8s %11ss %11ss %13sx %11ss %11ss\n' "$count" "$first" "$second" \
    "$(echo "scale=2; $second / $base" | bc)" "$firstClose" "$secondClose"
done

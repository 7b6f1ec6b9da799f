#!/usr/bin/env bash
# prefix-without.sh <make|stop> <prefix> <i686|x86_64> [library...]
# A Wine prefix of its own for the tests that need a Windows folder without
# some library (QuickTime.qts, ACCESSDB.DLL) that the tree's own prefix holds
# for every other test running beside them. Made like the tree's prefix, by
# scripts/lib.sh; `make` removes the named libraries from its Windows folder.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
case "$1" in
  make)
    # Its output goes to a file: the server it leaves running would keep
    # ctest waiting for the test's output to close.
    log="$2.log"
    if ! prepare_prefix "$2" "$3" unmanaged </dev/null >"$log" 2>&1; then
      cat "$log"
      echo "${PREFIX_ERROR:-could not prepare the Wine prefix $2}"
      exit 1
    fi
    # A reused prefix may still hold a library a test put there.
    for library in "${@:4}"; do
      find "$2/drive_c/windows" -maxdepth 2 -iname "$library" -delete
    done
    ;;
  stop)
    export WINEPREFIX="$2"
    stop_prefix
    ;;
esac

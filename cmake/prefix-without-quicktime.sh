#!/usr/bin/env bash
# prefix-without-quicktime.sh <make|stop> <prefix> <i686|x86_64>
# A second Wine prefix for the tests that need a system folder without
# QuickTime.qts: the tree's own prefix has it installed for every other
# test running beside them. Made like the tree's prefix, by scripts/lib.sh.
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
    # A reused prefix may still hold the library a test wrote.
    find "$2/drive_c/windows" -maxdepth 2 -iname quicktime.qts -delete
    ;;
  stop)
    export WINEPREFIX="$2"
    stop_prefix
    ;;
esac

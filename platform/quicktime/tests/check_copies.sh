#!/usr/bin/env bash
# Reads each track copy the tests wrote with ffprobe and checks it against
# the facts the tests expect: <copy>.expect holds lines of ffprobe's flat
# output (and movie.timescale) that must appear exactly.
# Usage: check_copies.sh <folder>
set -uo pipefail
dir="$1"
shopt -s nullglob
expects=("$dir"/*.expect)
if [ ${#expects[@]} -eq 0 ]; then
  echo "no track copies to check"
  exit 0
fi
failed=0
for e in "${expects[@]}"; do
  film="${e%.expect}.mov"
  facts="$(ffprobe -v error -show_format -show_streams -of flat "$film" 2>&1;
           ffprobe -v trace "$film" 2>&1 | sed -n 's/.*time scale = \([0-9]*\).*/movie.timescale=\1/p' | head -1)"
  while IFS= read -r line; do
    line="${line%$'\r'}"  # written by a Windows program
    [ -z "$line" ] && continue
    if ! grep -Fxq -- "$line" <<<"$facts"; then
      echo "$(basename "$film"): ffprobe does not read $line"
      grep -F -- "${line%%=*}=" <<<"$facts" | sed 's/^/    ffprobe: /'
      failed=1
    fi
  done <"$e"
done
[ $failed -eq 0 ] && echo "${#expects[@]} track copies read as expected"
exit $failed

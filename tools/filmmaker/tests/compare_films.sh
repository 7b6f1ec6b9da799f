#!/usr/bin/env bash
# Films made twice, by two builds of the film maker: filminfo must describe
# each pair alike (their pictures may differ in rounding, their structure
# may not).
# Usage: compare_films.sh FILMINFO FOLDER1 FOLDER2 [RUNNER]
set -uo pipefail
filminfo="$1" one="$2" two="$3" runner="${4:-}"
failed=0
count=0
describe() { $runner "$filminfo" "$1" | tail -n +2; }  # all but the line that names the file
for film in "$one"/*.flm; do
  name="$(basename "$film")"
  count=$((count + 1))
  if ! a="$(describe "$film")" || ! b="$(describe "$two/$name")" || [ -z "$a" ]; then
    echo "FAILED: filminfo cannot read $name"
    failed=1
  elif [ "$a" != "$b" ]; then
    echo "FAILED: $name differs"
    diff <(echo "$a") <(echo "$b")
    failed=1
  fi
done
[ "$count" -gt 0 ] || { echo "FAILED: no films in $one"; failed=1; }
[ "$failed" = 0 ] && echo "both builds make the same $count films"
exit "$failed"

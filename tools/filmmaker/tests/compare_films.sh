#!/usr/bin/env bash
# Films made twice, by two builds of the film maker: filminfo must describe
# each pair alike (their pictures may differ in rounding, their structure
# may not).
# Usage: compare_films.sh FILMINFO FOLDER1 FOLDER2 [RUNNER]
set -uo pipefail
filminfo="$1" one="$2" two="$3" runner="${4:-}"
failed=0
for film in "$one"/*.flm; do
  name="$(basename "$film")"
  if ! diff <($runner "$filminfo" "$film" | tail -n +2) <($runner "$filminfo" "$two/$name" | tail -n +2); then
    echo "FAILED: $name differs"
    failed=1
  fi
done
[ "$failed" = 0 ] && echo "both builds make the same films"
exit "$failed"

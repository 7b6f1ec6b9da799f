#!/usr/bin/env bash
# Writes a film's picture at a time with filminfo and compares it, pixel for
# pixel, with the frame ffmpeg shows at that time.
# Usage: check_frame.sh FILMINFO FILM SECONDS FOLDER
set -euo pipefail
filminfo="$1" film="$2" time="$3" out="$4"
mkdir -p "$out"
name="$(basename "${film%.mov}")"
"$filminfo" --frame "$time" --out "$out/$name.png" "$film"
ffmpeg -nostdin -loglevel error -y -i "$out/$name.png" -f rawvideo -pix_fmt rgb24 "$out/$name.ours.rgb"
ffmpeg -nostdin -loglevel error -y -ss "$time" -i "$film" -frames:v 1 -f rawvideo -pix_fmt rgb24 "$out/$name.ffmpeg.rgb"
cmp "$out/$name.ours.rgb" "$out/$name.ffmpeg.rgb"
echo "$name at $time s: the same picture"

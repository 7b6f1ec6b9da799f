#!/usr/bin/env bash
# Films for the playback tests, made by ffmpeg: a picture of four coloured
# quadrants (red, green / blue, white; 32 x 24, ten frames in one second),
# a one-second tone without a picture, and both in one film.
# Usage: make_play_films.sh <folder>
set -euo pipefail
out="$1"
rm -rf "$out"
mkdir -p "$out"

quad="color=c=0xFF0000:s=16x12:r=10:d=1[a];color=c=0x00FF00:s=16x12:r=10:d=1[b];"
quad+="color=c=0x0000FF:s=16x12:r=10:d=1[c];color=c=0xFFFFFF:s=16x12:r=10:d=1[d];"
quad+="[a][b]hstack[t];[c][d]hstack[u];[t][u]vstack"
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }

ff -filter_complex "$quad" -c:v rawvideo -pix_fmt rgb24 "$out/quad.mov"
ff -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=1" -c:a pcm_s16be "$out/tone.mov"
ff -filter_complex "$quad" -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=1" \
   -c:v rawvideo -pix_fmt rgb24 -c:a pcm_s16be "$out/clip.mov"

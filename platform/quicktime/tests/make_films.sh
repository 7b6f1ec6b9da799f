#!/usr/bin/env bash
# Makes the conformance films with ffmpeg, an independent writer, and records
# what ffprobe reads in each: <film>.probe holds ffprobe's flat output and the
# movie time scale as movie.timescale. Small faststart copies become the
# fuzzer's seeds. Usage: make_films.sh <folder>
set -euo pipefail
out="$1"
rm -rf "$out"
mkdir -p "$out/copies" "$out/seeds"

video() {  # video <name> <size> <rate> <codec args...>
  local name="$1" size="$2" rate="$3"
  shift 3
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc=size=$size:rate=$rate:duration=1" "$@" "$out/$name.mov"
}
sound() {  # sound <name> <codec args...>
  local name="$1"
  shift
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=1" "$@" "$out/$name.mov"
}

video rawvideo 64x48 10 -c:v rawvideo -pix_fmt rgb24
video qtrle 64x48 10 -c:v qtrle
video mjpeg 64x48 10 -c:v mjpeg
video cinepak 64x48 10 -c:v cinepak
video ntsc 32x24 30000/1001 -c:v qtrle
sound pcm_s16be -c:a pcm_s16be
sound pcm_u8 -c:a pcm_u8
sound adpcm_ima_qt -c:a adpcm_ima_qt
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc=size=320x240:rate=15:duration=2" \
       -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=2" \
       -c:v qtrle -c:a pcm_s16be "$out/both.mov"

for f in "$out"/*.mov; do
  {
    ffprobe -v error -show_format -show_streams -of flat "$f"
    ffprobe -v trace "$f" 2>&1 | sed -n 's/.*time scale = \([0-9]*\).*/movie.timescale=\1/p' | head -1
  } >"${f%.mov}.probe"
done

# Seeds: tiny films whose movie comes first, so the fuzzer's length limit keeps it.
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc=size=16x16:rate=5:duration=0.4" \
       -c:v qtrle -movflags faststart "$out/seeds/video.mov"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=sample_rate=8000:duration=0.05" \
       -c:a adpcm_ima_qt -movflags faststart "$out/seeds/sound.mov"

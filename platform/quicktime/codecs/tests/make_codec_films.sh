#!/usr/bin/env bash
# Makes the decoders' conformance films with ffmpeg and what ffmpeg itself
# decodes from them: <name>.rgb (every frame as rgb24, in sample order) for
# video, <name>.s16 (16-bit little-endian, channels interleaved) for sound.
# Usage: make_codec_films.sh <folder>
set -euo pipefail
out="$1"
rm -rf "$out"
mkdir -p "$out"

# video <name> <size> <codec args...>: 2 seconds of moving test picture.
# $convert: how ffmpeg turns its decoded YUV into RGB.
convert=""
video() {
  local name="$1" size="$2"
  shift 2
  # Fatal errors only: ffmpeg warns that it cannot read its own 1-bit films, but it can.
  ffmpeg -nostdin -loglevel fatal -y -f lavfi -i "testsrc=size=$size:rate=10:duration=2" "$@" "$out/$name.mov"
  ffmpeg -nostdin -loglevel error -y -i "$out/$name.mov" -fps_mode passthrough $convert -f rawvideo -pix_fmt rgb24 "$out/$name.rgb"
}
# sound <name> <channels> <codec args...>: a second of two tones.
sound() {
  local name="$1" channels="$2"
  shift 2
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=1" \
         -f lavfi -i "sine=frequency=1250:sample_rate=22050:duration=1" \
         -filter_complex "[0][1]amerge=inputs=2,volume=3" -ac "$channels" "$@" "$out/$name.mov"
  ffmpeg -nostdin -loglevel error -y -i "$out/$name.mov" -f s16le -acodec pcm_s16le "$out/$name.s16"
}

# Odd sizes reach the edges of rows, units and blocks.
video raw24 65x49 -c:v rawvideo -pix_fmt rgb24
video raw32 65x49 -c:v rawvideo -pix_fmt argb
video raw16 65x49 -c:v rawvideo -pix_fmt rgb555be
video raw8 65x49 -c:v rawvideo -pix_fmt pal8
video raw1 65x49 -c:v rawvideo -pix_fmt monob
video rawgray 65x49 -c:v rawvideo -pix_fmt gray
video rle24 66x50 -c:v qtrle -pix_fmt rgb24 -g 8
video rle32 66x50 -c:v qtrle -pix_fmt argb -g 8
video rle16 66x50 -c:v qtrle -pix_fmt rgb555be -g 8
video rlegray 68x50 -c:v qtrle -pix_fmt gray -g 8
# JPEG decoders differ in how they widen chroma; ffmpeg's default conversion
# repeats chroma samples off-centre at 4:2:2. Interpolate it, as stb does.
convert="-sws_flags bilinear+full_chroma_int+accurate_rnd"
video jpeg 66x50 -c:v mjpeg -q:v 3
video jpeg422 66x50 -c:v mjpeg -pix_fmt yuvj422p -q:v 3
convert=""
video cvid 68x52 -c:v cinepak -g 8
video cvidgray 68x52 -c:v cinepak -pix_fmt gray -g 8

sound sound-raw8 1 -c:a pcm_u8
sound sound-twos8 2 -c:a pcm_s8
sound sound-twos16 2 -c:a pcm_s16be
sound sound-sowt16 1 -c:a pcm_s16le
sound sound-ima4 1 -c:a adpcm_ima_qt
sound sound-ima4stereo 2 -c:a adpcm_ima_qt

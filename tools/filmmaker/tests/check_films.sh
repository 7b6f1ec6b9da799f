#!/usr/bin/env bash
# The shipped films as ffmpeg sees them: the streams ffprobe lists, every
# sample decoding without a complaint, and chosen frames equal, pixel for
# pixel, to the pictures our own decoders draw (filminfo --frame).
# Usage: check_films.sh FILMINFO FILMS SCRATCH
set -uo pipefail
filminfo="$1" films="$2" out="$3"
mkdir -p "$out"
failed=0

fail() {
  echo "FAILED: $*"
  failed=1
}

streams() {
  local film="$1" want="$2" got
  got=$(ffprobe -v error -show_entries stream=codec_type,codec_tag_string,width,height,sample_rate,channels \
          -of compact=p=0:nk=1 "$films/$film" | tr '\n' ' ')
  [ "$got" = "$want" ] || fail "$film: ffprobe lists '$got', not '$want'"
  case "$want" in *video*|*audio*) ;; *) return ;; esac  # sprites alone: nothing for ffmpeg to decode
  local complaints
  complaints=$(ffmpeg -nostdin -v error -i "$films/$film" -map 0:v? -map 0:a? -f null - 2>&1)
  [ -z "$complaints" ] || fail "$film: ffmpeg complains: $complaints"
}

# frames FILM FPS INDEX...: ffmpeg's frames (every one, as stored) against
# ours at the middle of each frame's time.
frames() {
  local film="$1" fps="$2"
  shift 2
  local name="${film%.flm}"
  ffmpeg -nostdin -v error -y -i "$films/$film" -map 0:v:0 -fps_mode passthrough -f rawvideo -pix_fmt rgb24 \
    "$out/$name.ffmpeg.rgb" || { fail "$film: ffmpeg cannot decode"; return; }
  local size
  size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$films/$film" |
           awk -F, '{print $1 * $2 * 3}')
  for index in "$@"; do
    local time
    time=$(awk -v i="$index" -v f="$fps" 'BEGIN {printf "%.4f", (i + 0.5) / f}')
    "$filminfo" --frame "$time" --out "$out/$name.$index.png" "$films/$film" >/dev/null ||
      { fail "$film: filminfo draws no frame $index"; continue; }
    ffmpeg -nostdin -v error -y -i "$out/$name.$index.png" -f rawvideo -pix_fmt rgb24 "$out/$name.$index.ours.rgb"
    if ! cmp -s "$out/$name.$index.ours.rgb" \
         <(tail -c +$((index * size + 1)) "$out/$name.ffmpeg.rgb" | head -c "$size"); then
      fail "$film: frame $index differs from ffmpeg's"
    fi
  done
}

streams cs.flm "data|sprt "
streams default.flm "video|rle |320|240 video|rle |320|240 data|sprt "
streams em.flm "data|sprt data|sprt data|sprt "
streams sample240.flm "video|rle |320|240 audio|twos|22050|1 data|sprt "
streams sample200.flm "video|raw |320|200 audio|raw |11025|1 data|sprt "
streams sampleplain.flm "video|rle |320|240 audio|twos|22050|1 "
streams samplesound.flm "audio|twos|22050|2 "

# Key frames and difference frames after them, at 24 and 16 bits.
frames sample240.flm 10 0 1 9 10 37 59
frames sampleplain.flm 10 0 14 29
frames default.flm 5 0 3 59
frames sample200.flm 1 0 4

[ "$failed" = 0 ] && echo "the shipped films read and decode alike in ffmpeg and in our decoders"
exit "$failed"

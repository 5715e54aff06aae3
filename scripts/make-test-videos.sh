#!/usr/bin/env bash
# Makes the tiny videos the frame-rate tests read, one per container, all at
# 24000/1001 frames per second: a second of a 64x48 test picture, a few KB
# each. They are committed, so the tests need no ffmpeg; run this again only
# to change them.
#
#   scripts/make-test-videos.sh [FOLDER]     (default tests/data/videos)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-tests/data/videos}
mkdir -p "$out"

make() {
  local name=$1
  shift
  ffmpeg -hide_banner -loglevel error -y -f lavfi \
    -i "testsrc=rate=24000/1001:duration=1:size=64x48" -bitexact "$@" "$out/$name"
}

# MPEG-4 Part 2 keeps them small and needs no external encoder.
mpeg4=(-c:v mpeg4 -q:v 31)
make moov-front.mp4 "${mpeg4[@]}" -movflags +faststart
make moov-end.mp4 "${mpeg4[@]}"
make fragmented.mp4 "${mpeg4[@]}" -movflags +frag_keyframe+empty_moov+default_base_moof
make clip.mov "${mpeg4[@]}"
make clip.3gp -c:v h263 -s 128x96 -q:v 31
make clip.mkv "${mpeg4[@]}"
make clip.webm -c:v libvpx -b:v 20k -deadline realtime
ls -l "$out"

# The probes' fuzz targets start from the same files.
if [[ $out == tests/data/videos ]]; then
  cp "$out"/clip.mkv "$out"/clip.webm fuzz/probe-seeds/matroska/
  cp "$out"/*.mp4 "$out"/clip.mov "$out"/clip.3gp fuzz/probe-seeds/isomedia/
fi

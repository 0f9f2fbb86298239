#!/bin/sh
# Plays the title and the start of a match on the virtual clock and keeps one frame of each,
# enlarged three times, as the screenshots the AppStream metadata names.
# Usage: tools/gen_desktop/screenshots.sh BUILD_DIR OUT_DIR   (needs zorbit-replay and ImageMagick)
set -eu
build=$(cd "${1:?usage: screenshots.sh BUILD_DIR OUT_DIR}" && pwd)
out=${2:?usage: screenshots.sh BUILD_DIR OUT_DIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/game/zrb.res" "$build/game/zorbit.ini" "$work/"
# A kick-off, then both players steer so that the three bodies are spread over the pitch.
cat >"$work/script" <<'SCRIPT'
4000 down space
4100 up space
4400 down up
4900 up up
4500 down q
4800 up q
5200 down left
5500 up left
5600 down p
5900 up p
8000 down right
8300 up right
8100 down a
8400 up a
9000 down down
9200 up down
SCRIPT
# The run ends at the time limit (status 3) once both frames are written.
status=0
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$build/tools/zorbit-replay/zorbit-replay" \
    --dir "$work" --time-limit 12000 --snapshot 150,450 --png "$work/frame_%d.png" \
    "$work/script" 2>/dev/null || status=$?
[ "$status" -eq 3 ] && [ -s "$work/frame_450.png" ] || { echo "zorbit-replay failed ($status)"; exit 1; }
convert "$work/frame_150.png" -filter point -resize 300% -strip "$out/title.png"
convert "$work/frame_450.png" -filter point -resize 300% -strip "$out/match.png"

#!/bin/sh
# Plays the game on the virtual clock and keeps chosen frames, enlarged three times: the title, a
# match, a goal and the information screen (F1). README.md shows them from docs/; the AppStream
# metadata names the title and the match, published from packaging/screenshots/.
# Usage: tools/gen_desktop/screenshots.sh BUILD_DIR [OUT_DIR...]   (default: docs and
#        packaging/screenshots; needs zorbit-replay and ImageMagick)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: screenshots.sh BUILD_DIR [OUT_DIR...]}" && pwd)
shift
[ $# -gt 0 ] || set -- "$root/docs" "$root/packaging/screenshots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/game/zrb.res" "$work/"
# Twice the usual speed, so that a goal comes soon.
printf '[General]\nGameSpeed=20\n[Audio]\nEnableSound=0\n' >"$work/zorbit.ini"
# A kick-off, then both players steer so that the three bodies are spread over the pitch.
cat >"$work/steer" <<'SCRIPT'
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
# The same with F1 pressed during the match, and a key to close the screen later.
cp "$work/steer" "$work/help"
printf '9500 down f1\n9600 up f1\n16000 down space\n16100 up space\n' >>"$work/help"

# Each run ends at its time limit (status 3) once its frames are written.
replay() { # script frames limit
    status=0
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$build/tools/zorbit-replay/zorbit-replay" \
        --dir "$work" --time-limit "$3" --snapshot "$2" --png "$work/frame_%d.png" \
        "$work/$1" 2>/dev/null || status=$?
    [ "$status" -eq 3 ] || { echo "zorbit-replay ended with $status"; exit 1; }
}
replay steer 150,450,1400 40000
mv "$work/frame_150.png" "$work/title.png"
mv "$work/frame_450.png" "$work/match.png"
mv "$work/frame_1400.png" "$work/goal.png"
replay help 660 20000
mv "$work/frame_660.png" "$work/info.png"
for out in "$@"; do
    mkdir -p "$out"
    for shot in title match goal info; do
        convert "$work/$shot.png" -filter point -resize 300% -strip "$out/$shot.png"
    done
done

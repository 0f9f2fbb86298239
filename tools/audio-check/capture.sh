#!/usr/bin/env bash
# Records what the real game hands its sound device, through SDL's disk driver, while a private
# X server feeds it keys. It runs in real time: a capture takes as long as it sounds.
# Usage: capture.sh GAME_DIR OUT.raw title|match [SECONDS [GAME_SPEED]]
#   title  the title screen and its music only, then Escape (the reference for audio_check.py --music)
#   match  a busy match: both players run about at random for SECONDS, then Escape twice
#   GAME_SPEED overrides GameSpeed in the settings (tenths: 30 is three times as fast, and three
#   times as many bounces a second)
# GAME_DIR holds zorbit, zrb.res and zorbit.ini (e.g. build/dev/game). Needs Xvfb and xdotool.
set -euo pipefail

usage="usage: capture.sh GAME_DIR OUT.raw title|match [SECONDS [GAME_SPEED]]"
game=$(cd "${1:?$usage}" && pwd)
out=$(realpath -m "${2:?$usage}")
mode=${3:?$usage}
seconds=${4:-40}
speed=${5:-}
case $mode in title | match) ;; *) echo "$usage" >&2 && exit 2 ;; esac

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp "$game/zorbit" "$game/zrb.res" "$game/zorbit.ini" "$work/"
if [ -n "$speed" ]; then
    sed -i "s/^\([[:space:]]*GameSpeed=\).*/\1$speed/" "$work/zorbit.ini"
fi

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$work/display")"
unset SDL_VIDEODRIVER SDL12COMPAT_WINDOW_SCALING
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$out
rm -f "$out"

hold() { # key seconds: the game reads held keys once a frame
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

(cd "$work" && exec ./zorbit >"$work/game.log" 2>&1) &
game_pid=$!
window=""
for _ in $(seq 50); do
    window=$(xdotool search --name '^Zorbit \(SDL\)$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "capture: no game window: $(cat "$work/game.log")" >&2 && exit 1; }
xdotool windowfocus --sync "$window"

if [ "$mode" = title ]; then
    sleep "$seconds"
    hold Escape 0.5
else
    sleep 2.5
    hold space 0.3
    # The same run of keys every time; only the game's own randomness differs. Holding a way
    # (or a diagonal) for up to three seconds pins the players to walls and corners, where they
    # bounce every few frames: the densest pile of effects the game makes.
    RANDOM=7
    red=(Left Right Up Down)
    green=(o p q a)
    end=$((SECONDS + seconds))
    while [ $SECONDS -lt $end ]; do
        keys=("${red[RANDOM % 4]}" "${red[RANDOM % 4]}" "${green[RANDOM % 4]}" "${green[RANDOM % 4]}")
        xdotool keydown "${keys[0]}" keydown "${keys[1]}" keydown "${keys[2]}" keydown "${keys[3]}"
        sleep "$((RANDOM % 3)).$((RANDOM % 10))"
        xdotool keyup "${keys[0]}" keyup "${keys[1]}" keyup "${keys[2]}" keyup "${keys[3]}"
    done
    hold Escape 0.3
    sleep 1
    hold Escape 0.5
fi
# An Escape may land on a goal or end sequence that lets it pass: ask again until the game is gone.
for _ in $(seq 10); do
    for _ in $(seq 20); do
        kill -0 "$game_pid" 2>/dev/null || break 2
        sleep 0.1
    done
    hold Escape 0.5
done
kill -0 "$game_pid" 2>/dev/null && { echo "capture: the game did not quit on Escape" >&2 && exit 1; }
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || { echo "capture: the game exited with $status: $(cat "$work/game.log")" >&2 && exit 1; }
echo "capture: $(($(stat -c %s "$out") / 4)) frames in $out"

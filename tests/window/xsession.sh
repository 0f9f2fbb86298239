# Pieces shared by the window and install checks, sourced with the check's name (the start of
# its messages): `. xsession.sh window-game`. Logs to show on failure may go in $fail_logs.
check_name=${1:?usage: . xsession.sh NAME}
fail_logs=()
xvfb_pid=""
wm_pid=""

fail() {
    echo "$check_name: FAILED: $*"
    local log
    for log in "${fail_logs[@]}"; do
        [ -f "$log" ] && sed "s/^/  $(basename "$log" .log): /" "$log"
    done
    exit 1
}

# For `trap xsession_end EXIT`: ends the programs under test by force, then the window manager
# and the server.
xsession_end() {
    local pid
    for pid in $(jobs -p); do
        [ "$pid" = "$xvfb_pid" ] || [ "$pid" = "$wm_pid" ] || kill -9 "$pid" 2>/dev/null || true
    done
    for pid in $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}

# folder: starts a private X server (its display number and log in folder) and sets $DISPLAY.
# Programs started afterwards use the real X11 driver at the game's own scale, and no sound card.
xsession_start() {
    # Xvfb picks a free display itself and writes its number once it accepts connections. It must
    # not reset when its last client leaves: a program connecting just then may find no screen.
    rm -f "$1/display"
    Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$1/display" \
        >"$1/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start (see $1/xvfb.log)"
        sleep 0.1
    done
    [ -s "$1/display" ] || fail "Xvfb gave no display number"
    DISPLAY=":$(head -n1 "$1/display")"
    export DISPLAY
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not answer on $DISPLAY"
    unset SDL_VIDEODRIVER SDL12COMPAT_WINDOW_SCALING
    export SDL_AUDIODRIVER=dummy
}

# folder: starts openbox with no key bindings of its own, and waits until it manages windows.
window_manager_start() {
    openbox --sm-disable --config-file "$(dirname "${BASH_SOURCE[0]}")/openbox.xml" \
        >"$1/openbox.log" 2>&1 &
    wm_pid=$!
    # A window made while the manager is still starting may never be shown.
    for _ in $(seq 100); do
        wmctrl -m >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "openbox did not start: $(cat "$1/openbox.log")"
}

# [other]: waits up to 10 s for a window captioned "Zorbit (SDL)", not other, and prints its id.
window_find() {
    local window
    for _ in $(seq 100); do
        for window in $(xdotool search --name '^Zorbit \(SDL\)$' 2>/dev/null); do
            [ "$window" != "${1:-}" ] && echo "$window" && return 0
        done
        sleep 0.1
    done
    return 1
}

# window: prints its size, WIDTHxHEIGHT.
window_size() {
    xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# key seconds [window]: the game reads held keys once a frame, so a tap must last. With a window,
# activates it first.
key_hold() {
    [ -z "${3:-}" ] || xdotool windowactivate --sync "$3" 2>/dev/null || true
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# pid: waits up to 10 s for the program to end and sets $status to its exit status; status 1 if
# it is still running.
# shellcheck disable=SC2034 # $status is for the caller
process_wait_end() {
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$1" 2>/dev/null && return 1
    status=0
    wait "$1" || status=$?
}

# file least: takes a screenshot and sets $mean to its mean brightness (0 to 1); status 1 unless
# that is above least.
screenshot_lit() {
    import -window root "$1"
    mean=$(convert "$1" -colorspace gray -format '%[fx:mean]' info:)
    awk -v m="$mean" -v least="$2" 'BEGIN { exit !(m > least) }'
}

#!/usr/bin/env bash
# Two monitors side by side on one 3840x1080 screen, the right one primary: a capture covers
# the primary monitor exactly and shows its own pixels; a drag and a handle drag in it copy
# what it shows; a drag that runs onto the other monitor stays on the captured one;
# `kivo gui --screen` picks a monitor by name or by the pointer, and names the monitors for
# an unknown one.
. "$(dirname "$0")/lib.sh"

e2e_start_display 3840x1080
xrandr --setmonitor left 1920/508x1080/286+0+0 none >/dev/null
# The primary takes the screen's output, so that no third monitor spans both.
xrandr --setmonitor '*right' 1920/508x1080/286+1920+0 screen >/dev/null
e2e_noise 3840x1080 "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"
e2e_start_kivo
e2e_wait_capture

placed_at() { [ "$(e2e_place)" = "$1" ]; }
wait_for 10 placed_at "1920,0 1920x1080" || fail "the capture is at $(e2e_place), not on the primary monitor"
# Both monitors show the root's own pixels: the live left one and the frozen right one.
shows_root() {
    import -window root "$E2E_TMP/shot.png" && e2e_same_pixels "$E2E_TMP/shot.png" "$E2E_TMP/root.png"
}
wait_for 10 shows_root || fail "the monitors do not show their own pixels"

# copied_is WxH+X+Y: a double-click ended the capture and copied that area of the root.
copied_is() {
    wait_for 10 capture_gone || fail "the double-click did not end the capture"
    e2e_copied_is "$1"
}

# Screen (2020, 50)-(2320, 250) is window (100, 50)-(400, 250); then handle 6, on screen
# (2318, 248)-(2321, 251), takes the corner to (2420, 300).
e2e_drag 2020 50 2320 250
e2e_drag 2319 249 2420 300
xdotool mousemove 2100 100 click --repeat 2 --delay 60 1
copied_is 400x250+2020+50

# The left monitor by name; a drag from (1700, 500) onto the right monitor ends on the
# window's last column: 219 x 200, and the strip stays on the window, right-aligned with it.
"$KIVO_BIN" gui --screen left || fail "kivo gui --screen left failed"
wait_for 10 placed_at "0,0 1920x1080" || fail "--screen left: the capture is at $(e2e_place)"
e2e_drag 1700 500 2300 700
strip_on_window() {
    import -window root "$E2E_TMP/shot.png" &&
        [ "$(e2e_pixel "$E2E_TMP/shot.png" 1654 714)" = 128,128,255 ] &&
        [ "$(e2e_pixel "$E2E_TMP/shot.png" 1918 714)" = 128,128,255 ]
}
wait_for 10 strip_on_window || fail "the toolbar strip is not at (1654, 704)-(1919, 730)"
xdotool mousemove 1800 600 click --repeat 2 --delay 60 1
copied_is 219x200+1700+500

# The monitor under the pointer, on each side.
for case in "500 0,0" "2500 1920,0"; do
    set -- $case
    xdotool mousemove "$1" 300
    "$KIVO_BIN" gui --screen pointer || fail "kivo gui --screen pointer failed"
    wait_for 10 placed_at "$2 1920x1080" || fail "pointer at x=$1: the capture is at $(e2e_place)"
    xdotool click 3 # no selection: a right click ends the capture
    wait_for 10 capture_gone || fail "the right click did not end the capture"
done

status=0
"$KIVO_BIN" gui --screen middle 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] && grep -q '"middle".*right, left' "$E2E_TMP/err" ||
    fail "an unknown monitor gave status $status: $(cat "$E2E_TMP/err")"
e2e_pass

#!/usr/bin/env bash
# A real drag with the X pointer draws the selection frame, its handles and the toolbar
# strip where they belong; a press inside moves it; a handle resizes it; right clicks
# discard it, then close the capture.
. "$(dirname "$0")/lib.sh"

e2e_start_display 1280x800
convert -size 1280x800 xc:'#808080' "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"
e2e_start_kivo
e2e_wait_capture

BLUE=0,122,236
GREY=128,128,128
shot() { import -window root "$E2E_TMP/shot.png"; }
# pixels_are COLOUR X Y [X Y...]: every listed pixel of the last shot has COLOUR.
pixels_are() {
    local colour=$1; shift
    while [ $# -gt 0 ]; do
        [ "$(e2e_pixel "$E2E_TMP/shot.png" "$1" "$2")" = "$colour" ] || return 1
        shift 2
    done
}
# Wait until the screen shows the frozen grey (the window is painted).
wait_for 10 bash -c "import -window root '$E2E_TMP/shot.png' && [ \"\$(convert '$E2E_TMP/shot.png' -format '%[fx:int(255*p{640,400}.r)]' info:)\" = 128 ]" ||
    fail "the capture window never showed the frozen screen"

# Drag out (200, 150)-(500, 400): the outline covers columns 200..499 and rows 150..399.
e2e_drag 200 150 500 400
frame_drawn() {
    shot && pixels_are "$BLUE" 400 150 200 300 499 300 300 399 &&
        pixels_are "$GREY" 400 151 350 300 500 300 300 400 400 149
}
wait_for 10 frame_drawn || fail "the frame is not drawn at (200, 150)-(500, 400)"
# Handles: 0 at (198, 148), 6 at (498, 398), 2 two thirds of a pixel further left (497, 148).
pixels_are "$BLUE" 198 148 501 401 497 148 500 151 || fail "handles 0, 6 or 2 are not where they belong"
pixels_are "$GREY" 197 147 502 402 501 148 || fail "a handle is larger than 4 x 4"
# The toolbar strip right-aligned under the frame: (235, 404), 265 x 26.
strip=$(e2e_pixel "$E2E_TMP/shot.png" 400 415)
[ "$strip" != "$GREY" ] || fail "no toolbar strip under the selection"
pixels_are "$GREY" 400 402 233 415 501 415 || fail "the toolbar strip is not right-aligned 4 pixels under the frame"

# A press inside drags the selection whole: to (300, 200)-(600, 450).
e2e_drag 350 300 450 350
moved() {
    shot && pixels_are "$BLUE" 500 200 300 300 599 300 &&
        pixels_are "$GREY" 400 150 250 300 350 399
}
wait_for 10 moved || fail "the selection did not move to (300, 200)-(600, 450)"

# Handle 6 (598, 448)-(601, 451) dragged to (700, 500): the bottom-right corner follows the
# X pointer, so the selection becomes (300, 200)-(700, 500).
e2e_drag 599 449 700 500
resized() {
    shot && pixels_are "$BLUE" 650 200 699 300 450 499 300 350 &&
        pixels_are "$GREY" 599 300 450 449 700 300 450 500
}
wait_for 10 resized || fail "dragging handle 6 did not resize the selection to (300, 200)-(700, 500)"

# A right click inside discards the selection and keeps the capture open...
xdotool mousemove 450 300 click 3
discarded() { shot && pixels_are "$GREY" 500 200 300 300 699 300; }
wait_for 10 discarded || fail "a right click inside did not discard the selection"
capture_shown || fail "a right click on a selection closed the capture"
# ...and the next one, with no selection, closes it. (Elsewhere: at the same spot it would
# be the second half of a double-click, which is no press.)
xdotool mousemove 700 550 click 3
wait_for 10 capture_gone || fail "a right click without a selection did not close the capture"
e2e_pass

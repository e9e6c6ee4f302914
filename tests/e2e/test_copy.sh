#!/usr/bin/env bash
# A real double-click inside the selection ends the capture and leaves exactly the selected
# area on the clipboard, where another program reads it as a PNG; outside it does nothing.
# Clicks that pile up while the host is busy never crash it or lose the area, and a capture
# opened right after another closed takes its first press as a press.
. "$(dirname "$0")/lib.sh"

e2e_capture_on_pattern 1280x800
shows_root() {
    import -window root "$E2E_TMP/shot.png" && e2e_same_pixels "$E2E_TMP/shot.png" "$E2E_TMP/root.png"
}
wait_for 10 shows_root || fail "the capture window does not show the frozen screen"

e2e_drag 100 50 400 250
# A double-click outside the selection: the capture goes on, nothing is copied. It also
# discards the selection, so drag out a new one; once its frame shows, the double-click
# before it has surely been handled.
xdotool mousemove 700 500 click --repeat 2 --delay 60 1
e2e_drag 100 50 400 250
frame_shown() { import -window root "$E2E_TMP/shot.png" && [ "$(e2e_pixel "$E2E_TMP/shot.png" 250 50)" = "0,122,236" ]; }
wait_for 10 frame_shown || fail "the new selection's frame never showed"
capture_shown || fail "a double-click outside the selection ended the capture"
if xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png; then
    fail "a double-click outside the selection copied"
fi
xdotool mousemove 200 150 click --repeat 2 --delay 60 1
wait_for 10 capture_gone || fail "the double-click inside the selection did not end the capture"

png_arrived() {
    xclip -selection clipboard -t image/png -o >"$E2E_TMP/clip.png" 2>/dev/null &&
        identify "$E2E_TMP/clip.png" >/dev/null 2>&1
}
wait_for 10 png_arrived || fail "no PNG on the clipboard"
convert "$E2E_TMP/root.png" -crop 300x200+100+50 +repage "$E2E_TMP/crop.png"
e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png" || fail "the clipboard PNG is not the selected area"
targets=$(xclip -selection clipboard -t TARGETS -o)
for t in image/bmp image/jpeg; do
    grep -qx "$t" <<<"$targets" || fail "the clipboard offers no $t"
done
kill -0 "$KIVO_PID" || fail "the program ended after the copy"

# clicks_pile_up CLICKS...: a new capture with the selection, the host stopped while the
# clicks (xdotool commands) queue up for 300 ms, then running again: it ends the capture
# with the area copied, and lives on.
clicks_pile_up() {
    xclip -selection clipboard -i /dev/null
    "$KIVO_BIN" gui
    e2e_wait_capture
    e2e_drag 100 50 400 250
    wait_for 10 frame_shown || fail "no selection for the clicks"
    kill -STOP "$KIVO_PID"
    xdotool mousemove 200 150 "$@"
    sleep 0.3
    kill -CONT "$KIVO_PID"
    wait_for 10 capture_gone || fail "the clicks ($*) did not end the capture"
    wait_for 10 png_arrived || fail "no PNG on the clipboard after the clicks ($*)"
    e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png" || fail "the clicks ($*) copied something else"
    kill -0 "$KIVO_PID" || fail "the clicks ($*) crashed the program"
}
clicks_pile_up mousedown 1 mouseup 1 mousedown 1 mouseup 1 mousedown 3 mouseup 3 mousedown 3 mouseup 3
clicks_pile_up mousedown 1 sleep 0.001 mouseup 1 sleep 0.001 mousedown 1 sleep 0.001 mouseup 1 \
    sleep 0.001 mousedown 1 sleep 0.001 mouseup 1 sleep 0.001 mousedown 1 sleep 0.001 mouseup 1

# A right-click closes a capture, a new one opens at once, and a right-click at the same
# place within the double-click interval closes the new one too.
"$KIVO_BIN" gui
e2e_wait_capture
xdotool mousemove 640 400 mousedown 3 mouseup 3
wait_for 10 capture_gone || fail "a right-click did not close the capture"
"$KIVO_BIN" gui
until capture_shown; do :; done
xdotool mousedown 3 mouseup 3
wait_for 10 capture_gone || fail "the new capture swallowed its first right-click"
kill -0 "$KIVO_PID" || fail "the program ended"
e2e_pass

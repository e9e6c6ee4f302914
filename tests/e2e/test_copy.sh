#!/usr/bin/env bash
# A real double-click inside the selection ends the capture and leaves exactly the selected
# area on the clipboard, where another program reads it as a PNG; outside it does nothing.
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
e2e_pass

#!/usr/bin/env bash
# The real program freezes the screen: its window shows exactly the root picture. A second
# copy shows the "already running" message and ends when it is closed; the first runs on.
. "$(dirname "$0")/lib.sh"

e2e_start_display 1280x800
e2e_pattern 1280x800 "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"

e2e_start_kivo
first=$KIVO_PID
e2e_wait_capture
# The window is mapped; wait until what the screen shows is the frozen picture.
shows_root() {
    import -window root "$E2E_TMP/shot.png" && e2e_same_pixels "$E2E_TMP/shot.png" "$E2E_TMP/root.png"
}
# Change the real root under the capture: the window must keep showing the old picture.
convert -size 1280x800 xc:'#203040' "$E2E_TMP/other.png"
wait_for 10 shows_root || fail "the capture window does not show the frozen screen exactly"
e2e_set_root "$E2E_TMP/other.png"
shows_root || fail "the capture window did not stay frozen"

# A second copy: the message, then it ends when the box is closed.
e2e_start_kivo
second=$KIVO_PID
wait_for 20 bash -c "[ -n \"\$(xdotool search --all --pid $second --onlyvisible --name 'Kivo' 2>/dev/null)\" ]" ||
    fail "the second copy showed no message"
box=$(xdotool search --all --pid "$second" --onlyvisible --name 'Kivo' | head -n 1)
# Close it the way a user would: it has the focus, so Enter presses its OK button.
active_is_box() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$box" ] || xdotool windowactivate "$box"; [ "$(xdotool getactivewindow)" = "$box" ]; }
wait_for 10 active_is_box || fail "the message box never got the focus"
import -window root "$E2E_TMP/message.png"
xdotool key Return
wait_for 10 bash -c "! kill -0 $second 2>/dev/null" || fail "the second copy did not end after its message"
kill -0 "$first" || fail "the first copy ended"
wait_for 10 capture_shown || fail "the first copy's capture window went away"
e2e_pass

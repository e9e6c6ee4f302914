#!/usr/bin/env bash
# The tray host: the icon comes after the first capture; a right click opens its menu on
# the release; "截图" and `kivo gui` open a capture (never a second one); a second plain
# start gets the message and adds no icon; "退出" ends the program and takes the icon away;
# after kill -9 the next start works.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/tray_lib.sh"

e2e_start_display 1280x800 --tray
e2e_start_kivo
host=$KIVO_PID

# The icon never shows before the capture window.
icon_checked_after_capture() {
    if tray_icon_shown; then
        capture_shown || { echo "icon before capture" >"$E2E_TMP/order"; }
        return 0
    fi
    return 1
}
wait_for 20 icon_checked_after_capture || fail "no tray icon appeared"
[ ! -e "$E2E_TMP/order" ] || fail "the tray icon appeared before the capture window"
capture_shown || fail "no capture window with the icon"
[ "$(tray_icon_count)" = 1 ] || fail "expected one icon, saw $(tray_icon_count)"

close_capture
read -r ix iy < <(tray_icon_center)

# Right button: nothing on the press, the menu on the release.
xdotool mousemove "$ix" "$iy" mousedown 3
sleep 0.3 # a menu shown on the press would be mapped by now; nothing else to wait on
menu_gone "$host" || fail "the menu opened on the press"
xdotool mouseup 3
wait_for 10 menu_shown "$host" || fail "no menu on the right-button release"
# The first item is "截图": it opens a capture.
xdotool key Down Return
wait_for 10 capture_shown || fail "\"截图\" opened no capture"
wait_for 10 menu_gone "$host" || fail "the menu stayed open"

# `kivo gui` while a capture is open only brings it up.
"$KIVO_BIN" gui || fail "kivo gui failed while the host runs"
sleep 0.3 # a second capture would be mapped by now
[ "$(capture_count "$host")" = 1 ] || fail "a second capture opened"
close_capture

# Left click and double click on the icon do nothing.
xdotool mousemove "$ix" "$iy" click 1
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 80 1
sleep 0.3
menu_gone "$host" && capture_gone || fail "a left click on the icon did something"

# `kivo gui` from outside opens a capture in the running host.
"$KIVO_BIN" gui || fail "kivo gui failed"
wait_for 10 capture_shown || fail "kivo gui opened no capture"
[ "$(capture_count "$host")" = 1 ] || fail "kivo gui opened the capture in another process"
close_capture

# A second plain start: the message, no second icon, and it ends when the box is closed.
e2e_start_kivo
second=$KIVO_PID
has_box() { [ -n "$(xdotool search --all --pid "$second" --onlyvisible --name 'Kivo' 2>/dev/null)" ]; }
wait_for 20 has_box || fail "the second copy showed no message"
[ "$(tray_icon_count)" = 1 ] || fail "the second copy added an icon"
box=$(xdotool search --all --pid "$second" --onlyvisible --name 'Kivo' | head -n 1)
xdotool windowactivate --sync "$box" key Return || true
wait_for 10 bash -c "! kill -0 $second 2>/dev/null" || fail "the second copy did not end"
kill -0 "$host" || fail "the host ended with the second copy"

# "退出" (the last item): the process ends and leaves no icon.
xdotool mousemove "$ix" "$iy" click 3
wait_for 10 menu_shown "$host" || fail "no menu for 退出"
xdotool key Up Return
wait_for 10 bash -c "! kill -0 $host 2>/dev/null" || fail "退出 did not end the program"
wait_for 10 tray_icon_gone || fail "an icon was left behind after 退出"

# kill -9 leaves a stale lock and socket; the next start still works, and so does gui.
e2e_start_kivo
killed=$KIVO_PID
e2e_wait_capture
wait_for 20 tray_icon_shown || fail "no icon after restart"
kill -9 "$killed"
wait_for 10 capture_gone || fail "the killed capture stayed"
wait_for 10 tray_icon_gone || fail "the killed host's icon stayed"
"$KIVO_BIN" gui >"$E2E_TMP/gui.log" 2>&1 &
E2E_PIDS+=($!)
gui=$!
e2e_wait_capture
wait_for 20 tray_icon_shown || fail "kivo gui after kill -9 added no icon"
kill -0 "$gui" || fail "kivo gui did not become the host"
"$KIVO_BIN" quit || fail "kivo quit failed"
wait_for 10 bash -c "! kill -0 $gui 2>/dev/null" || fail "kivo quit did not end the host"
wait_for 10 tray_icon_gone || fail "an icon was left behind after kivo quit"
e2e_pass

#!/usr/bin/env bash
# The tray host: the icon comes after the first capture; a right click opens its menu on
# the release; "截图" and `kivo gui` open a capture (never a second one); a second plain
# start gets the message and adds no icon, but a start on another desktop gets a host of
# its own; "退出" ends the program and takes the icon away; after kill -9 the next start
# works, and a flood of connections that uses up its descriptors leaves it reachable.
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

# Another desktop of the same user (same runtime folder): a plain start there is a host of
# its own with a capture, and `kivo quit` there ends that host only.
for n in $(seq 141 190); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >"$E2E_TMP/xvfb2.log" 2>&1 &
E2E_PIDS+=($!)
on_other() { DISPLAY=":$n" "$@"; }
wait_for 10 on_other xdpyinfo || fail "the second Xvfb did not start"
DISPLAY=":$n" e2e_start_kivo
wait_for 20 on_other capture_shown || fail "no capture on the other desktop: $(cat "$KIVO_LOG")"
DISPLAY=":$n" "$KIVO_BIN" quit || fail "kivo quit on the other desktop failed"
wait_for 10 bash -c "! kill -0 $KIVO_PID 2>/dev/null" || fail "kivo quit did not end the other desktop's host"
kill -0 "$host" || fail "kivo quit on the other desktop ended this desktop's host"

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
prlimit --nofile=256 "$KIVO_BIN" gui >"$E2E_TMP/gui.log" 2>&1 &
E2E_PIDS+=($!)
gui=$!
e2e_wait_capture
wait_for 20 tray_icon_shown || fail "kivo gui after kill -9 added no icon"
kill -0 "$gui" || fail "kivo gui did not become the host"
close_capture

# This host may open 256 files: 400 connections held open use them all up. The command
# socket stays, and `kivo gui` works once they are gone.
socket=$XDG_RUNTIME_DIR/kivo-x11-${DISPLAY#:}.socket
perl -MSocket -e 'my @s; for (1..400) { socket(my $s, PF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0) or last;
    connect($s, pack_sockaddr_un($ARGV[0])) or last; push @s, $s } sleep 60' "$socket" &
flood=$!
E2E_PIDS+=($flood)
out_of_files() { [ "$(ls "/proc/$gui/fd" | wc -l)" -ge 250 ]; }
wait_for 20 out_of_files || fail "the flood did not use up the host's descriptors"
kill "$flood"
[ -S "$socket" ] || fail "the flood removed the command socket"
start=$(date +%s%N)
"$KIVO_BIN" gui || fail "kivo gui failed after the flood"
echo "kivo gui answered $(( ($(date +%s%N) - start) / 1000000 )) ms after the flood ended"
wait_for 10 capture_shown || fail "kivo gui after the flood opened no capture"
"$KIVO_BIN" quit || fail "kivo quit failed"
wait_for 10 bash -c "! kill -0 $gui 2>/dev/null" || fail "kivo quit did not end the host"
wait_for 10 tray_icon_gone || fail "an icon was left behind after kivo quit"
e2e_pass

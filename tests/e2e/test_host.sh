#!/usr/bin/env bash
# The host: refusals without a display; no tray, then a tray; its menu, 截图, `kivo gui`, a second
# start, 退出; after kill -9 the next start works; a descriptor flood is survived.
. "$(dirname "$0")/lib.sh"

refused() { # refused TEXT COMMAND...: status 1, the one line TEXT on stderr, nothing on stdout
    local status=0 && env -u DISPLAY "${@:2}" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ $status = 1 ] && [ ! -s "$E2E_TMP/out" ] && [ "$(wc -l <"$E2E_TMP/err")" = 1 ] && grep -qF "$1" "$E2E_TMP/err" ||
        fail "${*:2}: status $status, $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}
refused "not running" "$KIVO_BIN" quit
refused "cannot open the X display" DISPLAY=":$(free_display 700 800)" "$KIVO_BIN"

# Kivo's icon windows mapped in the tray (by class and size: the embedded window has no pid).
tray_icons() {
    xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "kivo": ("kivo" "kivo")  \([0-9]*\)x[0-9]*+.*/\1 \2/p' |
        while read -r id size; do
            [ "$size" -lt 64 ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && echo "$id"
        done
    true
}
icon_is() { [ "$(tray_icons | wc -l)" = "$1" ]; }
start_tray() { trayer --SetDockType true --SetPartialStrut true --edge top --align right >>"$E2E_TMP/trayer.log" 2>&1 & E2E_PIDS+=($!); }
# menu_is N: the host has N pop-up menus mapped (override-redirect windows that are no icon).
menu_is() {
    local w n=0
    for w in $(xdotool search --all --pid "$host" --onlyvisible --name '' 2>/dev/null); do
        tray_icons | grep -qx "$(printf '0x%x' "$w")" && continue
        xwininfo -id "$w" -all 2>/dev/null | grep -q 'Override Redirect State: yes' && n=$((n + 1))
    done
    [ $n = "$1" ]
}
one_capture() { [ "$(xdotool search --all --pid "$host" --onlyvisible --name '^Kivo独立截图截屏软件$' | wc -l)" = 1 ]; }
CLOSE_X=300
close_capture() { # a right click with no selection, each elsewhere (never a double-click)
    CLOSE_X=$((CLOSE_X + 60)) && xdotool mousemove $CLOSE_X 400 click 3
    wait_for 10 capture_gone || fail "the capture did not close on a right click"
}

# No tray: `kivo gui` while the host holds its lock but may not listen yet waits for it.
e2e_start_display 1280x800
e2e_start_kivo && host=$KIVO_PID
wait_for 10 test -e "$XDG_RUNTIME_DIR/kivo-x11-${DISPLAY#:}.lock" || fail "the host took no lock"
timeout 20 "$KIVO_BIN" gui || fail "kivo gui during the host's start-up failed"
wait_for 20 one_capture || fail "expected one capture"
close_capture
start_tray
wait_for 20 icon_is 1 || fail "the icon did not appear when a tray did"

# The icon's menu opens on a right click; 截图 (its first item) opens a capture, as does `kivo gui`.
eval "$(xdotool getwindowgeometry --shell "$(tray_icons | head -n 1)")"
ix=$((X + WIDTH / 2)) iy=$((Y + HEIGHT / 2))
xdotool mousemove "$ix" "$iy" click 3 && wait_for 10 menu_is 1 || fail "no menu on a right click"
xdotool key Down Return
wait_for 10 capture_shown && wait_for 10 menu_is 0 || fail "\"截图\" opened no capture, or the menu stayed"
close_capture
new_capture && one_capture || fail "kivo gui opened no capture in the host"
close_capture

# A second plain start shows the message (with the focus: Enter closes it) and adds no icon.
e2e_start_kivo && second=$KIVO_PID
wait_for 20 window_active "$second" Kivo && icon_is 1 || fail "the second copy showed no message with the focus, or an icon"
xdotool key Return
wait_for 10 gone "$second" && kill -0 "$host" || fail "the second copy did not end after its message, or the host ended"

# 退出 (the last item) ends the program and leaves no icon.
xdotool mousemove "$ix" "$iy" click 3 && wait_for 10 menu_is 1 || fail "no menu for 退出"
xdotool key Up Return
wait_for 10 gone "$host" && wait_for 10 icon_is 0 || fail "退出 did not end the program, or left its icon"

# The icon comes after the capture; after kill -9 `kivo gui` (256 files allowed) is the host.
e2e_start_kivo && killed=$KIVO_PID
icon_after_capture() { icon_is 1 && { capture_shown || touch "$E2E_TMP/icon-first"; }; }
wait_for 20 icon_after_capture && [ ! -e "$E2E_TMP/icon-first" ] || fail "no tray icon, or it came before the capture"
kill -9 "$killed" && wait_for 10 capture_gone && wait_for 10 icon_is 0 || fail "the killed host's window or icon stayed"
prlimit --nofile=256 "$KIVO_BIN" gui >"$E2E_TMP/gui.log" 2>&1 &
host=$! && E2E_PIDS+=($host)
e2e_wait_capture
wait_for 20 icon_is 1 && kill -0 "$host" || fail "kivo gui after kill -9 did not become the host with an icon"
close_capture

# 400 connections held open use up the 256 files; the socket stays and `kivo gui` works after.
socket=$XDG_RUNTIME_DIR/kivo-x11-${DISPLAY#:}.socket
perl -MSocket -e 'my @s; for (1..400) { socket(my $s, PF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0) or last;
    connect($s, pack_sockaddr_un($ARGV[0])) or last; push @s, $s } sleep 60' "$socket" &
flood=$! && E2E_PIDS+=($flood)
out_of_files() { [ "$(ls "/proc/$host/fd" | wc -l)" -ge 250 ]; }
wait_for 20 out_of_files || fail "the flood did not use up the host's descriptors"
kill "$flood" && [ -S "$socket" ] || fail "the flood removed the command socket"
new_capture
"$KIVO_BIN" quit && wait_for 10 gone "$host" && wait_for 10 icon_is 0 || fail "kivo quit did not end the host, or left its icon"
e2e_pass

#!/usr/bin/env bash
# The host, from the command line to the tray: --version/--help/unknown commands and the
# refusals without a display or with a runtime folder another user prepared; a desktop
# without a tray (the notice, `kivo gui` during start-up, the icon once a tray comes); the
# tray's menu, 截图, `kivo gui`, a second start, another desktop, 退出; after kill -9 the next
# start works, and a descriptor flood leaves it reachable.
. "$(dirname "$0")/lib.sh"

# --- Without a display: each refusal is one line on stderr with its own status.
[ "$("$KIVO_BIN" --version)" = "1.0.2" ] || fail "--version does not print 1.0.2"
[[ "$("$KIVO_BIN" --help)" == *gui*--screen*quit* ]] || fail "--help does not list the commands"
# expect STATUS TEXT COMMAND...: COMMAND ends with STATUS, prints nothing on stdout, and on
# stderr TEXT in its first line (its only one but for the usage after an unknown command).
expect() {
    local want=$1 text=$2 status=0
    shift 2
    env -u DISPLAY "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ "$status" = "$want" ] && [ ! -s "$E2E_TMP/out" ] && { [ "$want" = 2 ] || [ "$(wc -l <"$E2E_TMP/err")" = 1 ]; } &&
        head -n 1 "$E2E_TMP/err" | grep -qF -- "$text" || fail "$*: status $status, $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}
expect 2 "unknown command: screenshot" "$KIVO_BIN" screenshot
expect 1 "not running" "$KIVO_BIN" quit
expect 1 display "$KIVO_BIN"
expect 1 display DISPLAY=":$(free_display 700 800)" "$KIVO_BIN"
mkdir "$XDG_RUNTIME_DIR/kivo.socket"
expect 1 "cannot reach Kivo at $XDG_RUNTIME_DIR/kivo.socket: it is a folder" "$KIVO_BIN" gui
rmdir "$XDG_RUNTIME_DIR/kivo.socket" || fail "the folder at the socket path was removed"

# Without XDG_RUNTIME_DIR, another user cannot hand Kivo its folder under TMPDIR (nor the
# toolkit's fallback): one open to all with their server in it, or a link to a folder of
# ours. Each is refused by name; nothing changes through the link.
if [ "$(id -u)" = 0 ]; then
    other=kivo-e2e-other
    id "$other" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$other"
    as_other=(setpriv --reuid="$other" --regid="$other" --clear-groups)
    chmod 711 "$E2E_TMP"
    shared=$E2E_TMP/shared mine=$E2E_TMP/mine
    mkdir -m 1777 "$shared" && mkdir -m 755 "$mine"
    for plant in "mkdir -m 777" "ln -s $mine"; do
        for f in "$shared/kivo-0" "$shared/runtime-root"; do "${as_other[@]}" $plant "$f"; done
        if [ ! -L "$shared/kivo-0" ]; then
            "${as_other[@]}" perl -MSocket -e 'socket(S, PF_UNIX, SOCK_STREAM, 0); bind(S, pack_sockaddr_un($ARGV[0])) or die;
                chmod 0777, $ARGV[0]; listen(S, 5); while (accept(C, S)) { <C>; syswrite(C, "ok\n"); close C }' \
                "$shared/kivo-0/kivo.socket" &
            E2E_PIDS+=($!)
            wait_for 10 test -S "$shared/kivo-0/kivo.socket" || fail "the other user's server did not start"
        fi
        expect 1 "kivo: cannot use the runtime folder $shared/kivo-0: " -u XDG_RUNTIME_DIR TMPDIR="$shared" "$KIVO_BIN" quit
        rm -rf "${shared:?}"/*
    done
    [ "$(stat -c %a "$mine")" = 755 ] && [ -z "$(ls -A "$mine")" ] || fail "Kivo changed a folder through a link"
else
    echo "SKIP: the other-user runtime folder case needs root to act as a second user"
fi

# Tray helpers. tray_icons: Kivo's icon windows mapped in the tray (found by class and size:
# the embedded window carries no process id).
tray_icons() {
    xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "kivo": ("kivo" "kivo")  \([0-9]*\)x[0-9]*+.*/\1 \2/p' |
        while read -r id size; do
            [ "$size" -lt 64 ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && echo "$id"
        done
    true
}
icon_count() { tray_icons | wc -l; }
icon_is() { [ "$(icon_count)" = "$1" ]; }
# menu_window: the host's mapped pop-up menu, an override-redirect window that is no icon.
menu_window() {
    local w
    for w in $(xdotool search --all --pid "$host" --onlyvisible --name '' 2>/dev/null); do
        tray_icons | grep -qx "$(printf '0x%x' "$w")" && continue
        xwininfo -id "$w" -all 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w" && return
    done
    true
}
menu_is() { [ "$(menu_window | wc -l)" = "$1" ]; }
captures() { xdotool search --all --pid "$host" --onlyvisible --name '^Kivo独立截图截屏软件$' 2>/dev/null | wc -l; }
# close_capture: a right click with no selection, each elsewhere (never a double-click).
CLOSE_N=0
close_capture() {
    CLOSE_N=$((CLOSE_N + 1))
    xdotool mousemove $((300 + (CLOSE_N % 8) * 60)) 400 click 3
    wait_for 10 capture_gone || fail "the capture did not close on a right click"
}

# --- No tray: `kivo gui` while the host holds its lock but may not listen yet waits for it;
# one line says how to reach Kivo; the icon comes (and comes back) with a tray.
e2e_start_display 1280x800
e2e_start_kivo
host=$KIVO_PID
wait_for 10 test -e "$XDG_RUNTIME_DIR/kivo-x11-${DISPLAY#:}.lock" || fail "the host took no lock"
timeout 20 "$KIVO_BIN" gui || fail "kivo gui during the host's start-up failed"
e2e_wait_capture
[ "$(captures)" = 1 ] || fail "expected one capture, saw $(captures)"
said_how() { grep -q 'kivo gui.*kivo quit\|kivo quit.*kivo gui' "$KIVO_LOG"; }
wait_for 10 said_how && [ "$(grep -c 'kivo gui' "$KIVO_LOG")" = 1 ] || fail "no one-line notice: $(cat "$KIVO_LOG")"
close_capture
start_tray
wait_for 20 icon_is 1 || fail "the icon did not appear when a tray did ($(icon_count) icons)"
kill "$TRAY_PID" && wait "$TRAY_PID" 2>/dev/null || true
wait_for 10 icon_is 0 || fail "the icon outlived its tray"
start_tray
wait_for 20 icon_is 1 || fail "the icon did not come back with the tray"

# --- The tray's icon: a left click or a double click does nothing; the right button opens
# the menu on its release, not on the press.
eval "$(xdotool getwindowgeometry --shell "$(tray_icons | head -n 1)")"
ix=$((X + WIDTH / 2)) iy=$((Y + HEIGHT / 2))
xdotool mousemove "$ix" "$iy" click 1 click --repeat 2 --delay 80 1 mousedown 3
sleep 0.3 # a menu or capture opened by these would be mapped by now; nothing else to wait on
menu_is 0 && capture_gone || fail "a left click or a right-button press on the icon did something"
xdotool mouseup 3
wait_for 10 menu_is 1 || fail "no menu on the right-button release"
xdotool key Down Return # the first item, 截图
wait_for 10 capture_shown || fail "\"截图\" opened no capture"
wait_for 10 menu_is 0 || fail "the menu stayed open"
"$KIVO_BIN" gui || fail "kivo gui failed while a capture is open"
sleep 0.3 # a second capture would be mapped by now
[ "$(captures)" = 1 ] || fail "kivo gui opened a second capture"
close_capture
"$KIVO_BIN" gui || fail "kivo gui failed"
wait_for 10 capture_shown && [ "$(captures)" = 1 ] || fail "kivo gui opened no capture in the host"
close_capture

# A second plain start shows the message (with the focus: Enter closes it) and adds no icon.
e2e_start_kivo
second=$KIVO_PID
box() { xdotool search --all --pid "$second" --onlyvisible --name 'Kivo' 2>/dev/null | head -n 1; }
box_active() { [ -n "$(box)" ] && { [ "$(xdotool getactivewindow)" = "$(box)" ] || xdotool windowactivate "$(box)"; } && [ "$(xdotool getactivewindow)" = "$(box)" ]; }
wait_for 20 box_active || fail "the second copy showed no message with the focus"
icon_is 1 || fail "the second copy added an icon"
xdotool key Return
wait_for 10 gone "$second" || fail "the second copy did not end after its message"

# Another desktop of the same user: a host of its own, and `kivo quit` there ends only it.
n=$(free_display 141 190)
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >"$E2E_TMP/xvfb-other.log" 2>&1 &
E2E_PIDS+=($!)
on_other() { DISPLAY=":$n" "$@"; }
wait_for 10 on_other xdpyinfo || fail "the second Xvfb did not start"
DISPLAY=":$n" e2e_start_kivo
wait_for 20 on_other capture_shown || fail "no capture on the other desktop: $(cat "$KIVO_LOG")"
DISPLAY=":$n" "$KIVO_BIN" quit || fail "kivo quit on the other desktop failed"
wait_for 10 gone "$KIVO_PID" || fail "kivo quit did not end the other desktop's host"
kill -0 "$host" || fail "the host ended with the second copy or the other desktop's"

# 退出 (the last item) ends the program and leaves no icon.
xdotool mousemove "$ix" "$iy" click 3
wait_for 10 menu_is 1 || fail "no menu for 退出"
xdotool key Up Return
wait_for 10 gone "$host" || fail "退出 did not end the program"
wait_for 10 icon_is 0 || fail "an icon was left behind after 退出"

# --- With a tray: the icon comes only after the capture window. kill -9 leaves a stale lock
# and socket: `kivo gui` (allowed 256 files) then becomes the host.
e2e_start_kivo
killed=$KIVO_PID
icon_after_capture() { icon_is 1 && { capture_shown || touch "$E2E_TMP/icon-first"; }; }
wait_for 20 icon_after_capture || fail "no tray icon appeared"
[ ! -e "$E2E_TMP/icon-first" ] || fail "the tray icon appeared before the capture window"
capture_shown || fail "no capture window with the icon"
kill -9 "$killed"
wait_for 10 capture_gone && wait_for 10 icon_is 0 || fail "the killed host's window or icon stayed"
prlimit --nofile=256 "$KIVO_BIN" gui >"$E2E_TMP/gui.log" 2>&1 &
host=$!
E2E_PIDS+=($host)
e2e_wait_capture
wait_for 20 icon_is 1 || fail "kivo gui after kill -9 added no icon"
kill -0 "$host" || fail "kivo gui did not become the host"
close_capture

# 400 connections held open use up the 256 files; the socket stays and `kivo gui` works
# once they are gone.
socket=$XDG_RUNTIME_DIR/kivo-x11-${DISPLAY#:}.socket
perl -MSocket -e 'my @s; for (1..400) { socket(my $s, PF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0) or last;
    connect($s, pack_sockaddr_un($ARGV[0])) or last; push @s, $s } sleep 60' "$socket" &
flood=$!
E2E_PIDS+=($flood)
out_of_files() { [ "$(ls "/proc/$host/fd" | wc -l)" -ge 250 ]; }
wait_for 20 out_of_files || fail "the flood did not use up the host's descriptors"
kill "$flood"
[ -S "$socket" ] || fail "the flood removed the command socket"
"$KIVO_BIN" gui || fail "kivo gui failed after the flood"
wait_for 10 capture_shown || fail "kivo gui after the flood opened no capture"
"$KIVO_BIN" quit || fail "kivo quit failed"
wait_for 10 gone "$host" || fail "kivo quit did not end the host"
wait_for 10 icon_is 0 || fail "an icon was left behind after kivo quit"
e2e_pass

#!/usr/bin/env bash
# Headless sway with the portal, the primary output right of another; on Xwayland and natively:
# the frozen picture exact, copy, save, handles; a refused screenshot leaves the host running.
. "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd) && SESSION=$HERE/../../scripts/wayland-session.sh
VPOINTER=$(dirname "$SESSION")/wl_vpointer.py

missing=""
for c in sway swaybg grim wl-paste wtype Xwayland pipewire gdbus /usr/libexec/xdg-desktop-portal{,-wlr,-gtk}; do command -v "$c" >/dev/null || missing+=" $c"; done
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || missing+=" python3-dbus/python3-gi"
[ -z "$missing" ] || { [ "$(id -u)" != 0 ] && echo "SKIP: no Wayland session without:$missing" && exit 0; } ||
    fail "missing (as root, scripts/install-deps.sh installs them):$missing"

W=1280 H=800 X=320 # the primary output HEADLESS-1 at (X, 0); HEADLESS-2 at (0, 0)
chmod 755 "$E2E_TMP"
e2e_pattern ${W}x$H "$E2E_TMP/root.png"
convert -size 320x240 xc:'#c03020' "$E2E_TMP/left.png"
convert "$E2E_TMP/root.png" -crop 300x200+100+50 +repage "$E2E_TMP/crop.png"
OUT="$E2E_TMP/out" && mkdir -m 777 "$OUT"
chmod 644 "$E2E_TMP"/*.png
trap '"$SESSION" stop "$E2E_TMP/s" >/dev/null 2>&1; e2e_cleanup' EXIT
KIVO_WL_HIDE_CURSOR=1 "$SESSION" start "$E2E_TMP/s" "${W}x$H+$X+0:$E2E_TMP/root.png" \
    "320x240+0+0:$E2E_TMP/left.png" >"$E2E_TMP/session.log" 2>&1 || fail "no session: $(cat "$E2E_TMP/session.log")"
. "$E2E_TMP/s/env"
unset DISPLAY # the tools below are Wayland clients; Kivo gets the session's DISPLAY through run
fail() { echo "FAIL: $*" >&2 && grim /tmp/kivo-e2e-failure-test_wayland.png 2>/dev/null; exit 1; }
run() { "$SESSION" run "$E2E_TMP/s" "$@"; }
# pointer at output pixel (x, y) of the primary, then the given actions
pointer() { "$VPOINTER" --extent $((X + W))x$H move $(($1 + X)) "$2" "${@:3}"; }

# A window's state in sway's tree: "full" (full screen on HEADLESS-1), "shown", "hidden", or nothing.
window() {
    swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(n, out):
    if n.get("type") == "output": out = n["name"]
    if n.get("name") == sys.argv[1] and n.get("pid"):
        full = n.get("fullscreen_mode") == 1 and out == "HEADLESS-1"
        print("full" if full else "shown" if n.get("visible") else "hidden")
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c, out)
walk(json.load(sys.stdin), "")' "${1:-Kivo独立截图截屏软件}"
}
capture_is() { [ "$(window)" = "$1" ]; }
shot() { grim -o HEADLESS-1 "$E2E_TMP/shot.png"; }
frame_shown() { shot && [ "$(e2e_pixel "$E2E_TMP/shot.png" 250 50)" = "0,122,236" ]; }
select_area() { # drag out (100, 50)-(400, 250) and wait for its frame
    pointer 100 50 down move $((X + 250)) 150 move $((X + 400)) 250 up
    wait_for 10 frame_shown || fail "no selection frame after the drag"
}
# The software cursor shows in grim's and the portal's pictures: park it on the other output.
park() { "$VPOINTER" --extent $((X + W))x$H move 100 100; }

# Qt on Xwayland reads through the portal (X reads only black); sway may tile it, not full screen.
park
run env QT_QPA_PLATFORM=xcb "$KIVO_BIN" >"$E2E_TMP/xcb.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 20 eval '[ -n "$(window)" ]' || fail "no capture on Xwayland: $(cat "$E2E_TMP/xcb.log")"
wait_for 10 shows_root || fail "the capture on Xwayland does not show the primary output exactly"
pointer 700 500 click right
wait_for 10 capture_is "" || fail "a right click did not close the capture on Xwayland"
park
run "$KIVO_BIN" quit || fail "kivo quit failed on Xwayland"

run "$KIVO_BIN" >"$E2E_TMP/kivo.log" 2>&1 &
HOST=$! && E2E_PIDS+=($HOST)
wait_for 20 capture_is full || fail "no full-screen capture on the primary output: $(window) $(cat "$E2E_TMP/kivo.log")"
wait_for 10 shows_root || fail "the capture does not show the primary output exactly"

# A double-click copies the selection: wl-paste reads it while the host runs.
select_area
pointer 200 150 click click
wait_for 10 capture_is "" || fail "the double-click did not end the capture"
wait_for 10 eval 'wl-paste -t image/png >"$E2E_TMP/clip.png" && e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png"' || fail "the clipboard does not hold the selected area"
park

# Frozen while the screen changes; handle 6 widens the selection to 350x250 (the window is
# away from the desktop's origin); the save button (356, 317), the dialog focused by sway.
run "$KIVO_BIN" gui
wait_for 20 capture_is full && wait_for 10 shows_root || fail "kivo gui opened no capture of the primary output"
kill "$("$SESSION" pid "$E2E_TMP/s" swaybg)"
shows_root || fail "the capture did not stay frozen"
select_area
pointer 399 249 down move $((X + 420)) 270 move $((X + 450)) 300 up
pointer 356 317 click
wait_for 20 eval '[ "$(window 保存为)" = shown ]' || fail "no Save dialog in front: $(window "保存为")"
swaymsg '[title="保存为"] focus' >/dev/null
wtype "$OUT/shot" -k Return
wait_for 20 test -s "$OUT/shot.PNG" && wait_for 10 capture_is "" || fail "no shot.PNG written, or the capture stayed"
convert "$E2E_TMP/root.png" -crop 350x250+100+50 +repage "$E2E_TMP/crop2.png"
e2e_same_pixels "$OUT/shot.PNG" "$E2E_TMP/crop2.png" || fail "shot.PNG is not the selected area"

# A desktop that refuses: a message box says so and how to allow it again; the host runs on.
PORTAL=$("$SESSION" pid "$E2E_TMP/s" portal) && kill "$PORTAL" && wait_for 10 gone "$PORTAL" || fail "the portal did not end"
"$SESSION" run "$E2E_TMP/s" /usr/bin/python3 "$HERE/portal_refuses.py" & # execs: $! is its PID
STANDIN=$! && E2E_PIDS+=($STANDIN)
standin_owns_portal() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus --method \
        org.freedesktop.DBus.GetConnectionUnixProcessID org.freedesktop.portal.Desktop | grep -q "uint32 $STANDIN,"
}
wait_for 10 standin_owns_portal || fail "the stand-in portal did not start"
run "$KIVO_BIN" gui
wait_for 20 capture_is shown || fail "no message box: $(window)" # the host logs what it says
grep -q "桌面拒绝了截屏" "$E2E_TMP/kivo.log" && grep -q "Delete ss screenshot screenshot" "$E2E_TMP/kivo.log" ||
    fail "the message does not say the desktop refused and how to allow it: $(cat "$E2E_TMP/kivo.log")"
wtype -k Return
wait_for 10 capture_is "" && kill -0 "$HOST" || fail "the message box did not close, or the host ended"
run "$KIVO_BIN" quit && wait_for 10 gone "$HOST" || fail "the host no longer answers kivo quit"
e2e_pass

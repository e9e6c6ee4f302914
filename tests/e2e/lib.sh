# Shared set-up for the end-to-end tests: a private Xvfb display with openbox (and a tray
# when asked), a known root picture, the real kivo binary, and waits on conditions.
set -euo pipefail
: "${KIVO_BIN:?KIVO_BIN must name the kivo binary}"
E2E_TMP=$(mktemp -d /tmp/kivo-e2e.XXXXXX)
E2E_PIDS=()
export XDG_RUNTIME_DIR="$E2E_TMP/runtime" HOME="$E2E_TMP/home" XDG_SESSION_TYPE=x11
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# An X11 session, even when the tests run inside a Wayland desktop (Kivo would ask its portal).
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS WAYLAND_DISPLAY

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -z "${DISPLAY:-}" ] || import -window root "/tmp/kivo-e2e-failure-$(basename "$0" .sh).png" 2>/dev/null || true
    exit 1
}
e2e_pass() { echo "PASS: $(basename "$0" .sh)"; }

# wait_for SECONDS COMMAND...: run COMMAND until it succeeds, at most SECONDS.
wait_for() {
    local end=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}
gone() { ! kill -0 "$1" 2>/dev/null; }
free_display() { # free_display FIRST LAST: a display number nobody uses
    local n
    for n in $(seq "$1" "$2"); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
    echo "$n"
}

# e2e_start_display [WxH] [--tray]; E2E_XVFB_ARGS adds options, e.g. "-dpi 192".
e2e_start_display() {
    local n
    n=$(free_display 90 140)
    # shellcheck disable=SC2086
    Xvfb ":$n" -screen 0 "${1:-1280x800}x24" ${E2E_XVFB_ARGS:-} -noreset -nolisten tcp >"$E2E_TMP/xvfb$n.log" 2>&1 &
    E2E_PIDS+=($!)
    export DISPLAY=":$n"
    wait_for 10 xdpyinfo || fail "Xvfb did not start"
    openbox >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    # openbox names itself before the end of its start-up, and a window mapped meanwhile can
    # stay unmapped for good: wait until it manages a probe window.
    local i probe ok
    for i in 1 2 3 4 5 0; do
        [ "$i" != 0 ] || fail "openbox manages no window"
        xmessage -title kivo-wm-probe probe >/dev/null 2>&1 &
        probe=$! ok=0
        wait_for 2 wm_manages_probe && ok=1
        kill "$probe" && wait "$probe" 2>/dev/null || true
        [ $ok = 0 ] || break
    done
    [ "${2:-}" != --tray ] || start_tray
}
wm_manages_probe() { xprop -id "$(xdotool search --name '^kivo-wm-probe$' | head -n 1)" WM_STATE | grep -q Normal; }
start_tray() {
    trayer --SetDockType true --SetPartialStrut true --edge top --align right >>"$E2E_TMP/trayer.log" 2>&1 &
    TRAY_PID=$!
    E2E_PIDS+=($TRAY_PID)
}

# e2e_start_a11y: a private D-Bus session with its accessibility bus (started before the
# program, which only joins one already there), read by a11y_names.py.
e2e_start_a11y() {
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_TMP/bus" 2>"$E2E_TMP/dbus.log" &
    E2E_PIDS+=($!)
    wait_for 10 test -s "$E2E_TMP/bus" || fail "no D-Bus session"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/bus")
    export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null || fail "no accessibility bus"
}
# e2e_names_include TITLE NAME...: the window TITLE shows each "role:text" NAME.
e2e_names_include() {
    local title=$1 name
    shift
    /usr/bin/python3 "$KIVO_E2E_DIR/a11y_names.py" "$title" >"$E2E_TMP/names" || return 1
    for name in "$@"; do grep -qxF "$name" "$E2E_TMP/names" || return 1; done
}

# Pictures: the root's (what a capture freezes), a pattern whose every pixel differs from
# its neighbours', random noise (quick even for a large screen).
e2e_set_root() { display -window root "$1" >/dev/null 2>&1 || true; }
e2e_pattern() {
    convert -size "$1" xc: -channel R -fx 'i%251/255' -channel G -fx 'j%241/255' \
        -channel B -fx '((i*7+j*3)%256)/255' +channel -depth 8 "PNG24:$2"
}
e2e_noise() { convert -seed 7 -size "$1" xc: +noise Random -depth 8 "PNG24:$2"; }
e2e_pixel() { # FILE X Y: "r,g,b"
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
e2e_same_pixels() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }
shot() { import -window root "$E2E_TMP/shot.png"; }
shows_root() { shot && e2e_same_pixels "$E2E_TMP/shot.png" "$E2E_TMP/root.png"; }
# pixels_are COLOUR X Y [X Y...]: every listed pixel of the last shot has COLOUR; ROOT
# stands for the root picture's own pixel there.
pixels_are() {
    local colour=$1 want
    shift
    while [ $# -gt 0 ]; do
        want=$colour
        [ "$colour" != ROOT ] || want=$(e2e_pixel "$E2E_TMP/root.png" "$1" "$2")
        [ "$(e2e_pixel "$E2E_TMP/shot.png" "$1" "$2")" = "$want" ] || return 1
        shift 2
    done
}

# e2e_copied_is WxH+X+Y: the clipboard holds that area of $E2E_TMP/root.png as a PNG.
clipboard_png() { xclip -selection clipboard -t image/png -o >"$E2E_TMP/clip.png" 2>/dev/null && identify "$E2E_TMP/clip.png" >/dev/null 2>&1; }
e2e_copied_is() {
    wait_for 10 clipboard_png || fail "no PNG on the clipboard"
    convert "$E2E_TMP/root.png" -crop "$1" +repage "$E2E_TMP/crop.png"
    e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png" ||
        fail "the copy is $(identify -format %wx%h "$E2E_TMP/clip.png"), not the root's $1"
}

# e2e_start_kivo [ARGS...]: start the real program; its pid is KIVO_PID, its output in KIVO_LOG.
e2e_start_kivo() {
    KIVO_LOG="$E2E_TMP/kivo.$RANDOM.log"
    "$KIVO_BIN" "$@" >"$KIVO_LOG" 2>&1 &
    KIVO_PID=$!
    E2E_PIDS+=($KIVO_PID)
}
capture_window() { xdotool search --onlyvisible --name '^Kivo独立截图截屏软件$' | head -n 1; }
capture_shown() { [ -n "$(capture_window)" ]; }
capture_gone() { [ -z "$(capture_window)" ]; }
e2e_wait_capture() { wait_for 20 capture_shown || fail "no capture window appeared"; }

# e2e_drag X1 Y1 X2 Y2 [BUTTON]: a real drag with the X server's pointer.
e2e_drag() {
    local b=${5:-1} i
    xdotool mousemove "$1" "$2" mousedown "$b"
    for i in 1 2 3 4 5; do xdotool mousemove $(($1 + ($3 - $1) * i / 5)) $(($2 + ($4 - $2) * i / 5)); done
    xdotool mouseup "$b"
}

# Shared set-up for the end-to-end tests: a private Xvfb display with openbox (and a tray
# when asked), a known root picture, the real kivo binary, and waits on conditions.
# Source it, then call e2e_start_display [WIDTHxHEIGHT] [--tray].
set -euo pipefail

: "${KIVO_BIN:?KIVO_BIN must name the kivo binary}"
E2E_TMP=$(mktemp -d /tmp/kivo-e2e.XXXXXX)
E2E_PIDS=()
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export HOME="$E2E_TMP/home"
mkdir -p "$HOME"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
# An X11 session, even when the tests run inside a Wayland desktop (Kivo would ask its portal).
unset WAYLAND_DISPLAY
export XDG_SESSION_TYPE=x11

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then import -window root "$E2E_TMP/failure.png" 2>/dev/null && \
        cp "$E2E_TMP/failure.png" "/tmp/kivo-e2e-failure-$(basename "$0" .sh).png" 2>/dev/null || true; fi
    exit 1
}

# wait_for SECONDS COMMAND...: run COMMAND until it succeeds, at most SECONDS.
wait_for() {
    local limit=$1; shift
    local end=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

e2e_start_display() {
    local size=${1:-1280x800} tray=${2:-}
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    # shellcheck disable=SC2086 # E2E_XVFB_ARGS: more options, e.g. "-dpi 192"
    Xvfb ":$n" -screen 0 "${size}x24" ${E2E_XVFB_ARGS:-} -noreset -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    export DISPLAY=":$n"
    wait_for 10 xdpyinfo || fail "Xvfb did not start"
    openbox >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || fail "openbox did not start"
    e2e_wait_wm_ready
    if [ "$tray" = "--tray" ]; then
        trayer --SetDockType true --SetPartialStrut true --edge top --align right >"$E2E_TMP/trayer.log" 2>&1 &
        E2E_PIDS+=($!)
        wait_for 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null && xwininfo -root -tree | grep -q -i panel' || true
    fi
}

# e2e_wait_wm_ready: openbox names itself on the root before the end of its start-up, and
# a window mapped meanwhile can stay unmapped for good. Wait until it manages a probe window.
wm_manages_probe() { xprop -id "$(xdotool search --name '^kivo-wm-probe$' | head -n 1)" WM_STATE | grep -q Normal; }
e2e_wait_wm_ready() {
    local attempt probe
    for attempt in 1 2 3 4 5; do
        xmessage -title kivo-wm-probe probe >/dev/null 2>&1 &
        probe=$!
        if wait_for 2 wm_manages_probe; then
            kill "$probe"; wait "$probe" 2>/dev/null || true
            return 0
        fi
        kill "$probe"; wait "$probe" 2>/dev/null || true
    done
    fail "openbox manages no window"
}

# e2e_start_a11y: a private D-Bus session with its accessibility bus, and the program's
# widgets published there, so that tests/e2e/a11y_names.py can read their texts.
e2e_start_a11y() {
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_TMP/bus" 2>"$E2E_TMP/dbus.log" &
    E2E_PIDS+=($!)
    wait_for 10 test -s "$E2E_TMP/bus" || fail "no D-Bus session"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/bus")
    export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    # Started before the program, which only joins an accessibility bus already there.
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

# e2e_set_root PNG: show PNG as the root window's picture (what a capture freezes).
e2e_set_root() {
    display -window root "$1" >/dev/null 2>&1 || true
}

# e2e_pattern WxH FILE: a picture whose every pixel differs from its neighbours'.
e2e_pattern() {
    convert -size "$1" xc: -channel R -fx 'i%251/255' -channel G -fx 'j%241/255' \
        -channel B -fx '((i*7+j*3)%256)/255' +channel -depth 8 "PNG24:$2"
}

# e2e_noise WxH FILE: random pixels, quick to make even for a large screen.
e2e_noise() {
    convert -seed 7 -size "$1" xc: +noise Random -depth 8 "PNG24:$2"
}

# e2e_place: the capture window's place on the screen, as "X,Y WxH".
e2e_place() {
    local w
    w=$(capture_window)
    [ -n "$w" ] || return 1 # (xwininfo without a window waits for a click)
    xwininfo -id "$w" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width/ {w = $NF} /^ *Height/ {h = $NF} END {print x "," y " " w "x" h}'
}

# e2e_copied_is WxH+X+Y: the clipboard holds that area of $E2E_TMP/root.png as a PNG.
clipboard_png() {
    xclip -selection clipboard -t image/png -o >"$E2E_TMP/clip.png" 2>/dev/null &&
        identify "$E2E_TMP/clip.png" >/dev/null 2>&1
}
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

# e2e_wait_capture: wait until a capture window is mapped and painted.
e2e_wait_capture() {
    wait_for 20 capture_shown || fail "no capture window appeared"
}

# e2e_drag X1 Y1 X2 Y2 [BUTTON]: a real drag with the X server's pointer.
e2e_drag() {
    local b=${5:-1}
    xdotool mousemove "$1" "$2" mousedown "$b"
    local i
    for i in 1 2 3 4 5; do
        xdotool mousemove $(( $1 + ($3 - $1) * i / 5 )) $(( $2 + ($4 - $2) * i / 5 ))
    done
    xdotool mouseup "$b"
}

# e2e_pixel FILE X Y: the pixel as "r,g,b".
e2e_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# e2e_same_pixels A B: true when two pictures have the same size and pixels.
e2e_same_pixels() {
    [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]
}

e2e_pass() { echo "PASS: $(basename "$0" .sh)"; }

# e2e_capture_on_pattern [WxH]: a display whose root shows a known pattern
# ($E2E_TMP/root.png), and the real program's capture of it open.
e2e_capture_on_pattern() {
    local size=${1:-1280x800}
    e2e_start_display "$size"
    e2e_pattern "$size" "$E2E_TMP/root.png"
    e2e_set_root "$E2E_TMP/root.png"
    e2e_start_kivo
    e2e_wait_capture
}

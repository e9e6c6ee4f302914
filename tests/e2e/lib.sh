# Shared set-up: a private Xvfb with openbox, a known root picture, the real kivo, waits.
set -euo pipefail
: "${KIVO_BIN:?KIVO_BIN must name the kivo binary}"
E2E_TMP=$(mktemp -d /tmp/kivo-e2e.XXXXXX)
E2E_PIDS=()
export XDG_RUNTIME_DIR="$E2E_TMP/runtime" HOME="$E2E_TMP/home" XDG_SESSION_TYPE=x11
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS WAYLAND_DISPLAY

e2e_cleanup() {
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done && rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
fail() {
    echo "FAIL: $*" >&2 && [ -z "${DISPLAY:-}" ] || import -window root "/tmp/kivo-e2e-failure-$(basename "$0" .sh).png" 2>/dev/null
    exit 1
}
e2e_pass() { echo "PASS: $(basename "$0" .sh)"; }
wait_for() { # wait_for SECONDS COMMAND...: run COMMAND until it succeeds, at most SECONDS.
    local end=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $end ] || return 1 && sleep 0.05; done
}
gone() { ! kill -0 "$1" 2>/dev/null; }
free_display() { # free_display FIRST LAST: a display number nobody uses
    for n in $(seq "$1" "$2"); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
    echo "$n"
}
# e2e_start_display [WxH]; E2E_XVFB_ARGS adds options, e.g. "-dpi 192".
e2e_start_display() {
    local n i ok=0
    n=$(free_display 90 140)
    # shellcheck disable=SC2086
    Xvfb ":$n" -screen 0 "${1:-1280x800}x24" ${E2E_XVFB_ARGS:-} -noreset -nolisten tcp >"$E2E_TMP/xvfb$n.log" 2>&1 &
    E2E_PIDS+=($!) && export DISPLAY=":$n"
    wait_for 10 xdpyinfo || fail "Xvfb did not start"
    openbox >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    # A window mapped before openbox is ready may stay unmapped: wait until it manages a probe.
    for i in 1 2 3 4 5; do
        xmessage -title kivo-wm-probe probe >/dev/null 2>&1 &
        wait_for 2 wm_manages_probe && ok=1
        kill $! && wait $! 2>/dev/null || true
        [ $ok = 0 ] || return 0
    done
    fail "openbox manages no window"
}
wm_manages_probe() { xprop -id "$(xdotool search --name '^kivo-wm-probe$' | head -n 1)" WM_STATE | grep -q Normal; }
# Pictures: the root's (what a capture freezes), a pattern unlike its neighbours, noise.
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
# pixels_are COLOUR X Y [X Y...]: the last shot has COLOUR (ROOT: the root's own) there.
pixels_are() {
    local colour=$1 want
    shift
    while [ $# -gt 1 ]; do
        [ "$colour" != ROOT ] && want=$colour || want=$(e2e_pixel "$E2E_TMP/root.png" "$1" "$2")
        [ "$(e2e_pixel "$E2E_TMP/shot.png" "$1" "$2")" = "$want" ] && shift 2 || return 1
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
    KIVO_PID=$! && E2E_PIDS+=($KIVO_PID)
}
capture_window() { xdotool search --onlyvisible --name '^Kivo独立截图截屏软件$' | head -n 1; }
capture_shown() { [ -n "$(capture_window)" ]; }
capture_gone() { [ -z "$(capture_window)" ]; }
e2e_wait_capture() { wait_for 20 capture_shown || fail "no capture window appeared"; }
new_capture() { "$KIVO_BIN" gui "$@" || fail "kivo gui $* failed"; e2e_wait_capture; }
# window_active PID TITLE: a window of PID titled TITLE (a regex) has the focus, given if need be.
window_active() {
    local w
    w=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" | head -n 1)
    [ -n "$w" ] && { [ "$(xdotool getactivewindow)" = "$w" ] || xdotool windowactivate "$w"; } && [ "$(xdotool getactivewindow)" = "$w" ]
}
# e2e_drag X1 Y1 X2 Y2 [BUTTON]: a real drag with the X server's pointer.
e2e_drag() {
    local b=${5:-1} i
    xdotool mousemove "$1" "$2" mousedown "$b"
    for i in 1 2 3 4 5; do xdotool mousemove $(($1 + ($3 - $1) * i / 5)) $(($2 + ($4 - $2) * i / 5)); done
    xdotool mouseup "$b"
}

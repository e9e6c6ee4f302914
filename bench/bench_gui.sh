#!/usr/bin/env bash
# `kivo gui` to the frozen picture shown, at 1920x1080 on a realistic desktop, to a host
# already running: on a headless Wayland session beside the desktop portal's screenshot
# alone, and under Xvfb beside the X grab alone. Usage: bench/bench_gui.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
bin=$build/src/kivo
picture=$(realpath "$here/../../shared/bench-images/desktop-1920x1080.png" 2>/dev/null || true)
session=$here/../scripts/wayland-session.sh
tmp=$(mktemp -d)
chmod 755 "$tmp"
pids=()
trap '"$session" stop "$tmp/s" >/dev/null 2>&1 || true; kill "${pids[@]}" 2>/dev/null || true; rm -rf "$tmp"' EXIT
[ -f "$picture" ] || { convert -size 1920x1080 plasma:steelblue-white "$tmp/desktop.png" && picture=$tmp/desktop.png; }
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
until_true() { local i; for i in $(seq 400); do "$@" >/dev/null 2>&1 && return 0; sleep 0.025; done; return 1; }

# gui_runs LOG CLOSE BESIDE RUN...: RUNS times run RUN... (`kivo gui`) and take the time
# from just before it to the host's painted frozen picture (its "at" in LOG); CLOSE X ends
# the capture with a right click at (X, 540), never twice at one place (that would be a
# double-click); BESIDE runs before each, so that both meet the same load of the machine.
# Prints the median milliseconds and the median grab milliseconds.
gui_runs() {
    local log=$1 close=$2 beside=$3; shift 3
    local i t0 n shown="" grab=""
    for i in $(seq "$runs"); do
        $beside
        n=$(grep -c kivo-timing "$log" || true)
        t0=$(date +%s.%N)
        "$@" gui
        until_true eval '[ "$(grep -c kivo-timing "$log")" -gt '"$n"' ]' || { echo "no capture" >&2; exit 1; }
        line=$(grep kivo-timing "$log" | tail -n 1)
        shown+="$(awk -v t0="$t0" '{printf "%.1f\n", ($(NF-1) - t0) * 1000}' <<<"$line")"$'\n'
        grab+="$(sed 's/.*grab \([0-9.]*\) ms.*/\1/' <<<"$line")"$'\n'
        $close $((100 + 40 * i))
    done
    echo "$(grep . <<<"$shown" | median) $(grep . <<<"$grab" | median)"
}

# Wayland: sway, the portal with its wlr backend (grim writes a PNG, the portal hands it over).
chmod 644 "$picture" 2>/dev/null || true
cp "$picture" "$tmp/desktop.png" && chmod 644 "$tmp/desktop.png"
KIVO_WL_HIDE_CURSOR=1 "$session" start "$tmp/s" "1920x1080:$tmp/desktop.png" >/dev/null
(
    . "$tmp/s/env"
    unset DISPLAY
    run() { "$session" run "$tmp/s" "$@"; }
    portal_call() { run "$build/bench/portal_call" 1 | sed -n 's/portal call \([0-9.]*\) ms, with reading .* \([0-9.]*\) ms .*/\1 \2/p' >>"$tmp/portal"; }
    run env KIVO_BENCH_TIMING=1 "$bin" >"$tmp/wl.log" 2>&1 &
    until_true grep -q kivo-timing "$tmp/wl.log"
    up() { swaymsg -t get_tree | grep -q '"name": "Kivo独立截图截屏软件"'; }
    close_wl() { "$here/../scripts/wl_vpointer.py" move "$1" 540 click right; until_true eval '! up'; }
    close_wl 60
    read -r shown grab <<<"$(gui_runs "$tmp/wl.log" close_wl portal_call run "$bin")"
    run "$bin" quit
    echo "Wayland 1920x1080: the portal's screenshot alone $(cut -d' ' -f1 "$tmp/portal" | median) ms, with reading its picture $(cut -d' ' -f2 "$tmp/portal" | median) ms"
    echo "Wayland 1920x1080: kivo gui to the frozen picture shown $shown ms (its grab $grab ms), medians of $runs"
)
"$session" stop "$tmp/s" >/dev/null

# X11: Xvfb and openbox; the X shared-memory grab.
n=$((150 + RANDOM % 50))
Xvfb ":$n" -screen 0 1920x1080x24 -noreset -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$n" XDG_RUNTIME_DIR="$tmp/xrun" XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"
until_true xdpyinfo
openbox >/dev/null 2>&1 &
pids+=($!)
until_true bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window'
display -window root "$picture" >/dev/null 2>&1 || true
KIVO_BENCH_TIMING=1 "$bin" >"$tmp/x.log" 2>&1 &
pids+=($!)
until_true grep -q kivo-timing "$tmp/x.log"
up_x() { [ -n "$(xdotool search --onlyvisible --name '^Kivo独立截图截屏软件$')" ]; }
close_x() { xdotool mousemove "$1" 540 click 3; until_true eval '! up_x'; }
close_x 60
read -r shown grab <<<"$(gui_runs "$tmp/x.log" close_x true "$bin")"
"$bin" quit
echo "X11 1920x1080: kivo gui to the frozen picture shown $shown ms (its grab $grab ms), medians of $runs"

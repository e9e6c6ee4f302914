#!/usr/bin/env bash
# CPU time of the real program per mouse move while a selection is dragged out (rubber
# band) and while a finished selection is dragged as a whole, at 1920x1080 and 3840x2160.
# Real X events from xdotool under a private Xvfb; the figure is the kivo process's own
# utime+stime over 1000 moves, divided by 1000.
# Usage: bench/bench_selection.sh [BUILD_DIR]   (BENCH_PACE: seconds between moves,
# BENCH_MOVES: moves per figure, BENCH_SIZES: screen sizes)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
export KIVO_BIN=${KIVO_BIN:-$build/src/kivo}
[ -x "$KIVO_BIN" ] || { echo "no kivo binary at $KIVO_BIN" >&2; exit 1; }
. "$here/../tests/e2e/lib.sh"

MOVES=${BENCH_MOVES:-1000}
PACE=${BENCH_PACE:-0.004}
TICK=$(getconf CLK_TCK)

# utime+stime of a process in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Wait until the process has used no CPU for 0.3 s (it has handled every queued event).
settle() {
    local a b
    b=$(cpu_ticks "$1")
    while :; do
        sleep 0.3
        a=$b
        b=$(cpu_ticks "$1")
        [ "$a" = "$b" ] && break
    done
}

# A triangle wave of 1000 points from (x0, y0) out to (x0 + 2*400, y0 + 400) and back.
moves_from() {
    local x0=$1 y0=$2 i t d
    for ((i = 1; i <= MOVES; i++)); do
        t=$((i % 800))
        d=$((t < 400 ? t : 800 - t))
        printf 'mousemove %d %d sleep %s ' $((x0 + 2 * d)) $((y0 + d)) "$PACE"
    done
}

# measure LABEL X0 Y0: press at (X0, Y0), then time 1000 moves with the button held.
measure() {
    local label=$1 x0=$2 y0=$3 before after
    xdotool mousemove "$x0" "$y0" mousedown 1
    settle "$KIVO_PID"
    before=$(cpu_ticks "$KIVO_PID")
    # shellcheck disable=SC2046
    xdotool $(moves_from "$x0" "$y0")
    settle "$KIVO_PID"
    after=$(cpu_ticks "$KIVO_PID")
    xdotool mouseup 1
    settle "$KIVO_PID"
    awk -v l="$label" -v s="$SIZE" -v t=$((after - before)) -v hz="$TICK" -v n=$MOVES \
        'BEGIN { printf "%-22s %-10s %6.3f ms per move\n", l, s, 1000 * t / hz / n }'
}

stop_display() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    E2E_PIDS=()
}

for SIZE in ${BENCH_SIZES:-1920x1080 3840x2160}; do
    w=${SIZE%x*} h=${SIZE#*x}
    e2e_start_display "$SIZE"
    # A picture whose colours change under the pointer, so the colour read-out changes.
    convert -size "${w}x${h}" gradient:'#ff2000-#0020ff' \( -size "${h}x${w}" gradient:'#000000-#00ff00' -rotate 90 \) \
        -compose plus -composite "$E2E_TMP/root.png"
    e2e_set_root "$E2E_TMP/root.png"
    e2e_start_kivo
    e2e_wait_capture
    settle "$KIVO_PID"
    # A rubber band from (100, 100); it ends as the selection (100, 100)-(500, 300), which
    # is then dragged as a whole from a press inside it.
    measure "rubber band" 100 100
    measure "whole-selection move" 300 200
    stop_display
done

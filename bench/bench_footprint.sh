#!/usr/bin/env bash
# Memory of the tray host and CPU per pointer move, under Xvfb + openbox + trayer with a
# realistic desktop as the root picture, at 1920x1080 and 3840x2160, beside a bare Qt tray
# program (the floor) and, where it is installed, Flameshot (its daemon and any capture
# process it starts, as a black box) driven through the same steps in the same run.
# Prints a table; asserts nothing.
# Usage: bench/bench_footprint.sh [BUILD_DIR]
#   BENCH_CYCLES  capture cycles (open, drag, copy, closed) per size, default 20
#   BENCH_MOVES   pointer moves per CPU figure, default 1000
#   BENCH_SIZES   screen sizes, default "1920x1080 3840x2160"
#   BENCH_PEER    the peer to compare with, default flameshot; "none" for none
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build}")
export KIVO_BIN=${KIVO_BIN:-$build/src/kivo}
BARE_BIN=$build/bench/bare_tray
IMAGES=${KIVO_BENCH_IMAGES:-$(realpath "$here/../../shared/bench-images" 2>/dev/null || true)}
CYCLES=${BENCH_CYCLES:-20}
MOVES=${BENCH_MOVES:-1000}
SIZES=${BENCH_SIZES:-1920x1080 3840x2160}
PEER=${BENCH_PEER:-flameshot}
PEER_BIN=$(command -v "$PEER" 2>/dev/null || true)
[ -x "$KIVO_BIN" ] || { echo "bench_footprint: no kivo binary at $KIVO_BIN" >&2; exit 1; }
[ -x "$BARE_BIN" ] || { echo "bench_footprint: no bare_tray at $BARE_BIN" >&2; exit 1; }
. "$here/../tests/e2e/lib.sh"
TICK=$(getconf CLK_TCK)
ROWS="$E2E_TMP/rows"
: >"$ROWS"

# ---- /proc readers (kB, clock ticks) ----
status_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }
anon_kb() { awk '$1 == "Anonymous:" { print $2 }' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# Sums over a list of pids.
sum_of() {
    local fn=$1 total=0 pid v
    shift
    for pid in "$@"; do
        [ -d "/proc/$pid" ] || continue
        v=$("$fn" "$pid")
        total=$((total + ${v:-0}))
    done
    echo "$total"
}
rss_of() { status_kb "$1" VmRSS; }
hwm_of() { status_kb "$1" VmHWM; }
# Forget a process's peak resident size, so that VmHWM is the peak from now on.
reset_peak() { local pid; for pid in "$@"; do echo 5 >"/proc/$pid/clear_refs" 2>/dev/null || true; done; }

# Wait until the processes have used no CPU for 0.4 s (every queued event handled).
settle() {
    local a b
    b=$(sum_of cpu_ticks "$@")
    while :; do
        sleep 0.4
        a=$b
        b=$(sum_of cpu_ticks "$@")
        [ "$a" = "$b" ] && break
    done
}

mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
row() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" >>"$ROWS"; }

# A triangle wave of MOVES points from (x0, y0) out to (x0 + 800, y0 + 400) and back; after
# 1000 moves the pointer rests at (x0 + 400, y0 + 200). A move every 4 ms (xdotool's own time
# on top), about as often as a 250 Hz mouse reports, several per frame of a 60 Hz screen; a
# program that paints once per frame is paid per frame, and this figure shares it out.
moves_from() {
    local x0=$1 y0=$2 i t d
    for ((i = 1; i <= MOVES; i++)); do
        t=$((i % 800))
        d=$((t < 400 ? t : 800 - t))
        printf 'mousemove %d %d sleep 0.004 ' $((x0 + 2 * d)) $((y0 + d))
    done
}

# cpu_per_move WHO LABEL X0 Y0 PIDS...: press at (X0, Y0), MOVES moves with the button held,
# release; rows of the program's (PIDS) and the X server's CPU per move.
cpu_per_move() {
    local who=$1 label=$2 x0=$3 y0=$4 a0 a1 x0t x1t
    shift 4
    xdotool mousemove "$x0" "$y0" mousedown 1
    settle "$@" "$XVFB_PID"
    a0=$(sum_of cpu_ticks "$@")
    x0t=$(cpu_ticks "$XVFB_PID")
    # shellcheck disable=SC2046
    xdotool $(moves_from "$x0" "$y0")
    settle "$@" "$XVFB_PID"
    a1=$(sum_of cpu_ticks "$@")
    x1t=$(cpu_ticks "$XVFB_PID")
    xdotool mouseup 1
    settle "$@"
    row "$SIZE" "$who" "CPU per move, $label (ms)" \
        "$(awk -v t=$((a1 - a0)) -v hz="$TICK" -v n="$MOVES" 'BEGIN { printf "%.3f", 1000 * t / hz / n }')"
    row "$SIZE" "$who" "X server CPU per move, $label (ms)" \
        "$(awk -v t=$((x1t - x0t)) -v hz="$TICK" -v n="$MOVES" 'BEGIN { printf "%.3f", 1000 * t / hz / n }')"
}

# ---- Kivo ----
kivo_up() { capture_shown; }
kivo_down() { ! kivo_up; }
# The selection of a copy cycle: (100, 100) to at most (3000, 2000), 2900x1900 at 3840x2160.
sel_x2() { local v=$((W - 100)); if [ "$v" -gt 3000 ]; then v=3000; fi; echo "$v"; }
sel_y2() { local v=$((H - 100)); if [ "$v" -gt 2000 ]; then v=2000; fi; echo "$v"; }

kivo_cycle() {
    local x2 y2
    x2=$(sel_x2) y2=$(sel_y2)
    "$KIVO_BIN" gui
    wait_for 30 kivo_up || fail "kivo gui opened no capture"
    settle "$KIVO_PID"
    e2e_drag 100 100 "$x2" "$y2"
    settle "$KIVO_PID"
    xdotool mousemove $(((100 + x2) / 2)) $(((100 + y2) / 2))
    settle "$KIVO_PID"
    xdotool click --repeat 2 --delay 40 1
    wait_for 30 kivo_down || fail "the capture did not end on the copying double-click"
}

measure_kivo() {
    local i peak first=0 worst=0 png
    e2e_start_kivo
    wait_for 30 kivo_up || fail "kivo opened no capture at start"
    # The start-up capture, abandoned with a right click: the host is then idle.
    settle "$KIVO_PID"
    xdotool mousemove 300 400 click 3
    wait_for 30 kivo_down || fail "the start-up capture did not close"
    settle "$KIVO_PID"
    sleep 1
    row "$SIZE" kivo "idle RSS, start-up capture abandoned (MB)" "$(mb "$(rss_of "$KIVO_PID")")"
    row "$SIZE" kivo "idle Anonymous, start-up capture abandoned (MB)" "$(mb "$(anon_kb "$KIVO_PID")")"
    for ((i = 1; i <= CYCLES; i++)); do
        reset_peak "$KIVO_PID"
        kivo_cycle
        settle "$KIVO_PID"
        peak=$(hwm_of "$KIVO_PID")
        if [ "$i" = 1 ]; then first=$peak; fi
        if [ "$peak" -gt "$worst" ]; then worst=$peak; fi
    done
    sleep 1
    row "$SIZE" kivo "idle RSS after $CYCLES copies (MB)" "$(mb "$(rss_of "$KIVO_PID")")"
    row "$SIZE" kivo "idle Anonymous after $CYCLES copies (MB)" "$(mb "$(anon_kb "$KIVO_PID")")"
    png=$(xclip -selection clipboard -t image/png -o 2>/dev/null | wc -c)
    row "$SIZE" kivo "PNG on the clipboard (MB)" "$(mb $((png / 1024)))"
    row "$SIZE" kivo "peak RSS in a capture, first (MB)" "$(mb "$first")"
    row "$SIZE" kivo "peak RSS in a capture, worst (MB)" "$(mb "$worst")"

    # CPU per move: a rubber band from (100, 100) ends as the selection (100, 100)-(500, 300);
    # a press inside moves it whole to (500, 300)-(900, 500); its toolbar then stands under
    # its bottom-right corner (left 635, top 504) with the rectangle tool the first button.
    "$KIVO_BIN" gui
    wait_for 30 kivo_up || fail "kivo gui opened no capture"
    settle "$KIVO_PID"
    cpu_per_move kivo "rubber band" 100 100 "$KIVO_PID"
    cpu_per_move kivo "whole-selection move" 300 200 "$KIVO_PID"
    xdotool mousemove $((900 - 265 + 16)) $((504 + 13)) click 1
    cpu_per_move kivo "rectangle preview" 550 320 "$KIVO_PID"
    # A right click drops the tool, one elsewhere (no double-click) ends the capture.
    xdotool mousemove 20 700 click 3
    sleep 0.6
    xdotool mousemove 60 760 click 3
    wait_for 30 kivo_down || true
    "$KIVO_BIN" quit || true
    wait "$KIVO_PID" 2>/dev/null || true
}

# ---- The peer (black box): its daemon, `gui` requests, Ctrl+C copies ----
peer_pids() {
    local pid
    for pid in $PEER_PID $(pgrep -P "$PEER_PID" 2>/dev/null || true) ${PEER_GUI_PID:-}; do
        [ -d "/proc/$pid" ] && echo "$pid"
    done
    true
}
# The capture window: shown by the `gui` process the run started.
peer_window() { xdotool search --onlyvisible --pid "${PEER_GUI_PID:-0}" --name '' 2>/dev/null | head -n 1; }
peer_up() { [ -n "$(peer_window)" ]; }
# Its `gui` process exits after a copy, but a window of its may still be listed under its pid.
peer_down() { gone "${PEER_GUI_PID:-0}" || ! peer_up; }
peer_gui() {
    "$PEER_BIN" gui >/dev/null 2>&1 &
    PEER_GUI_PID=$!
    wait_for 30 peer_up || fail "$PEER gui opened no capture"
    # It drops presses that come early.
    settle $(peer_pids)
    sleep 1
}
# The peak of the peer's processes over a copy: its `gui` process may exit with the copy and
# take its VmHWM with it, so each pid's is kept in a file, every 10 ms while it lives.
peak_watch_start() {
    local pid
    PEAK_WATCHERS=()
    for pid in "$@"; do
        (while v=$(hwm_of "$pid") && [ -d "/proc/$pid" ]; do
            echo "$v" >"$E2E_TMP/hwm-new.$pid" && mv "$E2E_TMP/hwm-new.$pid" "$E2E_TMP/hwm.$pid"
            sleep 0.01
        done) &
        PEAK_WATCHERS+=($!)
    done
}
peak_watch_end() {
    local total=0 f v
    kill "${PEAK_WATCHERS[@]}" 2>/dev/null || true
    wait "${PEAK_WATCHERS[@]}" 2>/dev/null || true
    for f in "$E2E_TMP"/hwm.*; do
        [ -f "$f" ] && v=$(cat "$f") && total=$((total + ${v:-0}))
    done
    rm -f "$E2E_TMP"/hwm.* "$E2E_TMP"/hwm-new.*
    echo "$total"
}
peer_gui_done() { wait "$PEER_GUI_PID" 2>/dev/null || true; PEER_GUI_PID=""; }

measure_peer() {
    local i peak first=0 worst=0 x2 y2
    PEER_GUI_PID=""
    mkdir -p "$HOME/.config/flameshot"
    printf '[General]\nshowHelp=false\nshowStartupLaunchMessage=false\nshowDesktopNotification=false\n' \
        >"$HOME/.config/flameshot/flameshot.ini"
    "$PEER_BIN" >/dev/null 2>&1 &
    PEER_PID=$!
    E2E_PIDS+=("$PEER_PID")
    sleep 2
    settle $(peer_pids)
    row "$SIZE" "$PEER" "idle RSS, before any capture (MB)" "$(mb "$(sum_of rss_of $(peer_pids))")"
    row "$SIZE" "$PEER" "idle Anonymous, before any capture (MB)" "$(mb "$(sum_of anon_kb $(peer_pids))")"
    x2=$(sel_x2) y2=$(sel_y2)
    for ((i = 1; i <= CYCLES; i++)); do
        reset_peak $(peer_pids)
        peer_gui
        peak_watch_start $(peer_pids)
        e2e_drag 100 100 "$x2" "$y2"
        xdotool key ctrl+c
        if ! wait_for 20 peer_down; then
            echo "bench_footprint: $PEER did not close on ctrl+c; its figures are left out" >&2
            peak_watch_end >/dev/null
            kill "$PEER_GUI_PID" "$PEER_PID" 2>/dev/null || true
            peer_gui_done
            return 0
        fi
        peak=$(peak_watch_end)
        peer_gui_done
        settle $(peer_pids)
        if [ "$i" = 1 ]; then first=$peak; fi
        if [ "$peak" -gt "$worst" ]; then worst=$peak; fi
    done
    sleep 1
    row "$SIZE" "$PEER" "idle RSS after $CYCLES copies (MB)" "$(mb "$(sum_of rss_of $(peer_pids))")"
    row "$SIZE" "$PEER" "idle Anonymous after $CYCLES copies (MB)" "$(mb "$(sum_of anon_kb $(peer_pids))")"
    row "$SIZE" "$PEER" "peak RSS in a capture, first (MB)" "$(mb "$first")"
    row "$SIZE" "$PEER" "peak RSS in a capture, worst (MB)" "$(mb "$worst")"

    peer_gui
    settle $(peer_pids)
    cpu_per_move "$PEER" "rubber band" 100 100 $(peer_pids)
    cpu_per_move "$PEER" "whole-selection move" 300 200 $(peer_pids)
    xdotool key r
    cpu_per_move "$PEER" "rectangle preview" 550 320 $(peer_pids)
    xdotool key Escape
    # Should it stay open, end it: the figures are taken.
    wait_for 10 peer_down || kill "$PEER_GUI_PID" 2>/dev/null || true
    peer_gui_done
    kill "$PEER_PID" 2>/dev/null || true
    wait "$PEER_PID" 2>/dev/null || true
}

measure_bare() {
    local pid
    "$BARE_BIN" >/dev/null 2>&1 &
    pid=$!
    E2E_PIDS+=("$pid")
    sleep 1
    settle "$pid"
    sleep 1
    row "$SIZE" bare "idle RSS (MB)" "$(mb "$(rss_of "$pid")")"
    row "$SIZE" bare "idle Anonymous (MB)" "$(mb "$(anon_kb "$pid")")"
    # The same drag over the bare desktop: what the X server spends on a pointer move with
    # no window to redraw, the floor of its figures below.
    cpu_per_move bare "pointer alone" 100 100 "$pid"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

stop_display() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    E2E_PIDS=()
}

for SIZE in $SIZES; do
    W=${SIZE%x*} H=${SIZE#*x}
    e2e_start_display "$SIZE"
    XVFB_PID=${E2E_PIDS[0]}
    trayer --SetDockType true --SetPartialStrut true --edge top --align right >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    if [ -f "$IMAGES/desktop-$SIZE.png" ]; then
        e2e_set_root "$IMAGES/desktop-$SIZE.png"
    else
        echo "bench_footprint: no picture $IMAGES/desktop-$SIZE.png; a plain root" >&2
    fi
    # A session bus, as on any desktop (the peer needs one; both programs get the same).
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_TMP/bus" 2>/dev/null &
    E2E_PIDS+=($!)
    wait_for 10 test -s "$E2E_TMP/bus" || fail "no D-Bus session"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/bus")
    export DBUS_SESSION_BUS_ADDRESS
    measure_bare
    measure_kivo
    if [ -n "$PEER_BIN" ] && [ "$PEER" != none ]; then measure_peer; fi
    stop_display
done

# The table: one line per figure and size, Kivo beside the floor and the peer.
awk -F'\t' -v peer="$PEER" '
    { key = $1 SUBSEP $3; v[$1, $2, $3] = $4 }
    $2 == "kivo" && !seen[$1, $3]++ { order[++n] = $1 SUBSEP $3 }
    $2 == "bare" && $3 ~ /RSS/ { floor[$1] = $4 }
    $2 == "bare" && $3 ~ /Anonymous/ { floorAnon[$1] = $4 }
    $2 == "bare" && $3 ~ /^X server CPU/ { floorX[$1] = $4 }
    END {
        printf "%-10s %-48s %9s %9s %9s %7s\n", "size", "figure", "kivo", "floor", peer, "ratio"
        for (i = 1; i <= n; i++) {
            split(order[i], k, SUBSEP)
            kv = v[k[1], "kivo", k[2]]
            pf = k[2]
            sub(/, start-up capture abandoned/, ", before any capture", pf)
            pv = v[k[1], peer, pf]
            fl = (k[2] ~ /^idle RSS/) ? floor[k[1]] : (k[2] ~ /^idle Anon/) ? floorAnon[k[1]] : "-"
            if (k[2] ~ /^X server CPU/) fl = floorX[k[1]]
            ratio = (pv != "" && pv + 0 > 0) ? sprintf("%.2f", kv / pv) : "-"
            printf "%-10s %-48s %9s %9s %9s %7s\n", k[1], k[2], kv, fl, (pv == "" ? "-" : pv), ratio
        }
    }' "$ROWS"

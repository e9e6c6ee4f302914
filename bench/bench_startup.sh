#!/usr/bin/env bash
# Start-up of a capture under Xvfb: time from the capture request to the frozen screen
# painted, beside the raw screen grab of the same run, and the capture process's peak
# resident memory. Usage: bench/bench_startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
bin=$(realpath "$build/src/kivo")
images=${KIVO_BENCH_IMAGES:-$(realpath "$(dirname "$0")/../../shared/bench-images" 2>/dev/null || true)}
tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$tmp"' EXIT
export XDG_RUNTIME_DIR="$tmp/run" XDG_SESSION_TYPE=x11 && mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

for size in 1920x1080 3840x2160; do
    n=$((150 + RANDOM % 50))
    Xvfb ":$n" -screen 0 "${size}x24" -noreset -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$n"
    until xdpyinfo >/dev/null 2>&1; do sleep 0.05; done
    openbox >/dev/null 2>&1 &
    wm=$!
    [ -f "$images/desktop-$size.png" ] || { echo "bench_startup: no picture $images/desktop-$size.png" >&2; exit 1; }
    display -window root "$images/desktop-$size.png" >/dev/null 2>&1 || true
    for i in $(seq "$runs"); do
        KIVO_BENCH_TIMING=1 "$bin" >"$tmp/out" 2>&1 &
        pid=$!
        until grep -q kivo-timing "$tmp/out"; do sleep 0.02; done
        hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
        echo "$size run $i: $(grep kivo-timing "$tmp/out" | sed 's/kivo-timing: //'), peak RSS $((hwm / 1024)) MB"
        kill "$pid"; wait "$pid" 2>/dev/null || true
    done
    kill "$wm" "$xvfb"; wait "$wm" "$xvfb" 2>/dev/null || true
done

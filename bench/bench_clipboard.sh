#!/usr/bin/env bash
# Time from a real double-click in the selection to another program having read the whole
# PNG from the clipboard (xclip -selection clipboard -t image/png -o), under Xvfb + openbox,
# for a 1000x800 area and for the whole screen, at 1920x1080 and 3840x2160.
# Usage: bench/bench_clipboard.sh [BUILD_DIR]   (prints figures; runs 3 times each)
BUILD=${1:-build}
export KIVO_BIN=${KIVO_BIN:-$(realpath "$BUILD/src/kivo")}
IMAGES=${KIVO_BENCH_IMAGES:-$(realpath "$(dirname "$0")/../../shared/bench-images" 2>/dev/null)}
RUNS=${KIVO_BENCH_RUNS:-3}
. "$(dirname "$0")/../tests/e2e/lib.sh"

png_complete() { [ "$(tail -c 8 "$1" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = "49454e44ae426082" ]; }

# one_copy W H X1 Y1 X2 Y2: one capture, selection dragged from (X1, Y1) to (X2, Y2); the
# time goes to RESULT.
one_copy() {
    local w=$1 h=$2
    e2e_start_kivo
    e2e_wait_capture
    shows_root() { import -window root "$E2E_TMP/shot.png" && e2e_same_pixels "$E2E_TMP/shot.png" "$E2E_TMP/root.png"; }
    wait_for 30 shows_root || fail "the capture never showed the frozen screen"
    e2e_drag "$3" "$4" "$5" "$6"
    xdotool mousemove $(( ($3 + $5) / 2 )) $(( ($4 + $6) / 2 ))
    rm -f "$E2E_TMP/clip.png"
    xdotool click --repeat 2 --delay 40 1
    local t0 t1
    t0=$(date +%s%N)
    until xclip -selection clipboard -t image/png -o >"$E2E_TMP/clip.png" 2>/dev/null && png_complete "$E2E_TMP/clip.png"; do
        [ $(( ($(date +%s%N) - t0) / 1000000 )) -lt 60000 ] || fail "no PNG on the clipboard after 60 s"
    done
    t1=$(date +%s%N)
    local size
    size=$(identify -format %wx%h "$E2E_TMP/clip.png")
    RESULT="$(( (t1 - t0) / 1000000 )) ms ($size, $(stat -c %s "$E2E_TMP/clip.png") bytes)"
    kill "$KIVO_PID"
    wait "$KIVO_PID" 2>/dev/null || true
}

for size in 1920x1080 3840x2160; do
    w=${size%x*}
    h=${size#*x}
    e2e_start_display "$size"
    cp "$IMAGES/desktop-$size.png" "$E2E_TMP/root.png" || { echo "bench_clipboard: no picture $IMAGES/desktop-$size.png" >&2; exit 1; }
    e2e_set_root "$E2E_TMP/root.png"
    for i in $(seq "$RUNS"); do
        one_copy "$w" "$h" 100 100 1100 900
        echo "$size, area 1000x800, run $i: $RESULT"
    done
    for i in $(seq "$RUNS"); do
        # The pointer cannot leave the screen: the whole screen less its last column and row.
        one_copy "$w" "$h" 0 0 $((w - 1)) $((h - 1))
        echo "$size, full screen, run $i: $RESULT"
    done
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    E2E_PIDS=()
done

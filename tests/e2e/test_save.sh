#!/usr/bin/env bash
# The save command with the real dialog, typed with xdotool: a name without an extension
# becomes a PNG, a typed jpg replaces an existing file without a question, and an extension
# no format has ends in the error message, writes nothing and keeps the clipboard.
. "$(dirname "$0")/lib.sh"

PROBE="${KIVO_BUILD_DIR:?}/tests/kivo_save_probe"
[ -x "$PROBE" ] || fail "no save probe at $PROBE"
e2e_start_display 1280x800
e2e_pattern 1280x800 "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"
convert "$E2E_TMP/root.png" -crop 300x200+100+50 +repage "$E2E_TMP/crop.png"
OUT="$E2E_TMP/out"
mkdir -p "$OUT"

window_named() { xdotool search --all --onlyvisible --pid "$PROBE_PID" --name "^$1\$" | head -n 1; }
is_active() {
    local w
    w=$(window_named "$1")
    [ -n "$w" ] && { [ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ] || xdotool windowactivate "$w"; } &&
        [ "$(xdotool getactivewindow)" = "$w" ]
}

# save_as NAME: run the save command and type NAME into its dialog.
save_as() {
    "$PROBE" 100 50 300 200 >"$E2E_TMP/probe.out" 2>"$E2E_TMP/probe.err" &
    PROBE_PID=$!
    E2E_PIDS+=($PROBE_PID)
    wait_for 20 is_active "保存为" || fail "no Save dialog for $1"
    xdotool type --delay 20 "$OUT/$1"
    xdotool key Return
}
probe_done() { ! kill -0 "$PROBE_PID" 2>/dev/null; }

# No extension: the dialog adds PNG.
save_as shot
wait_for 20 probe_done || fail "the save command did not finish"
[ -f "$OUT/shot.PNG" ] || fail "no shot.PNG written ($(ls "$OUT"))"
[ "$(identify -format %m "$OUT/shot.PNG")" = PNG ] || fail "shot.PNG is no PNG"
e2e_same_pixels "$OUT/shot.PNG" "$E2E_TMP/crop.png" || fail "shot.PNG is not the selected area"
grep -q "clipboard: empty" "$E2E_TMP/probe.out" || fail "the clipboard was not cleared after saving"

# An existing file is replaced without a question.
echo "old" >"$OUT/photo.jpg"
save_as photo.jpg
wait_for 20 probe_done || fail "the save command asked something about an existing file"
[ "$(identify -format %m "$OUT/photo.jpg")" = JPEG ] || fail "photo.jpg was not replaced by a JPEG"
[ "$(identify -format %Q "$OUT/photo.jpg")" = 80 ] || fail "photo.jpg is not of quality 80"

# No format for tif: the error message, no file, the clipboard keeps the area.
save_as bad.tif
wait_for 20 is_active "错误" || fail "no error message for bad.tif"
xdotool key Return
wait_for 20 probe_done || fail "the save command did not finish after its message"
[ ! -e "$OUT/bad.tif" ] || fail "bad.tif was written"
grep -q "clipboard: kept" "$E2E_TMP/probe.out" || fail "the clipboard lost the area after a failed save"
e2e_pass

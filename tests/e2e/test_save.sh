#!/usr/bin/env bash
# Saving from the real program through the toolbar's save button and the real dialog,
# typed with xdotool: a name without an extension becomes a PNG, a typed jpg replaces an
# existing file without a question, and an extension no format has ends in the error
# message, writes nothing and keeps the area on the clipboard; so does a full disk, which
# leaves the old file as it was. Qt's own texts on the dialog and on the message box are
# Chinese, in a locale that is not.
. "$(dirname "$0")/lib.sh"
export LC_ALL=C.UTF-8

e2e_start_display 1280x800
e2e_start_a11y
e2e_pattern 1280x800 "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"
convert "$E2E_TMP/root.png" -crop 300x200+100+50 +repage "$E2E_TMP/crop.png"
OUT="$E2E_TMP/out"
mkdir -p "$OUT"

e2e_start_kivo
HOST=$KIVO_PID

window_named() { xdotool search --all --onlyvisible --pid "$HOST" --name "^$1\$" | head -n 1; }
is_active() {
    local w
    w=$(window_named "$1")
    [ -n "$w" ] && { [ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ] || xdotool windowactivate "$w"; } &&
        [ "$(xdotool getactivewindow)" = "$w" ]
}
strip_shown() {
    import -window root "$E2E_TMP/strip.png" &&
        [ "$(e2e_pixel "$E2E_TMP/strip.png" 140 256)" = "222,238,255" ]
}

# save_as NAME: select (100, 50)-(400, 250), press the save button, type NAME in the dialog.
save_as() {
    e2e_wait_capture
    e2e_drag 100 50 400 250
    # The strip stands right-aligned 4 pixels under the selection: 135..400 x 254..280.
    wait_for 10 strip_shown || fail "no toolbar strip under the selection"
    # The save button: 2440 twips into the strip, 5 pixels down, 16 x 16.
    xdotool mousemove 306 267 click 1
    wait_for 20 is_active "保存为" || fail "no Save dialog for $1"
    wait_for 10 e2e_names_include 保存为 "push button:保存(S)" "push button:取消" \
        "label:文件名称(N)：" "label:文件类型：" || fail "Qt's texts on the Save dialog: $(cat "$E2E_TMP/names")"
    xdotool type --delay 20 "$OUT/$1"
    xdotool key Return
}
clipboard_png() { xclip -selection clipboard -t image/png -o >"$E2E_TMP/clip.png" 2>/dev/null && [ -s "$E2E_TMP/clip.png" ]; }
clipboard_empty() { ! clipboard_png; }

# No extension: the dialog adds PNG; after the save the clipboard is empty.
save_as shot
wait_for 20 test -s "$OUT/shot.PNG" || fail "no shot.PNG written ($(ls "$OUT"))"
wait_for 10 capture_gone || fail "the capture did not end after saving"
[ "$(identify -format %m "$OUT/shot.PNG")" = PNG ] || fail "shot.PNG is no PNG"
e2e_same_pixels "$OUT/shot.PNG" "$E2E_TMP/crop.png" || fail "shot.PNG is not the selected area"
wait_for 10 clipboard_empty || fail "the clipboard was not cleared after saving"

# An existing file is replaced without a question.
echo "old" >"$OUT/photo.jpg"
"$KIVO_BIN" gui
save_as photo.jpg
wait_for 20 bash -c "[ \"\$(identify -format %m '$OUT/photo.jpg' 2>/dev/null)\" = JPEG ]" ||
    fail "photo.jpg was not replaced by a JPEG"
[ "$(identify -format %Q "$OUT/photo.jpg")" = 80 ] || fail "photo.jpg is not of quality 80"
wait_for 10 capture_gone || fail "the capture did not end after replacing a file"

# No format for .xyz: the error message, no file, and the area stays on the clipboard.
"$KIVO_BIN" gui
save_as bad.xyz
wait_for 20 is_active "错误" || fail "no error message for bad.xyz"
wait_for 10 e2e_names_include 错误 "push button:确定" || fail "the message box's button: $(cat "$E2E_TMP/names")"
xdotool key Return
wait_for 10 capture_gone || fail "the capture did not end after the failed save"
[ ! -e "$OUT/bad.xyz" ] || fail "bad.xyz was written"
wait_for 10 clipboard_png || fail "the clipboard lost the area after a failed save"
e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png" || fail "the clipboard holds something else"

# A disk full but for a few KiB (a full disk to the last byte fails every writer at once
# and hides a partial write): error 61, the old file byte for byte, nothing left behind,
# the area kept on the clipboard. It takes a small tmpfs, which only root may mount.
FULL="$OUT/full"
mkdir -p "$FULL"
if mount -t tmpfs -o size=1m kivo-e2e-full "$FULL" 2>/dev/null; then
    trap 'umount "$FULL" 2>/dev/null || true; e2e_cleanup' EXIT
    echo "the user's old file" >"$FULL/old.png"
    cp "$FULL/old.png" "$E2E_TMP/old.png"
    dd if=/dev/zero of="$FULL/filler" bs=1k count=2048 2>/dev/null || true
    # Room for half of the PNG this area makes (shot.PNG above).
    truncate -s "-$(( $(stat -c %s "$OUT/shot.PNG") / 2 ))" "$FULL/filler"
    "$KIVO_BIN" gui
    save_as full/old.png
    wait_for 20 is_active "错误" || fail "no error message on a full disk"
    wait_for 10 e2e_names_include 错误 "push button:确定" || fail "no message box: $(cat "$E2E_TMP/names")"
    grep -q "错误号: 61" "$E2E_TMP/names" && grep -q "错误描述: 磁盘已满" "$E2E_TMP/names" ||
        fail "a full disk is not reported as such: $(cat "$E2E_TMP/names")"
    xdotool key Return
    wait_for 10 capture_gone || fail "the capture did not end after the failed save"
    cmp -s "$FULL/old.png" "$E2E_TMP/old.png" || fail "the full disk changed the old file"
    [ "$(ls -A "$FULL" | tr '\n' ' ')" = "filler old.png " ] || fail "left on the full disk: $(ls -A "$FULL")"
    wait_for 10 clipboard_png || fail "the clipboard lost the area after a full disk"
    e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png" || fail "the clipboard holds something else"
    umount "$FULL"
else
    echo "SKIP: the full-disk save (mounting a tmpfs needs root)"
fi
kill -0 "$HOST" || fail "the program ended"
e2e_pass

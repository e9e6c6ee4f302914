#!/usr/bin/env bash
# A capture's whole path with the real pointer, keyboard and clipboard: the frozen screen,
# the selection drawn, moved and resized, copied pixel-exact in every format offered;
# annotations in a chosen colour and size with undo/redo; clicks piling up during a copy;
# saving through the real dialog (Qt's Chinese texts, formats, a full disk keeping the old file).
. "$(dirname "$0")/lib.sh"
export LC_ALL=C.UTF-8

e2e_start_display 1280x800
e2e_start_a11y
e2e_pattern 1280x800 "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"
e2e_start_kivo
HOST=$KIVO_PID
e2e_wait_capture
wait_for 10 shows_root || fail "the capture window does not show the frozen screen exactly"
convert -size 1280x800 xc:'#203040' "$E2E_TMP/other.png"
e2e_set_root "$E2E_TMP/other.png"
shows_root || fail "the capture window did not stay frozen"
e2e_set_root "$E2E_TMP/root.png"

BLUE=0,122,236
# Selection (100, 50)-(400, 250): the outline covers columns 100..399 and rows 50..249, the
# handles 4 x 4 (handle 2 two thirds of a pixel left of the corner), and the toolbar strip
# stands right-aligned 4 pixels under it: (135, 254)-(400, 280).
frame_shown() {
    shot && pixels_are $BLUE 200 50 100 120 399 120 200 249 98 48 401 251 397 48 &&
        pixels_are ROOT 200 51 200 49 101 120 400 120 97 47 402 252 401 48 134 265 200 252 &&
        pixels_are 222,238,255 140 256
}
discarded() { shot && pixels_are ROOT 200 50 100 120; }
select_area() { e2e_drag 100 50 400 250 && wait_for 10 frame_shown || fail "the selection (100, 50)-(400, 250) is not drawn"; }
select_area
# A double-click outside the selection discards it without copying; a right click inside
# a new one discards that and keeps the capture.
xdotool mousemove 700 500 click --repeat 2 --delay 60 1
select_area
xdotool mousemove 300 200 click 3
wait_for 10 discarded && capture_shown || fail "a right click inside did not just discard the selection"
! xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/ || fail "a double-click outside copied"

# A press inside moves the selection to (200, 100)-(500, 300); its handle 6 then takes the
# corner to the pointer, (600, 400); a double-click inside copies that area.
select_area
e2e_drag 200 150 300 200
e2e_drag 499 299 600 400
xdotool mousemove 300 200 click --repeat 2 --delay 60 1
wait_for 10 capture_gone || fail "the double-click inside the selection did not end the capture"
e2e_copied_is 400x300+200+100
kill -0 "$HOST" || fail "the program ended after the copy"
# Every image format offered that can hold the picture pastes it (lossy ones within a
# tolerance on the means of 8 x 8 blocks); the grey, monochrome, icon and XPM ones cannot.
for t in $(xclip -selection clipboard -t TARGETS -o | grep '^image/'); do
    case $t in image/jpeg | image/jpg | image/webp) lossy=1 ;; image/png | image/bmp | image/ppm | image/tif*) lossy=0 ;; *) continue ;; esac
    xclip -selection clipboard -t "$t" -o >"$E2E_TMP/paste" &&
        convert "$E2E_TMP/paste" -alpha off "PNG24:$E2E_TMP/paste.png" || fail "$t does not read back"
    if [ $lossy = 1 ]; then
        convert "$E2E_TMP/paste.png" -scale 12.5% "$E2E_TMP/a.png" && convert "$E2E_TMP/crop.png" -scale 12.5% "$E2E_TMP/b.png"
        rmse=$(compare -metric RMSE "$E2E_TMP/a.png" "$E2E_TMP/b.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
        echo "$t: $rmse" && awk -v e="$rmse" 'BEGIN { exit !(e < 0.03) }' || fail "$t is off by $rmse"
    else e2e_same_pixels "$E2E_TMP/paste.png" "$E2E_TMP/crop.png" || fail "$t pastes another picture"; fi
done

# Annotations: selection (200, 150)-(900, 550), its strip's buttons (16 px, 5 down) at
# their twip places: rectangle 8, text 57, arrow 81, undo 113, redo 138, copy 218.
"$KIVO_BIN" gui
e2e_wait_capture
e2e_drag 200 150 900 550
bar_x=635 bar_y=554 panel_y=$((554 + 26 + 3))
button() { xdotool mousemove $((bar_x + $1 + ${2:-8})) $((bar_y + 13)) click 1; }
# The rectangle tool's panel: dark red, the first swatch; a rectangle and a level arrow.
button 8
xdotool mousemove $((bar_x + 74)) $((panel_y + 10)) click 1
e2e_drag 250 200 450 300
button 81
e2e_drag 300 450 600 450
# The text tool: its size list dropped down and its last size (20) picked, then "KIVO".
button 57
list_open() { shot && ! pixels_are ROOT $((bar_x + 50)) $((panel_y + 68)); }
xdotool mousemove $((bar_x + 50)) $((panel_y + 19)) click 1
wait_for 10 list_open || fail "the size list did not drop down"
xdotool key End Return
xdotool mousemove 500 220 click 1 type --delay 20 "KIVO"
xdotool mousemove 700 320 click 1
# Undo twice hides the text and the arrow; redo twice brings both back.
button 113 && button 113 14 # 6 px apart: no double-click
undone() { shot && pixels_are ROOT 450 450 && pixels_are 192,0,0 300 200; }
wait_for 10 undone || fail "undo did not take back the text and the arrow"
button 138 && button 138 14
button 218
wait_for 20 clipboard_png || fail "nothing was copied"
[ "$(identify -format %wx%h "$E2E_TMP/clip.png")" = 700x400 ] || fail "the copy is not 700x400"
# In the copy (origin at the selection's corner): the rectangle's corners and edges, the
# arrow's tail, shaft, tip and barbs in dark red; elsewhere the frozen screen.
for p in 50,50 250,150 150,50 50,100 100,300 250,300 400,300 390,295 390,305; do
    [ "$(e2e_pixel "$E2E_TMP/clip.png" "${p%,*}" "${p#*,}")" = 192,0,0 ] || fail "($p) of the copy is not dark red"
done
for p in 150,100 600,30 20,380; do
    [ "$(e2e_pixel "$E2E_TMP/clip.png" "${p%,*}" "${p#*,}")" = "$(e2e_pixel "$E2E_TMP/root.png" $((${p%,*} + 200)) $((${p#*,} + 150)))" ] ||
        fail "($p) of the copy is not the frozen screen"
done
# The text at size 20: dark red ink right of and below the box's corner (300, 70), taller
# than a line at the size before.
convert "$E2E_TMP/clip.png" -crop 150x50+300+70 +repage -fill black +opaque '#c00000' -trim "$E2E_TMP/ink.png"
[ "$(identify -format %h "$E2E_TMP/ink.png")" -ge 16 ] || fail "the text is $(identify -format %wx%h "$E2E_TMP/ink.png") of ink"

# Clicks that pile up while the host is stopped (SIGSTOP) end the capture with the area
# copied, and the host lives on.
convert "$E2E_TMP/root.png" -crop 300x200+100+50 +repage "$E2E_TMP/crop.png"
clip_is_crop() { clipboard_png && e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png"; }
for clicks in "mousedown 1 mouseup 1 mousedown 1 mouseup 1 mousedown 3 mouseup 3 mousedown 3 mouseup 3" \
    "mousedown 1 sleep 0.001 mouseup 1 sleep 0.001 mousedown 1 sleep 0.001 mouseup 1 sleep 0.001 mousedown 1 sleep 0.001 mouseup 1"; do
    xclip -selection clipboard -i /dev/null
    "$KIVO_BIN" gui
    e2e_wait_capture
    select_area
    kill -STOP "$HOST"
    # shellcheck disable=SC2086
    xdotool mousemove 200 150 $clicks
    sleep 0.3 # the clicks queue up at the stopped host
    kill -CONT "$HOST"
    wait_for 10 capture_gone && wait_for 10 clip_is_crop || fail "the clicks ($clicks) did not copy the area"
    kill -0 "$HOST" || fail "the clicks ($clicks) crashed the program"
done
# A right click closes a capture; a new one opened at once takes a right click at the same
# place, within the double-click interval, as a press.
"$KIVO_BIN" gui
e2e_wait_capture
xdotool mousemove 640 400 mousedown 3 mouseup 3
wait_for 10 capture_gone || fail "a right click did not close the capture"
"$KIVO_BIN" gui
until capture_shown; do :; done
xdotool mousedown 3 mouseup 3
wait_for 10 capture_gone || fail "the new capture swallowed its first right click"

# save_as NAME: select, press the save button (163 on the strip), type NAME in the dialog.
window_active() {
    local w
    w=$(xdotool search --all --onlyvisible --pid "$HOST" --name "^$1\$" | head -n 1)
    [ -n "$w" ] && { [ "$(xdotool getactivewindow)" = "$w" ] || xdotool windowactivate "$w"; } &&
        [ "$(xdotool getactivewindow)" = "$w" ]
}
save_as() {
    "$KIVO_BIN" gui
    e2e_wait_capture
    select_area
    xdotool mousemove 306 267 click 1
    wait_for 20 window_active 保存为 || fail "no Save dialog for $1"
    wait_for 10 e2e_names_include 保存为 "push button:保存(S)" "push button:取消" "label:文件名称(N)：" ||
        fail "Qt's texts on the Save dialog: $(cat "$E2E_TMP/names")"
    xdotool type --delay 20 "$E2E_TMP/$1"
    xdotool key Return
}
# failed_with TEXT: the error box says TEXT; after OK the area is still on the clipboard.
failed_with() {
    wait_for 20 window_active 错误 || fail "no error message"
    wait_for 10 e2e_names_include 错误 "push button:确定" && grep -q "$1" "$E2E_TMP/names" ||
        fail "the error box does not say $1: $(cat "$E2E_TMP/names")"
    xdotool key Return
    wait_for 10 capture_gone && wait_for 10 clip_is_crop || fail "the failed save lost the area"
}
# No extension: the dialog adds PNG, and the clipboard is emptied.
save_as shot
wait_for 20 test -s "$E2E_TMP/shot.PNG" && wait_for 10 capture_gone || fail "no shot.PNG written"
e2e_same_pixels "$E2E_TMP/shot.PNG" "$E2E_TMP/crop.png" || fail "shot.PNG is not the selected area"
[ "$(identify -format %m "$E2E_TMP/shot.PNG")" = PNG ] && ! clipboard_png || fail "no PNG, or the clipboard kept it"
# An existing file is replaced without a question, here by a JPEG of quality 80.
echo old >"$E2E_TMP/photo.jpg"
save_as photo.jpg
jpeg_written() { [ "$(identify -format %m%Q "$E2E_TMP/photo.jpg")" = JPEG80 ]; }
wait_for 20 jpeg_written && wait_for 10 capture_gone || fail "photo.jpg was not replaced by a JPEG of quality 80"
# No format for .xyz: an error, no file.
save_as bad.xyz
failed_with "在保存图片的过程中发生错误"
[ ! -e "$E2E_TMP/bad.xyz" ] || fail "bad.xyz was written"
# A disk full but for half of the PNG (a tmpfs, only root may mount one): error 61, the old
# file byte for byte, nothing left behind.
FULL=$E2E_TMP/full
mkdir "$FULL"
if mount -t tmpfs -o size=1m kivo-e2e-full "$FULL" 2>/dev/null; then
    trap 'umount "$FULL" 2>/dev/null || true; e2e_cleanup' EXIT
    echo "the user's old file" | tee "$FULL/old.png" >"$E2E_TMP/old.png"
    dd if=/dev/zero of="$FULL/filler" bs=1k count=2048 2>/dev/null || true
    truncate -s "-$(($(stat -c %s "$E2E_TMP/shot.PNG") / 2))" "$FULL/filler"
    save_as full/old.png
    failed_with "错误号: 61"
    grep -q "错误描述: 磁盘已满" "$E2E_TMP/names" || fail "a full disk is not named as such"
    cmp -s "$FULL/old.png" "$E2E_TMP/old.png" && [ "$(ls -A "$FULL" | xargs)" = "filler old.png" ] ||
        fail "the full disk holds $(ls -A "$FULL" | xargs), the old file $(cat "$FULL/old.png")"
    umount "$FULL"
else
    echo "SKIP: the full-disk save (mounting a tmpfs needs root)"
fi
# The exit button (193 on the strip) ends the capture; the program runs on.
"$KIVO_BIN" gui
e2e_wait_capture
select_area
xdotool mousemove 336 267 click 1
wait_for 10 capture_gone && kill -0 "$HOST" || fail "the exit button did not just end the capture"
e2e_pass

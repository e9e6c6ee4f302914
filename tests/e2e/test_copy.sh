#!/usr/bin/env bash
# A capture's whole path with the real pointer, keyboard and clipboard: frozen screen, selection,
# copy in every format offered, annotations, undo/redo, piled-up clicks, save, a full disk.
. "$(dirname "$0")/lib.sh"
export LC_ALL=C.UTF-8

e2e_start_display 1280x800
e2e_pattern 1280x800 "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"
e2e_start_kivo
HOST=$KIVO_PID
e2e_wait_capture
wait_for 10 shows_root || fail "the capture window does not show the frozen screen exactly"
convert -size 1280x800 xc:'#203040' "$E2E_TMP/other.png" && e2e_set_root "$E2E_TMP/other.png"
shows_root && e2e_set_root "$E2E_TMP/root.png" || fail "the capture window did not stay frozen"

# Selection (100, 50)-(400, 250): the outline covers columns 100..399 and rows 50..249, the
# handles 4 x 4 (handle 2 two thirds of a pixel left of the corner), the strip under it.
frame_shown() {
    shot && pixels_are 0,122,236 200 50 100 120 399 120 200 249 98 48 401 251 397 48 &&
        pixels_are ROOT 200 51 200 49 101 120 400 120 97 47 402 252 401 48 134 265 200 252 &&
        pixels_are 222,238,255 140 256
}
select_area() { e2e_drag 100 50 400 250 && wait_for 10 frame_shown || fail "the selection (100, 50)-(400, 250) is not drawn"; }
# A press inside moves it to (200, 100)-(500, 300); handle 6 takes the corner to (600, 400);
# a double-click inside copies that area.
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
    [ $lossy = 1 ] || { e2e_same_pixels "$E2E_TMP/paste.png" "$E2E_TMP/crop.png" || fail "$t pastes another picture"; continue; }
    convert "$E2E_TMP/paste.png" -scale 12.5% "$E2E_TMP/a.png" && convert "$E2E_TMP/crop.png" -scale 12.5% "$E2E_TMP/b.png"
    rmse=$(compare -metric RMSE "$E2E_TMP/a.png" "$E2E_TMP/b.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
    awk -v e="$rmse" 'BEGIN { exit !(e < 0.03) }' || fail "$t is off by $rmse"
done

# Annotations in (200, 150)-(900, 550); the strip's buttons (16 px) at rectangle 8, text 57,
# arrow 81, undo 113, redo 138, copy 218. Dark red (first swatch), a rectangle, an arrow.
new_capture
e2e_drag 200 150 900 550
bar_x=635 bar_y=554 panel_y=$((554 + 26 + 3))
button() { xdotool mousemove $((bar_x + $1 + ${2:-8})) $((bar_y + 13)) click 1; }
button 8
xdotool mousemove $((bar_x + 74)) $((panel_y + 10)) click 1
e2e_drag 250 200 450 300
button 81
e2e_drag 300 450 600 450
# The text tool: "KIVO" typed into its box, burnt in by the next click.
button 57
xdotool mousemove 500 220 click 1 type --delay 20 "KIVO"
xdotool mousemove 700 320 click 1
# Undo twice hides the text and the arrow; redo twice brings both back (6 px apart: no double-click).
button 113 && button 113 14
undone() { shot && pixels_are ROOT 450 450 && pixels_are 192,0,0 300 200; }
wait_for 10 undone || fail "undo did not take back the text and the arrow"
button 138 && button 138 14
button 218
wait_for 20 clipboard_png || fail "nothing was copied"
[ "$(identify -format %wx%h "$E2E_TMP/clip.png")" = 700x400 ] || fail "the copy is not 700x400"
# In the copy, dark red: the rectangle's corners and edges, the arrow's tail, shaft, tip and
# barbs, and the text's ink.
for p in 50,50 250,150 150,50 50,100 100,300 250,300 400,300 390,295 390,305; do
    [ "$(e2e_pixel "$E2E_TMP/clip.png" "${p%,*}" "${p#*,}")" = 192,0,0 ] || fail "($p) of the copy is not dark red"
done
convert "$E2E_TMP/clip.png" -crop 150x50+300+70 +repage -fill black +opaque '#c00000' -trim "$E2E_TMP/ink.png"
[ "$(identify -format %h "$E2E_TMP/ink.png")" -ge 8 ] || fail "the text is $(identify -format %wx%h "$E2E_TMP/ink.png") of ink"

# Clicks that pile up while the host is stopped end the capture with the area copied.
convert "$E2E_TMP/root.png" -crop 300x200+100+50 +repage "$E2E_TMP/crop.png"
clip_is_crop() { clipboard_png && e2e_same_pixels "$E2E_TMP/clip.png" "$E2E_TMP/crop.png"; }
for clicks in "mousedown 1 mouseup 1 mousedown 1 mouseup 1 mousedown 3 mouseup 3 mousedown 3 mouseup 3" \
    "mousedown 1 sleep 0.001 mouseup 1 sleep 0.001 mousedown 1 sleep 0.001 mouseup 1 sleep 0.001 mousedown 1 sleep 0.001 mouseup 1"; do
    xclip -selection clipboard -i /dev/null
    new_capture && select_area
    kill -STOP "$HOST" && xdotool mousemove 200 150 $clicks && sleep 0.3 # the clicks queue up at the stopped host
    kill -CONT "$HOST"
    wait_for 10 capture_gone && wait_for 10 clip_is_crop && kill -0 "$HOST" || fail "the clicks ($clicks) did not copy the area, or crashed the host"
done

# save_as NAME: select, press the save button (163 on the strip), type NAME in the dialog.
save_as() {
    new_capture && select_area
    xdotool mousemove 306 267 click 1
    wait_for 20 window_active "$HOST" '^保存为$' || fail "no Save dialog for $1"
    xdotool type --delay 20 "$E2E_TMP/$1" && xdotool key Return
}
# No extension: the dialog adds PNG, and the clipboard is emptied.
save_as shot
wait_for 20 test -s "$E2E_TMP/shot.PNG" && wait_for 10 capture_gone || fail "no shot.PNG written"
e2e_same_pixels "$E2E_TMP/shot.PNG" "$E2E_TMP/crop.png" || fail "shot.PNG is not the selected area"
[ "$(identify -format %m "$E2E_TMP/shot.PNG")" = PNG ] && ! clipboard_png || fail "no PNG, or the clipboard kept it"
# A disk full but for half of the PNG (a root-only tmpfs): an error, the area kept, the old file.
FULL=$E2E_TMP/full && mkdir "$FULL"
if mount -t tmpfs -o size=1m kivo-e2e-full "$FULL" 2>/dev/null; then
    trap 'umount "$FULL" 2>/dev/null || true; e2e_cleanup' EXIT
    echo "the user's old file" | tee "$FULL/old.png" >"$E2E_TMP/old.png"
    dd if=/dev/zero of="$FULL/filler" bs=1k count=2048 2>/dev/null || true
    truncate -s "-$(($(stat -c %s "$E2E_TMP/shot.PNG") / 2))" "$FULL/filler"
    save_as full/old.png
    wait_for 20 window_active "$HOST" '^错误$' && xdotool key Return || fail "no error message"
    wait_for 10 capture_gone && wait_for 10 clip_is_crop || fail "the failed save lost the area"
    cmp -s "$FULL/old.png" "$E2E_TMP/old.png" && [ "$(ls -A "$FULL" | xargs)" = "filler old.png" ] ||
        fail "the full disk holds $(ls -A "$FULL" | xargs), the old file $(cat "$FULL/old.png")"
    umount "$FULL"
else echo "SKIP: the full-disk save (mounting a tmpfs needs root)"; fi
# The exit button (193 on the strip) ends the capture; the program runs on.
new_capture && select_area
xdotool mousemove 336 267 click 1
wait_for 10 capture_gone && kill -0 "$HOST" || fail "the exit button did not just end the capture"
e2e_pass

#!/usr/bin/env bash
# Annotations reach the copied area: a rectangle, an arrow and a text drawn with the real
# pointer and keyboard through the toolbar, then "复制退出"; the clipboard's picture holds
# the three in red over the frozen screen.
. "$(dirname "$0")/lib.sh"

e2e_capture_on_pattern 1280x800
win=$(capture_window)
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ] || xdotool windowactivate "$win"; [ "$(xdotool getactivewindow)" = "$win" ]; }
wait_for 10 is_active || fail "the capture window never got the focus"

# The selection (200, 150, 700 x 400); the toolbar strip (265 x 26) then stands 4 pixels
# under its bottom-right corner: left 635, top 554, its 16-pixel buttons 5 pixels down.
e2e_drag 200 150 900 550
bar_x=635 bar_y=554
button() { xdotool mousemove $((bar_x + $1 + 8)) $((bar_y + 5 + 8)) click 1; }
rect_button=8 text_button=57 arrow_button=81 copy_button=218

# A rectangle (250, 200) - (450, 300).
button $rect_button
e2e_drag 250 200 450 300
# A level arrow from (300, 450) to (600, 450): its barbs end at (590, 445) and (590, 455).
button $arrow_button
e2e_drag 300 450 600 450
# A text: the click places the box at (500, 220), typing fills it, the next click burns it.
button $text_button
xdotool mousemove 500 220 click 1
xdotool type --delay 20 "KIVO"
xdotool mousemove 700 320 click 1

button $copy_button
clip_png() { xclip -selection clipboard -t image/png -o >"$E2E_TMP/clip.png" 2>/dev/null && [ -s "$E2E_TMP/clip.png" ]; }
wait_for 20 clip_png || fail "nothing was copied"
[ "$(identify -format %wx%h "$E2E_TMP/clip.png")" = "700x400" ] || fail "the copied area is $(identify -format %wx%h "$E2E_TMP/clip.png")"

red="255,0,0"
expect_red() {
    local got
    got=$(e2e_pixel "$E2E_TMP/clip.png" "$1" "$2")
    [ "$got" = "$red" ] || fail "pixel ($1, $2) of the copy is $got, not red ($3)"
}
# In the copy's coordinates (the selection's top-left is its origin).
expect_red 50 50 "rectangle corner"
expect_red 250 150 "rectangle corner"
expect_red 150 50 "rectangle top edge"
expect_red 50 100 "rectangle left edge"
expect_red 100 300 "arrow tail"
expect_red 250 300 "arrow shaft"
expect_red 400 300 "arrow tip"
expect_red 390 295 "arrow barb"
expect_red 390 305 "arrow barb"
# Inside the rectangle and away from everything: the frozen screen itself.
for p in "150 100" "600 30" "20 380"; do
    set -- $p
    want=$(e2e_pixel "$E2E_TMP/root.png" $(($1 + 200)) $(($2 + 150)))
    got=$(e2e_pixel "$E2E_TMP/clip.png" "$1" "$2")
    [ "$got" = "$want" ] || fail "pixel ($1, $2) of the copy is $got, the screen had $want"
done
# The text: ink right of and below the box's corner (300, 70), within a line's height; the
# glyphs are smoothed, so count what differs from the frozen screen, and the pure red.
convert "$E2E_TMP/clip.png" -crop 120x40+300+70 +repage "$E2E_TMP/text.png"
convert "$E2E_TMP/root.png" -crop 120x40+500+220 +repage "$E2E_TMP/under.png"
changed=$(compare -metric AE "$E2E_TMP/text.png" "$E2E_TMP/under.png" null: 2>&1 || true)
[ "${changed%%.*}" -ge 60 ] || fail "the text changed only $changed pixels"
ink=$(convert "$E2E_TMP/text.png" -fill black +opaque red -fill white -opaque red \
    -format "%[fx:int(mean*w*h+0.5)]" info:)
[ "$ink" -ge 5 ] || fail "the text has only $ink pure red pixels"
red_above=$(convert "$E2E_TMP/clip.png" -crop 700x48+0+0 +repage -fill black +opaque red -fill white -opaque red \
    -format "%[fx:int(mean*w*h+0.5)]" info:)
[ "$red_above" = "0" ] || fail "red pixels above the annotations"
e2e_pass

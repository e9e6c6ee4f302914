#!/usr/bin/env bash
# The toolbar strip and the style panel on a real display: the strip stands under a fresh
# selection in its colours, its buttons answer real clicks (hover frame, tool panel, colour
# choice, size list), and the exit button ends the capture while the program runs on.
. "$(dirname "$0")/lib.sh"

e2e_capture_on_pattern 1280x800
shot() { import -window root "$E2E_TMP/shot.png"; }
shows_root() { shot && e2e_same_pixels "$E2E_TMP/shot.png" "$E2E_TMP/root.png"; }
wait_for 10 shows_root || fail "the capture window does not show the frozen screen"

# pixel_is X Y R,G,B: a fresh screenshot has that colour at (X, Y).
pixel_is() { shot && [ "$(e2e_pixel "$E2E_TMP/shot.png" "$1" "$2")" = "$3" ]; }
expect_pixel() { wait_for 10 pixel_is "$1" "$2" "$3" || fail "$4: pixel ($1,$2) is $(e2e_pixel "$E2E_TMP/shot.png" "$1" "$2"), not $3"; }
click() { xdotool mousemove "$1" "$2" click 1; }

# Selection (200,150)-(700,450): the strip (265 x 26) stands right-aligned 4 px under it.
e2e_drag 200 150 700 450
SX=435 SY=454
expect_pixel $((SX + 100)) $((SY + 24)) 222,238,255 "strip background"
expect_pixel $SX $((SY + 10)) 128,128,255 "strip frame"
expect_pixel $((SX + 105)) $((SY + 10)) 192,192,255 "separator after the tools"
expect_pixel $((SX + 185)) $((SY + 10)) 192,192,255 "separator before exit"
pixel_is $((SX + 100)) $((SY + 30)) "$(e2e_pixel "$E2E_TMP/root.png" $((SX + 100)) $((SY + 30)))" ||
    fail "something stands under the strip before a tool is chosen"

# Hover over the rectangle button: its frame appears around it.
xdotool mousemove $((SX + 16)) $((SY + 13))
expect_pixel $((SX + 5)) $((SY + 13)) 36,143,251 "hover frame of the rectangle button"
# Moving to the ellipse button moves the frame with the pointer.
xdotool mousemove $((SX + 40)) $((SY + 13))
expect_pixel $((SX + 30)) $((SY + 13)) 36,143,251 "hover frame of the ellipse button"
expect_pixel $((SX + 5)) $((SY + 13)) 222,238,255 "old hover frame cleared"

# The rectangle tool opens the panel 3 px under the strip, the large swatch red.
PY=$((SY + 26 + 3))
click $((SX + 16)) $((SY + 13))
expect_pixel $SX $((PY + 10)) 128,128,255 "style panel frame"
expect_pixel $((SX + 4 + 1 + 14)) $((PY + 4 + 14)) 255,0,0 "current colour at the start"
expect_pixel $((SX + 68 + 6)) $((PY + 4 + 6)) 192,0,0 "dark red swatch"
expect_pixel $((SX + 68 + 6)) $((PY + 4 + 15 + 6)) 255,0,0 "red swatch"

# Choose dark red; the text tool keeps it and moves the palette right of the size box.
click $((SX + 68 + 6)) $((PY + 4 + 6))
expect_pixel $((SX + 4 + 1 + 14)) $((PY + 4 + 14)) 192,0,0 "chosen colour"
click $((SX + 65)) $((SY + 13))
expect_pixel $((SX + 79 + 1 + 14)) $((PY + 4 + 14)) 192,0,0 "current colour beside the size box"
expect_pixel $((SX + 240)) $((PY + 10)) 128,128,255 "wider panel's right edge"

# The size box: a press drops the list down; picking the last item shows "20".
FX=$((SX + 4 + 21)) FY=$((PY + 8))
shot && convert "$E2E_TMP/shot.png" -crop 50x22+$FX+$FY +repage "$E2E_TMP/face11.png"
list_open() { shot && [ "$(e2e_pixel "$E2E_TMP/shot.png" $((FX + 25)) $((FY + 60)))" != \
    "$(e2e_pixel "$E2E_TMP/root.png" $((FX + 25)) $((FY + 60)))" ]; }
click $((FX + 25)) $((FY + 11))
wait_for 10 list_open || fail "the size list did not drop down"
xdotool key End Return
face_changed() {
    shot && convert "$E2E_TMP/shot.png" -crop 50x22+$FX+$FY +repage "$E2E_TMP/face.png" &&
        ! e2e_same_pixels "$E2E_TMP/face.png" "$E2E_TMP/face11.png" && ! list_open
}
wait_for 10 face_changed || fail "choosing a size did not change the size box"

# The same tool again hides the panel; the exit button ends the capture, the program stays.
click $((SX + 65)) $((SY + 13))
expect_pixel $((SX + 100)) $((SY + 30)) "$(e2e_pixel "$E2E_TMP/root.png" $((SX + 100)) $((SY + 30)))" "panel hidden"
click $((SX + 193 + 8)) $((SY + 13))
wait_for 10 capture_gone || fail "the exit button did not end the capture"
kill -0 "$KIVO_PID" || fail "the program ended with the capture"
e2e_pass

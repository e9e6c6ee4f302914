#!/usr/bin/env bash
# Two monitors on one 3840x1080 screen (right primary): the capture covers the chosen one,
# drags away from the origin copy what it shows. Then 192 dpi: chrome twice, picture exact.
. "$(dirname "$0")/lib.sh"

e2e_start_display 3840x1080
xrandr --setmonitor left 1920/508x1080/286+0+0 none >/dev/null
xrandr --setmonitor '*right' 1920/508x1080/286+1920+0 screen >/dev/null # no monitor spans both
e2e_noise 3840x1080 "$E2E_TMP/root.png" && e2e_set_root "$E2E_TMP/root.png"
e2e_start_kivo
place() { # the capture window's place, "X,Y WxH"
    xwininfo -id "$(capture_window)" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width/ {w = $NF} /^ *Height/ {h = $NF} END {print x "," y " " w "x" h}'
}
placed_at() { capture_shown && [ "$(place)" = "$1 1920x1080" ]; }
wait_for 20 placed_at 1920,0 || fail "the capture is not on the primary monitor"
wait_for 10 shows_root || fail "the monitors do not show their own pixels"
double_click_copies() { # X Y WxH+X+Y
    xdotool mousemove "$1" "$2" click --repeat 2 --delay 60 1
    wait_for 10 capture_gone || fail "the double-click did not end the capture"
    e2e_copied_is "$3"
}
# Screen (2020, 50)-(2320, 250); handle 6, on screen (2318, 248)-(2321, 251), to (2420, 300).
e2e_drag 2020 50 2320 250
e2e_drag 2319 249 2420 300
double_click_copies 2100 100 400x250+2020+50
# The left monitor by name: a drag onto the right one ends on the last column; strip (1654, 704)-(1919, 730).
"$KIVO_BIN" gui --screen left || fail "kivo gui --screen left failed"
wait_for 10 placed_at 0,0 || fail "--screen left: the capture is at $(place)"
e2e_drag 1700 500 2300 700
wait_for 10 eval 'shot && pixels_are 128,128,255 1654 714 1918 714' || fail "the strip is not at (1654, 704)"
double_click_copies 1800 600 219x200+1700+500
for case in "500 0,0" "2500 1920,0"; do # the monitor under the pointer
    set -- $case
    xdotool mousemove "$1" 300 && new_capture --screen pointer
    wait_for 10 placed_at "$2" || fail "pointer at x=$1: the capture is at $(place)"
    xdotool click 3 && wait_for 10 capture_gone || fail "the right click did not end the capture"
done
"$KIVO_BIN" quit

# 192 dpi: strip 530 x 52, frame 2 px, 8 px under (400, 300)-(1600, 1100); handle 6 8 x 8.
E2E_XVFB_ARGS="-dpi 192" e2e_start_display 3840x2160
echo 'Xft.dpi: 192' | xrdb -merge
e2e_noise 3840x2160 "$E2E_TMP/root.png" && e2e_set_root "$E2E_TMP/root.png"
e2e_start_kivo
e2e_wait_capture
wait_for 10 shows_root || fail "the capture window does not show the frozen screen exactly"
e2e_drag 400 300 1600 1100
strip_drawn() { shot && pixels_are 128,128,255 1070 1108 1071 1109 1599 1159 1598 1158 && pixels_are 222,238,255 1072 1130 1597 1110; }
wait_for 10 strip_drawn || fail "the strip is not 530 x 52 with a two-pixel frame at (1070, 1108)"
pixels_are ROOT 1069 1130 1600 1130 1072 1160 1072 1107 1595 1095 1604 1104 && pixels_are 0,122,236 1596 1096 1603 1103 ||
    fail "the strip is larger than 530 x 52, or handle 6 is not 8 x 8 around (1600, 1100)"
double_click_copies 1000 700 1200x800+400+300
e2e_pass

#!/usr/bin/env bash
# A 3840x2160 screen at 200 % (192 dpi, Xft.dpi 192): the controls around the picture are
# twice their designed size (the strip 530 x 52 with a two-pixel frame, 8 px under the
# selection; handles 8 x 8) while the picture stays exact: a copy holds the selected screen
# pixels one for one.
. "$(dirname "$0")/lib.sh"

E2E_XVFB_ARGS="-dpi 192" e2e_start_display 3840x2160
echo 'Xft.dpi: 192' | xrdb -merge
e2e_noise 3840x2160 "$E2E_TMP/root.png"
e2e_set_root "$E2E_TMP/root.png"
e2e_start_kivo
e2e_wait_capture
shot() { import -window root "$E2E_TMP/shot.png"; }
shows_root() { shot && e2e_same_pixels "$E2E_TMP/shot.png" "$E2E_TMP/root.png"; }
wait_for 10 shows_root || fail "the capture window does not show the frozen screen exactly"

# pixels_are COLOUR X Y [X Y...]: every listed pixel of the last shot has COLOUR; ROOT
# stands for the root picture's own pixel there.
pixels_are() {
    local colour=$1 want
    shift
    while [ $# -gt 0 ]; do
        want=$colour
        [ "$colour" = ROOT ] && want=$(e2e_pixel "$E2E_TMP/root.png" "$1" "$2")
        [ "$(e2e_pixel "$E2E_TMP/shot.png" "$1" "$2")" = "$want" ] || return 1
        shift 2
    done
}

# Selection (400, 300)-(1600, 1100): the strip covers (1070, 1108)-(1600, 1160).
e2e_drag 400 300 1600 1100
strip_drawn() {
    shot && pixels_are 128,128,255 1070 1108 1071 1109 1599 1159 1598 1158 &&
        pixels_are 222,238,255 1072 1130 1597 1110
}
wait_for 10 strip_drawn || fail "the strip is not 530 x 52 with a two-pixel frame at (1070, 1108)"
pixels_are ROOT 1069 1130 1600 1130 1072 1160 1072 1107 || fail "the strip is larger than 530 x 52"
# Handle 6 centred on the corner (1600, 1100): (1596, 1096)-(1603, 1103).
pixels_are 0,122,236 1596 1096 1603 1103 && pixels_are ROOT 1595 1095 1604 1104 ||
    fail "handle 6 is not 8 x 8 around the bottom-right corner"

xdotool mousemove 1000 700 click --repeat 2 --delay 60 1
wait_for 10 capture_gone || fail "the double-click did not end the capture"
e2e_copied_is 1200x800+400+300
e2e_pass

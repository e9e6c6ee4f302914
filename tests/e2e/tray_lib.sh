# Helpers for the tray tests: the icon Kivo puts into trayer, and its pop-up menu.
# Source after lib.sh.

# tray_icons: the Kivo icon windows mapped in the tray, one id a line. (The embedded icon
# window carries no process id, so it is found by its class and its small size.)
tray_icons() {
    local id size
    xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "kivo": ("kivo" "kivo")  \([0-9]*\)x[0-9]*+.*/\1 \2/p' |
        while read -r id size; do
            [ "$size" -lt 64 ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' && echo "$id"
        done
    true
}
tray_icon_count() { tray_icons | wc -l; }
tray_icon() { tray_icons | head -n 1; }
tray_icon_shown() { [ -n "$(tray_icon)" ]; }
tray_icon_gone() { [ -z "$(tray_icon)" ]; }

# tray_icon_center: "X Y" of the icon's centre on the screen.
tray_icon_center() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$(tray_icon)")"
    echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}

# menu_window PID: the mapped pop-up menu of that process (empty when none): a window of
# its own placement (override-redirect) that is not the tray icon.
menu_window() {
    local w icons
    icons=$(tray_icons)
    for w in $(xdotool search --all --pid "$1" --onlyvisible --name '' 2>/dev/null); do
        grep -q -x "$(printf '0x%x' "$w")" <<<"$icons" && continue
        xwininfo -id "$w" -all 2>/dev/null | grep -q 'Override Redirect State: yes' && { echo "$w"; return; }
    done
    true
}
menu_shown() { [ -n "$(menu_window "$1")" ]; }
menu_gone() { [ -z "$(menu_window "$1")" ]; }

# capture_count PID: how many capture windows that process shows.
capture_count() {
    xdotool search --all --pid "$1" --onlyvisible --name '^Kivo独立截图截屏软件$' 2>/dev/null | wc -l
}

# close_capture: abandon the open capture with a right click on it (no selection). Each
# click lands elsewhere, so that two quick ones never make a double-click.
CLOSE_N=0
close_capture() {
    CLOSE_N=$((CLOSE_N + 1))
    xdotool mousemove $((300 + (CLOSE_N % 8) * 60)) 400 click 3
    wait_for 10 capture_gone || fail "the capture did not close on a right click"
}

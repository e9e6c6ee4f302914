#!/usr/bin/env bash
# wayland-session.sh: a private headless Wayland desktop without a GPU, for tests,
# benchmarks and trying Kivo out: sway (pixman renderer) with one or more outputs, a
# private D-Bus session bus, pipewire, xdg-desktop-portal with its wlr and gtk backends,
# Xwayland, and a virtual pointer.
#
#   wayland-session.sh start DIR OUTPUT...   start; write DIR/env and print it
#       OUTPUT is WxH[+X+Y][:PICTURE.png]: HEADLESS-1 is the first (Qt's primary screen),
#       at +X+Y in the layout (default 0,0), showing PICTURE (default a plain colour)
#   wayland-session.sh stop DIR              stop exactly the processes recorded in DIR/pids
#   wayland-session.sh run DIR CMD [ARG...]  run CMD inside the session, as its user
#   wayland-session.sh pid DIR NAME          the recorded PID of one part (sway, swaybg, portal...)
#
# `source DIR/env` gives WAYLAND_DISPLAY, XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS, SWAYSOCK,
# DISPLAY (Xwayland), XDG_SESSION_TYPE=wayland and HOME. Input: scripts/wl_vpointer.py
# (pointer) and wtype (keys); pixels: grim; clipboard: wl-paste.
#
# sway refuses to run as root: started by root, the session runs as the system user
# $KIVO_WL_USER (default kivo-wl, created when missing). Root may use the Wayland socket,
# grim and wl-clipboard directly, but the portal answers only its own user: run portal
# clients with `run DIR ...`.
# The wlr backend always writes its screenshots to /tmp/out.png. Started by root, it and
# every `run` command see a private file of DIR there instead, so that parallel sessions
# (of any user) never read each other's screens or fail to replace each other's file.
#
# KIVO_WL_HIDE_CURSOR=MS hides the software cursor MS ms after each move (it shows in
# grim and portal pictures otherwise).
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
die() { echo "wayland-session: $*" >&2; exit 1; }

# wait_until SECONDS CMD...: poll CMD every 50 ms
wait_until() {
    local end=$((SECONDS + $1)); shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

starttime() { awk '{print $22}' "/proc/$1/stat" 2>/dev/null; }
alive() { # alive PID STARTTIME: the same process is still there and not a zombie
    local st
    st=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$st" ] && [ "$st" != Z ] && [ "$(starttime "$1")" = "$2" ]
}
as_root() { [ "$(id -u)" = 0 ]; }

# user_cmd CMD...: set UCMD to CMD run as the session user with exactly the session's environment
user_cmd() {
    UCMD=()
    if as_root; then UCMD=(setpriv --reuid="$SUSER" --regid="$SUSER" --init-groups --); fi
    UCMD+=(env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$DIR/home" LANG=C.UTF-8
        XDG_RUNTIME_DIR="$DIR/rt" XDG_CONFIG_HOME="$DIR/config" XDG_CURRENT_DESKTOP=sway
        XDG_SESSION_TYPE=wayland DBUS_SESSION_BUS_ADDRESS="unix:path=$DIR/bus")
    [ -z "${WAYLAND_DISPLAY:-}" ] || UCMD+=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY")
    [ -z "${SWAYSOCK:-}" ] || UCMD+=(SWAYSOCK="$SWAYSOCK")
    [ -z "${DISPLAY:-}" ] || UCMD+=(DISPLAY="$DISPLAY")
    UCMD+=("${EXTRA_ENV[@]}" "$@")
}

# launch NAME CMD...: start CMD in the background as the session user, in its own session
# (setsid does not fork here, so $! is the program's PID), log to DIR/log/NAME.log, and
# record "NAME PID STARTTIME" in DIR/pids.
launch() {
    local name=$1; shift
    user_cmd "$@"
    setsid "${PRE_CMD[@]}" "${UCMD[@]}" </dev/null >"$DIR/log/$name.log" 2>&1 &
    local pid=$! st="" _
    for _ in 1 2 3 4 5 6 7 8 9 10; do st=$(starttime "$pid") && [ -n "$st" ] && break; sleep 0.01; done
    echo "$name $pid $st" >>"$DIR/pids"
    LAST_PID=$pid
}

dbus_has_name() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}

cmd_start() {
    [ $# -ge 2 ] || die "usage: start DIR WxH[+X+Y][:PICTURE.png]..."
    mkdir -p "$1"; DIR=$(cd "$1" && pwd); shift
    if [ -s "$DIR/pids" ]; then
        while read -r n p s; do alive "$p" "$s" && die "a session already runs in $DIR ($n $p)"; done <"$DIR/pids"
    fi
    unset WAYLAND_DISPLAY SWAYSOCK DISPLAY # of the caller's own desktop, if any
    SUSER=$(as_root && echo "${KIVO_WL_USER:-kivo-wl}" || id -un)
    if as_root && ! id "$SUSER" >/dev/null 2>&1; then
        useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$SUSER"
    fi
    local b
    for b in sway swaybg dbus-daemon gdbus setsid grim; do command -v $b >/dev/null || die "missing $b"; done
    rm -rf "$DIR/rt" "$DIR/log" "$DIR/bus" "$DIR/pids" "$DIR/env" "$DIR/xdisplay"
    mkdir -p "$DIR/rt" "$DIR/home" "$DIR/log" "$DIR/config/xdg-desktop-portal-wlr"
    chmod 700 "$DIR/rt"
    : >"$DIR/pids"
    EXTRA_ENV=() PRE_CMD=()

    # The outputs: sway config lines and swaybg arguments.
    local n=0 out size pos pic outputs="" bg=()
    for out in "$@"; do
        [[ $out =~ ^([0-9]+)x([0-9]+)(\+(-?[0-9]+)\+(-?[0-9]+))?(:(.+))?$ ]] || die "bad output $out"
        n=$((n + 1)); size="${BASH_REMATCH[1]}x${BASH_REMATCH[2]}"
        pos="${BASH_REMATCH[4]:-0} ${BASH_REMATCH[5]:-0}"; pic=${BASH_REMATCH[7]:-}
        outputs+="output HEADLESS-$n mode $size position $pos scale 1"$'\n'
        if [ -n "$pic" ]; then bg+=(-o "HEADLESS-$n" -i "$(readlink -f "$pic")" -m stretch); else bg+=(-o "HEADLESS-$n" -c '#204060'); fi
    done
    # portal-wlr: never ask which output (only ScreenCast asks; its Screenshot takes all outputs)
    printf '[screencast]\nchooser_type=none\noutput_name=HEADLESS-1\n' >"$DIR/config/xdg-desktop-portal-wlr/config"

    # A bus with no service directories: nothing is D-Bus-activated behind our back, so
    # every process of the session is one this script started and recorded.
    cat >"$DIR/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:path=$DIR/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="root"/>
    <allow user="$SUSER"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    cat >"$DIR/sway.conf" <<EOF
${outputs}xwayland enable
default_border none
default_floating_border none
focus_follows_mouse no
seat seat0 hide_cursor ${KIVO_WL_HIDE_CURSOR:-0}
exec sh -c 'echo "\$DISPLAY" > "$DIR/xdisplay"'
EOF
    if as_root; then chown -R "$SUSER:" "$DIR"; fi

    export DBUS_SESSION_BUS_ADDRESS="unix:path=$DIR/bus"
    launch dbus dbus-daemon --config-file="$DIR/bus.conf" --nofork --nopidfile
    wait_until 10 test -S "$DIR/bus" || die "dbus-daemon did not start (see $DIR/log/dbus.log)"

    EXTRA_ENV=(WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=$n)
    launch sway sway -c "$DIR/sway.conf"
    local sway_pid=$LAST_PID
    EXTRA_ENV=()
    wait_until 15 bash -c "ls '$DIR/rt'/sway-ipc.*.$sway_pid.sock" || die "sway did not start (see $DIR/log/sway.log)"
    SWAYSOCK=$(ls "$DIR/rt"/sway-ipc.*."$sway_pid".sock)
    local f
    for f in "$DIR/rt"/wayland-*; do [ -S "$f" ] && WAYLAND_DISPLAY=${f##*/} && break; done
    export SWAYSOCK WAYLAND_DISPLAY XDG_RUNTIME_DIR="$DIR/rt"
    wait_until 10 bash -c "[ \$(swaymsg -t get_outputs | grep -c '\"active\": true') = $n ]" ||
        die "sway did not set up $n outputs"
    wait_until 10 test -s "$DIR/xdisplay" || die "no Xwayland DISPLAY from sway"
    DISPLAY=$(cat "$DIR/xdisplay")
    export DISPLAY
    # Xwayland admits only its own user; let root's X clients in too (starts Xwayland now)
    if as_root && command -v xhost >/dev/null; then
        user_cmd xhost +si:localuser:root
        "${UCMD[@]}" >/dev/null 2>&1 || echo "wayland-session: warning: xhost failed" >&2
    fi
    launch swaybg swaybg "${bg[@]}"

    # Without input devices the seat has no pointer and no keyboard: no client gets pointer
    # events, and each wtype's keyboard comes and goes, so that its first key is lost
    # while the client binds the new keyboard. Hold a virtual pointer and a keyboard (a
    # wtype that sleeps 66 minutes, the longest it can) for the whole session.
    launch vpointer /usr/bin/python3 "$HERE/wl_vpointer.py" hold
    command -v wtype >/dev/null && launch keyboard wtype -s 4000000
    wait_until 5 bash -c "swaymsg -t get_seats | grep -q '\"capabilities\": 3'" ||
        echo "wayland-session: warning: seat0 got no pointer or no keyboard" >&2

    # Portals. xdg-desktop-portal-wlr exits when it cannot reach pipewire, and
    # xdg-desktop-portal 1.16 exports Screenshot only when some backend implements Access
    # (gtk does; wlr's Screenshot is version 1, so Access is never actually asked).
    launch pipewire pipewire
    wait_until 5 test -S "$DIR/rt/pipewire-0" || echo "wayland-session: warning: no pipewire" >&2
    launch permission-store /usr/libexec/xdg-permission-store
    if as_root; then
        # A private /tmp/out.png: a mount namespace with DIR/out.png bound over it. The
        # mount point must exist; when created here, anyone may still write it.
        [ -e /tmp/out.png ] || install -m 666 /dev/null /tmp/out.png
        install -m 644 -o "$SUSER" /dev/null "$DIR/out.png"
        PRE_CMD=(unshare --mount --propagation private -- sh -c 'mount --bind "$0" /tmp/out.png && exec "$@"' "$DIR/out.png")
    fi
    launch portal-wlr /usr/libexec/xdg-desktop-portal-wlr
    PRE_CMD=()
    echo "$LAST_PID" >"$DIR/mntns"
    wait_until 10 dbus_has_name org.freedesktop.impl.portal.desktop.wlr ||
        die "xdg-desktop-portal-wlr did not start (see $DIR/log/portal-wlr.log)"
    EXTRA_ENV=(GDK_BACKEND=wayland NO_AT_BRIDGE=1)
    launch portal-gtk /usr/libexec/xdg-desktop-portal-gtk
    EXTRA_ENV=()
    wait_until 10 dbus_has_name org.freedesktop.impl.portal.desktop.gtk ||
        echo "wayland-session: warning: xdg-desktop-portal-gtk did not start" >&2
    launch portal /usr/libexec/xdg-desktop-portal
    wait_until 10 bash -c "gdbus introspect --session -d org.freedesktop.portal.Desktop \
        -o /org/freedesktop/portal/desktop | grep -q 'interface org.freedesktop.portal.Screenshot'" ||
        die "org.freedesktop.portal.Screenshot is not exported (see $DIR/log/portal.log)"

    cat >"$DIR/env" <<EOF
export WAYLAND_DISPLAY=$WAYLAND_DISPLAY
export XDG_RUNTIME_DIR=$DIR/rt
export DBUS_SESSION_BUS_ADDRESS=unix:path=$DIR/bus
export SWAYSOCK=$SWAYSOCK
export DISPLAY=$DISPLAY
export XDG_CURRENT_DESKTOP=sway
export XDG_SESSION_TYPE=wayland
export HOME=$DIR/home
export KIVO_WL_USER=$SUSER
EOF
    if as_root; then chown "$SUSER:" "$DIR/env" "$DIR/pids"; fi
    cat "$DIR/env"
}

session_dir() {
    DIR=$(cd "$1" && pwd) || die "no $1"
    [ -f "$DIR/pids" ] || die "no session in $DIR"
}

cmd_stop() {
    [ $# -eq 1 ] || die "usage: stop DIR"
    DIR=$(cd "$1" && pwd) || die "no $1"
    [ -f "$DIR/pids" ] || { echo "wayland-session: nothing recorded in $DIR"; return 0; }
    local -a names=() pids=() sts=()
    local n p s i k
    while read -r n p s; do names+=("$n"); pids+=("$p"); sts+=("$s"); done <"$DIR/pids"
    # reverse order: portals first, then swaybg, sway, and the bus last
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        alive "${pids[i]}" "${sts[i]}" || continue
        kill -TERM "${pids[i]}" 2>/dev/null || true
        for ((k = 0; k < 60; k++)); do alive "${pids[i]}" "${sts[i]}" || break; sleep 0.05; done
        if alive "${pids[i]}" "${sts[i]}"; then
            echo "wayland-session: ${names[i]} (${pids[i]}) ignored SIGTERM, sending SIGKILL" >&2
            kill -KILL "${pids[i]}" 2>/dev/null || true
        fi
    done
    rm -f "$DIR/pids"
    echo "wayland-session: stopped ${#pids[@]} processes of $DIR"
}

cmd_run() {
    [ $# -ge 2 ] || die "usage: run DIR CMD [ARG...]"
    session_dir "$1"; shift
    # shellcheck disable=SC1091
    source "$DIR/env"
    if as_root && [ "$KIVO_WL_USER" != root ]; then
        local ns=()
        if [ -s "$DIR/mntns" ]; then ns=(nsenter --mount="/proc/$(cat "$DIR/mntns")/ns/mnt" --wd="$PWD" --); fi
        # root's PATH may name folders the session user cannot enter (e.g. /root/...)
        export PATH=/usr/local/bin:/usr/bin:/bin
        exec "${ns[@]}" setpriv --reuid="$KIVO_WL_USER" --regid="$KIVO_WL_USER" --init-groups -- "$@"
    fi
    exec "$@"
}

cmd_pid() {
    [ $# -eq 2 ] || die "usage: pid DIR NAME"
    session_dir "$1"
    awk -v n="$2" '$1 == n {print $2}' "$DIR/pids"
}

case "${1:-}" in
start) shift; cmd_start "$@" ;;
stop) shift; cmd_stop "$@" ;;
run) shift; cmd_run "$@" ;;
pid) shift; cmd_pid "$@" ;;
*) sed -n '2,27p' "$0"; exit 2 ;;
esac

#!/usr/bin/env bash
# A desktop without a tray: Kivo keeps running, says once how to reach it from the command
# line, serves `kivo gui` and `kivo quit`, and shows its icon when a tray appears later.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/tray_lib.sh"

e2e_start_display 1280x800
e2e_start_kivo
host=$KIVO_PID
log=$KIVO_LOG
# A `kivo gui` while the host holds the lock but may not listen yet waits for it instead of
# starting another host.
wait_for 10 test -e "$XDG_RUNTIME_DIR/kivo-x11-${DISPLAY#:}.lock" || fail "the host took no lock"
timeout 20 "$KIVO_BIN" gui || fail "kivo gui during the host's start-up failed"
e2e_wait_capture
[ "$(capture_count "$host")" = 1 ] || fail "expected one capture, saw $(capture_count "$host")"
said_how() { grep -q 'kivo gui' "$log" && grep -q 'kivo quit' "$log"; }
wait_for 10 said_how || fail "no line about kivo gui / kivo quit: $(cat "$log")"
[ "$(grep -c 'kivo gui' "$log")" = 1 ] || fail "the notice was not one line"
close_capture
kill -0 "$host" || fail "the program ended without a tray"

"$KIVO_BIN" gui || fail "kivo gui failed"
wait_for 10 capture_shown || fail "kivo gui opened no capture"
close_capture

# A tray appears: the icon follows.
trayer --SetDockType true --SetPartialStrut true --edge top --align right >"$E2E_TMP/trayer.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 20 tray_icon_shown || fail "the icon did not appear when a tray did"
[ "$(tray_icon_count)" = 1 ] || fail "expected one icon, saw $(tray_icon_count)"
# The tray goes away and comes back (a panel restart): so does the icon.
tray=$!
kill "$tray"
wait "$tray" 2>/dev/null || true
wait_for 10 tray_icon_gone || fail "the icon outlived its tray"
trayer --SetDockType true --SetPartialStrut true --edge top --align right >"$E2E_TMP/trayer2.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 20 tray_icon_shown || fail "the icon did not come back with the tray"

"$KIVO_BIN" quit || fail "kivo quit failed"
wait_for 10 bash -c "! kill -0 $host 2>/dev/null" || fail "kivo quit did not end the program"
"$KIVO_BIN" quit 2>/dev/null && fail "kivo quit with nothing running claimed success"
e2e_pass

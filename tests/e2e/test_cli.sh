#!/usr/bin/env bash
# The command line without a display: version, help, refusal of unknown commands,
# `kivo quit` when nothing runs, and the one-line refusal to start where no display can be
# opened. (The installed layout is checked through the package, in test_package.sh.)
. "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY

[ "$("$KIVO_BIN" --version)" = "1.0.2" ] || fail "--version does not print 1.0.2"
help=$("$KIVO_BIN" --help) || fail "--help failed"
for word in gui --screen quit --version --help; do grep -q -- "$word" <<<"$help" || fail "--help does not list $word"; done

status=0
"$KIVO_BIN" screenshot >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 2 ] || fail "an unknown command gave status $status"
grep -q 'unknown command: screenshot' "$E2E_TMP/err" || fail "no error for an unknown command"
[ ! -s "$E2E_TMP/out" ] || fail "an unknown command printed to standard output"

status=0
"$KIVO_BIN" quit 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] && grep -q 'not running' "$E2E_TMP/err" || fail "kivo quit with nothing running: status $status"
[ ! -e "$XDG_RUNTIME_DIR/kivo.socket" ] || fail "kivo quit left a socket"

# refused WHAT [VAR=VALUE...]: the program, started with the VARs, prints one line on
# stderr, nothing on stdout, and ends with status 1 (not Qt's abort).
refused() {
    local what=$1 status=0
    shift
    env "$@" "$KIVO_BIN" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ "$status" = 1 ] || fail "$what: status $status ($(cat "$E2E_TMP/err"))"
    [ ! -s "$E2E_TMP/out" ] && [ "$(wc -l <"$E2E_TMP/err")" = 1 ] && grep -qi display "$E2E_TMP/err" ||
        fail "$what: not one line naming the display: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}
refused "no display set"
for n in $(seq 700 800); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
refused "a display nobody serves" DISPLAY=":$n"
e2e_pass

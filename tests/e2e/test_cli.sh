#!/usr/bin/env bash
# The command line without a display: version, help, refusal of unknown commands,
# `kivo quit` when nothing runs, and the one-line refusal to start where no display can be
# opened; a folder in the way of the socket, and runtime folders another user prepared, are
# refused by name. (The installed layout is checked through the package, in test_package.sh.)
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

mkdir "$XDG_RUNTIME_DIR/kivo.socket"
status=0
"$KIVO_BIN" gui 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] && grep -qF "cannot reach Kivo at $XDG_RUNTIME_DIR/kivo.socket: it is a folder" "$E2E_TMP/err" ||
    fail "kivo gui with a folder at the socket path: status $status, $(cat "$E2E_TMP/err")"
[ -d "$XDG_RUNTIME_DIR/kivo.socket" ] || fail "the folder at the socket path was removed"
rmdir "$XDG_RUNTIME_DIR/kivo.socket"

# Without XDG_RUNTIME_DIR, another user cannot hand Kivo its folder under TMPDIR (nor the
# toolkit's own fallback): one they made first, open to all and with their server in it,
# or their link to a folder of ours. Each is refused by name; nothing is changed through
# the link.
if [ "$(id -u)" = 0 ]; then
    other=kivo-e2e-other
    id "$other" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$other"
    as_other=(setpriv --reuid="$other" --regid="$other" --clear-groups)
    chmod 711 "$E2E_TMP"
    shared=$E2E_TMP/shared mine=$E2E_TMP/mine
    mkdir -m 1777 "$shared" && mkdir -m 755 "$mine"
    for plant in "mkdir -m 777" "ln -s $mine"; do
        for f in "$shared/kivo-0" "$shared/runtime-root"; do "${as_other[@]}" $plant "$f"; done
        if [ ! -L "$shared/kivo-0" ]; then
            "${as_other[@]}" perl -MSocket -e 'socket(S, PF_UNIX, SOCK_STREAM, 0); bind(S, pack_sockaddr_un($ARGV[0])) or die;
                chmod 0777, $ARGV[0]; listen(S, 5); while (accept(C, S)) { <C>; syswrite(C, "ok\n"); close C }' \
                "$shared/kivo-0/kivo.socket" &
            E2E_PIDS+=($!)
            wait_for 10 test -S "$shared/kivo-0/kivo.socket" || fail "the other user's server did not start"
        fi
        status=0
        env -u XDG_RUNTIME_DIR TMPDIR="$shared" "$KIVO_BIN" quit 2>"$E2E_TMP/err" || status=$?
        [ "$status" = 1 ] && grep -q "^kivo: cannot use the runtime folder $shared/kivo-0: " "$E2E_TMP/err" ||
            fail "a runtime folder from another user ($plant): status $status, $(cat "$E2E_TMP/err")"
        rm -rf "${shared:?}"/*
    done
    [ "$(stat -c %a "$mine")" = 755 ] && [ -z "$(ls -A "$mine")" ] || fail "Kivo changed a folder through a link"
else
    echo "SKIP: the other-user runtime folder case needs root to act as a second user (uid $(id -u))"
fi

e2e_pass

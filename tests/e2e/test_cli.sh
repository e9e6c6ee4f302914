#!/usr/bin/env bash
# The command line without a display: version, help, refusal of unknown commands, and
# `kivo quit` when nothing runs. Then the installed layout: binary, desktop entry, icons.
. "$(dirname "$0")/lib.sh"
unset DISPLAY

[ "$("$KIVO_BIN" --version)" = "1.0.2" ] || fail "--version does not print 1.0.2"
help=$("$KIVO_BIN" --help) || fail "--help failed"
for word in gui quit --version --help; do grep -q -- "$word" <<<"$help" || fail "--help does not list $word"; done

status=0
"$KIVO_BIN" screenshot >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 2 ] || fail "an unknown command gave status $status"
grep -q 'unknown command: screenshot' "$E2E_TMP/err" || fail "no error for an unknown command"
[ ! -s "$E2E_TMP/out" ] || fail "an unknown command printed to standard output"

status=0
"$KIVO_BIN" quit 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] && grep -q 'not running' "$E2E_TMP/err" || fail "kivo quit with nothing running: status $status"
[ ! -e "$XDG_RUNTIME_DIR/kivo.socket" ] || fail "kivo quit left a socket"

if [ -n "${KIVO_BUILD_DIR:-}" ]; then
    cmake --install "$KIVO_BUILD_DIR" --prefix "$E2E_TMP/prefix" >/dev/null || fail "cmake --install failed"
    p=$E2E_TMP/prefix
    [ -x "$p/bin/kivo" ] || fail "no installed binary"
    desktop=$p/share/applications/kivo.desktop
    grep -q '^Exec=kivo$' "$desktop" || fail "the desktop entry does not start kivo"
    grep -q '^Exec=kivo gui$' "$desktop" || fail "the desktop entry has no kivo gui action"
    if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || fail "invalid desktop entry"; fi
    for s in 16 24 32 48; do
        [ "$(identify -format '%wx%h' "$p/share/icons/hicolor/${s}x${s}/apps/kivo.png")" = "${s}x${s}" ] ||
            fail "no ${s}px icon"
    done
fi
e2e_pass

#!/usr/bin/env bash
# `make deb`'s package in a throwaway root: control data, dependencies, lintian, installed files.
. "$(dirname "$0")/lib.sh"
: "${KIVO_BUILD_DIR:?KIVO_BUILD_DIR must name the build folder}"

cpack -G DEB -B "$E2E_TMP/deb" --config "$KIVO_BUILD_DIR/CPackConfig.cmake" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$E2E_TMP/cpack.log")"
deb=$(ls "$E2E_TMP"/deb/kivo_*.deb)
[ "$(dpkg-deb -f "$deb" Package Version Architecture | cut -d' ' -f2 | xargs)" = "kivo $("$KIVO_BIN" --version) $(dpkg --print-architecture)" ] ||
    fail "control data: $(dpkg-deb -f "$deb")"
# Every library the binary links is a dependency, and nothing for building is.
depends=$(dpkg-deb -f "$deb" Depends)
mapfile -t libraries < <(objdump -p "$KIVO_BIN" | awk -v dir="*/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/" '$1 == "NEEDED" {print dir $2}')
owners=$(dpkg -S "${libraries[@]}") || fail "a library of no package: $owners"
for owner in $(cut -d: -f1 <<<"$owners" | sort -u); do
    [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]] ||
        fail "$owner (a library the binary links) is not in Depends: $depends"
done
for data in qt6-translations-l10n qt6-image-formats-plugins fonts-noto-cjk; do
    [[ ", $depends," == *", $data,"* && "$depends" != *-dev* ]] || fail "$data missing, or a -dev package, in Depends: $depends"
done
# Built on Qt's private font cache: only the very Qt release it was built with will do.
[[ ", $depends," == *", qt6-base-abi (= $(pkg-config --modversion Qt6Gui)),"* ]] || fail "no exact Qt release in Depends: $depends"
lintian --fail-on error "$deb" >"$E2E_TMP/lintian.log" 2>&1 || fail "lintian: $(cat "$E2E_TMP/lintian.log")"

root="$E2E_TMP/root" share="$E2E_TMP/root/usr/share"
dpkg-deb -x "$deb" "$root"
[ "$("$root/usr/bin/kivo" --version)" = "$("$KIVO_BIN" --version)" ] || fail "the packaged binary does not run"
for s in 16 24 32 48 64 128 256; do
    [ "$(identify -format %wx%h "$share/icons/hicolor/${s}x$s/apps/kivo.png" 2>/dev/null)" = "${s}x$s" ] || fail "no ${s}x$s icon"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/kivo.svg" || fail "no scalable icon"
[ -s "$share/doc/kivo/copyright" ] || fail "no copyright file"

# The menu entry and its action open a capture (never the "already running" box).
desktop="$share/applications/kivo.desktop"
[ -z "$(desktop-file-validate "$desktop" 2>&1)" ] || fail "desktop entry: $(desktop-file-validate "$desktop" 2>&1)"
[ "$(grep '^Exec=' "$desktop" | sort -u)" = "Exec=kivo gui" ] || fail "Exec lines: $(grep '^Exec=' "$desktop")"
appstreamcli validate-tree --no-net "$root" >"$E2E_TMP/appstream.log" 2>&1 ||
    fail "AppStream: $(cat "$E2E_TMP/appstream.log")"

# The manual page renders without a warning and names every command of --help.
page="$share/man/man1/kivo.1.gz"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >"$E2E_TMP/man.txt") && [ -z "$warnings" ] ||
    fail "man -l failed or warns: $warnings"
for command in $("$KIVO_BIN" --help | awk '/^Commands:/ {on = 1; next} on && /^  [^ ]/ {print $1}'); do
    grep -q -- "$command" "$E2E_TMP/man.txt" || fail "the manual page lacks $command"
done
e2e_pass

#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a
# scratch root and checks what a user installing it gets: the programs
# (the installed qgm-cli runs), a desktop entry that validates, the icons,
# AppStream metadata that validates, the man page, and dependencies taken
# from the linked libraries.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package: $*" >&2; exit 1; }

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/qgm_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package was made"
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

depends=$(dpkg-deb -f "$deb" Depends)
echo "package: Depends: $depends"
for lib in libqt6widgets6 libcurl4 libssl3 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in qgm qgm-cli qgm-update corvalink-sim; do
  [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is missing"
done
version=$("$root/usr/bin/qgm-cli" version) || fail "the installed qgm-cli does not run"
[ "$version" = "$(dpkg-deb -f "$deb" Version)" ] || fail "qgm-cli says $version"

desktop=$root/usr/share/applications/com.corvalink.qgm.desktop
[ -f "$desktop" ] || fail "no desktop entry"
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -q '^Exec=qgm --demo$' "$desktop" || fail "no Demo action"
for size in 16 22 24 32 48 64 128 256 512; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/com.corvalink.qgm.png
  [ -f "$icon" ] || fail "no ${size}px icon"
  file "$icon" | grep -q "PNG image data, $size x $size" || fail "the ${size}px icon is $(file -b "$icon")"
done
metainfo=$root/usr/share/metainfo/com.corvalink.qgm.metainfo.xml
[ -f "$metainfo" ] || fail "no AppStream metadata"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.log" 2>&1 ||
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "the AppStream metadata does not validate"; }
fi
man=$root/usr/share/man/man1/qgm-cli.1.gz
[ -f "$man" ] || man=$root/usr/share/man/man1/qgm-cli.1
[ -f "$man" ] || fail "no man page"
echo "package: ok"

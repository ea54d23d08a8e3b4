#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a
# scratch root and checks what a user installing it gets: the programs
# (the installed qgm-cli runs), a desktop entry that validates, the icons,
# AppStream metadata that validates, the man pages, dependencies that are
# exactly what the programs load, a clean lintian report, and that a purge
# takes away every file the package installed.
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
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "package: Recommends: $recommends"
grep -q "xdg-utils" <<<"$recommends" || fail "Recommends lacks xdg-utils (xdg-open)"
grep -q "pulseaudio-utils" <<<"$recommends" || fail "Recommends lacks a sound player"

root=$work/root
dpkg-deb -x "$deb" "$root"
programs=()
for program in qgm qgm-cli qgm-update corvalink-sim; do
  [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is missing"
  programs+=("$root/usr/bin/$program")
done
# Every package it depends on holds a library the programs load.
loaded=$(ldd "${programs[@]}" | sed -n 's/.*=> \(\/[^ ]*\).*/\1/p' | sort -u |
  while read -r lib; do dpkg-query -S "$lib" 2>/dev/null || dpkg-query -S "$(readlink -f "$lib")"; done |
  sed 's/:.*//' | sort -u)
for dep in $(sed 's/([^)]*)//g; s/|/,/g; s/,/ /g' <<<"$depends"); do
  grep -qx "$dep" <<<"$loaded" || fail "Depends names $dep, which no installed program loads"
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
for page in qgm qgm-cli qgm-update corvalink-sim; do
  man=$root/usr/share/man/man1/$page.1.gz
  [ -f "$man" ] || fail "no man page for $page"
  # A page that does not render (a roff fault) is as bad as none.
  zcat "$man" | LC_ALL=C.UTF-8 groff -man -Tutf8 -P-cbou -ww 2>"$work/man.err" | grep -q "^NAME" ||
    fail "the $page man page does not render"
  [ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; fail "the $page man page has faults"; }
done

# lintian, as a distribution would run it: no error, no warning.
lintian --version
if ! lintian --fail-on error,warning --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log" >&2
  fail "lintian reports errors or warnings"
fi
sed 's/^/package: lintian: /' "$work/lintian.log"

# Installed into a root of its own and purged, nothing of it is left: the
# package has no maintainer scripts that make files, and dpkg knows them all.
if [ "$(id -u)" -eq 0 ]; then
  sys=$work/sys
  mkdir -p "$sys/var/lib/dpkg/info" "$sys/var/lib/dpkg/updates" "$sys/var/log"
  touch "$sys/var/lib/dpkg/status"
  dpkg --root="$sys" --force-depends --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg -i into a scratch root failed"; }
  installed=$(find "$sys" -path "$sys/var" -prune -o -type f -print | wc -l)
  [ "$installed" -ge 20 ] || fail "only $installed files were installed"
  dpkg --root="$sys" --force-depends --log=/dev/null --purge qgm >>"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg --purge failed"; }
  left=$(find "$sys" -mindepth 1 -path "$sys/var" -prune -o -print)
  [ -z "$left" ] || fail "after the purge these are left: $left"
  echo "package: $installed files installed, none left after the purge"
else
  echo "package: the purge check installs into a scratch root and needs root; not run"
fi
echo "package: ok"

#!/usr/bin/env bash
# `cmake --install` puts the program beside its help page, a link to it on the PATH, the
# desktop entry that opens MIDI files, the icon in every size and scalable, and the
# AppStream metainfo that software centres read, and the manual pages.
#   tests/install_layout.sh BUILD_FOLDER
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

fail() { echo "install layout: $*" >&2; exit 1; }
[ -x "$root/usr/lib/lumaroth/lumaroth" ] || fail "no program in lib/lumaroth"
[ -f "$root/usr/lib/lumaroth/Lumaroth.html" ] || fail "no help page beside the program"
[ "$(readlink "$root/usr/bin/lumaroth")" = "../lib/lumaroth/lumaroth" ] || fail "bin/lumaroth is not the link"
[ -x "$root/usr/bin/lumaroth-cli" ] || fail "no lumaroth-cli"
desktop="$root/usr/share/applications/lumaroth.desktop"
grep -qx 'MimeType=audio/midi;audio/x-midi;' "$desktop" || fail "desktop entry lacks the MIDI types"
grep -qx 'Exec=lumaroth %f' "$desktop" || fail "desktop entry does not pass the file"
grep -qx 'Icon=lumaroth' "$desktop" || fail "desktop entry names another icon"
# Each size of the icon is an image of that size, and a scalable one beside them.
for size in 16 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/lumaroth.png"
  [ "$(head -c 24 "$icon" | tail -c 8 | od -An -tx1 | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
    fail "the ${size}x${size} icon is not $size x $size"
done
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/lumaroth.svg" || fail "no scalable icon"
[ -f "$root/usr/share/metainfo/lumaroth.metainfo.xml" ] || fail "no AppStream metainfo"
for page in lumaroth lumaroth-cli; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH" || fail "no manual page for $page"
done
zcat "$root/usr/share/man/man1/lumaroth-cli.1.gz" | grep -q -- "--soundfont" ||
  fail "lumaroth-cli's manual page does not hold its options"
echo "install layout: program, help page, link, desktop entry, icons, AppStream metainfo and manual pages in place"

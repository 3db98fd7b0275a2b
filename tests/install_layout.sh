#!/usr/bin/env bash
# `cmake --install` puts the program beside its help page, a link to it on the PATH, the
# desktop entry that opens MIDI files, and the icon.
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
icon="$root/usr/share/icons/hicolor/32x32/apps/lumaroth.png"
[ "$(head -c 24 "$icon" | tail -c 8 | od -An -tx1 | tr -d ' \n')" = "0000002000000020" ] || fail "the icon is not 32 x 32"
echo "install layout: program, help page, link, desktop entry and icon in place"

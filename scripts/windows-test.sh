#!/usr/bin/env bash
# Builds Lumaroth.exe, the core engine's and the scheduler's tests with mingw-w64 and
# runs them under Wine, then drives the program's window. Everything runs on one X server (Xvfb): Wine's
# desktop process starts with the prefix and keeps the display it found then, so the
# prefix is booted under the display the window test uses. Screenshots and Wine's log
# stay in build-win/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${LUMAROTH_IN_XVFB:-}" ]; then
  export LUMAROTH_IN_XVFB=1
  # -noreset: the server must not restart between the runs, when the last client leaves
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
scripts/windows-build.sh windows >/dev/null

# Wine's ANSI code page is 932 in a Japanese locale and 1252 in an English one: the
# window is tested in both.
for name in ja_JP en_US; do
  locale -a 2>/dev/null | grep -qi "^$name\.utf8\$" || localedef -i "$name" -f UTF-8 "$name.UTF-8"
done
export LANG=ja_JP.UTF-8 WINEDEBUG=-all WINEPREFIX="$PWD/build-win/wine-prefix"
rm -rf build-win/screenshots
mkdir -p "$WINEPREFIX" build-win/screenshots
# A running wineserver and a booted prefix first, so that no Wine process of the tests
# starts them and holds ctest's output open.
wineserver -p
trap 'wineserver -k || true' EXIT
wine wineboot -i >build-win/screenshots/wineboot.log 2>&1
(cd build-win && ctest --output-on-failure --timeout 600)
tests/wine_window.sh build-win/Lumaroth.exe build-win/Lumaroth-recording.exe samples/lumaroth-demo.mid \
  build-win/screenshots

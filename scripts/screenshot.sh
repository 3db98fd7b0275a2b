#!/usr/bin/env bash
# Makes the README's pictures, headless, with the demo song loaded after Play:
# docs/screenshot.png (the window) and docs/screenshot-views.png (on a 1600x1000 screen, four
# seconds in, with the channel and lyrics windows beside it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh plain --target window_screenshot
mkdir -p docs
QT_QPA_PLATFORM=offscreen:configfile=$PWD/tests/data/screen_1600x1000.json \
  build/tests/window_screenshot samples/lumaroth-demo.mid docs/screenshot.png \
  docs/screenshot-views.png
echo "docs/screenshot.png docs/screenshot-views.png"

#!/usr/bin/env bash
# Makes docs/screenshot.png: the window, headless, with the demo song loaded after Play.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh plain --target window_screenshot
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/tests/window_screenshot samples/lumaroth-demo.mid docs/screenshot.png
echo "docs/screenshot.png"

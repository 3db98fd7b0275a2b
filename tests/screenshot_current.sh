#!/usr/bin/env bash
# The README's picture is the window as it is now: docs/screenshot.png equals, pixel for
# pixel, what scripts/screenshot.sh makes of the current build.
#   tests/screenshot_current.sh WINDOW_SCREENSHOT SONG PICTURE
set -euo pipefail
tool=$1 song=$2 picture=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch QT_QPA_PLATFORM=offscreen
"$tool" "$song" "$scratch/now.png"
if ! differing=$(compare -metric AE "$picture" "$scratch/now.png" null: 2>&1); then
  echo "$picture is out of date ($differing pixels differ): run scripts/screenshot.sh" >&2
  exit 1
fi
echo "screenshot: $picture is current"

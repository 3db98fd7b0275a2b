#!/usr/bin/env bash
# The README's pictures are the windows as they are now: docs/screenshot.png and
# docs/screenshot-views.png equal, pixel for pixel, what scripts/screenshot.sh makes of the
# current build.
#   tests/screenshot_current.sh WINDOW_SCREENSHOT SONG PICTURE VIEWS_PICTURE
set -euo pipefail
tool=$1 song=$2 picture=$3 views=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch
export QT_QPA_PLATFORM=offscreen:configfile=$(cd "$(dirname "$0")" && pwd)/data/screen_1600x1000.json
"$tool" "$song" "$scratch/now.png" "$scratch/views.png"
for pair in "$picture:$scratch/now.png" "$views:$scratch/views.png"; do
  if ! differing=$(compare -metric AE "${pair%%:*}" "${pair#*:}" null: 2>&1); then
    echo "${pair%%:*} is out of date ($differing pixels differ): run scripts/screenshot.sh" >&2
    exit 1
  fi
done
echo "screenshot: $picture and $views are current"

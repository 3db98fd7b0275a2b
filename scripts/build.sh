#!/usr/bin/env bash
# Configures and builds one of the presets in CMakePresets.json (plain, player, asan,
# tsan, release, windows, windows-release, fuzz); any further arguments go to the build,
# for example --target NAME.
#   scripts/build.sh [PRESET [BUILD ARGUMENTS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-plain}
shift || true
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)" "$@"

#!/usr/bin/env bash
# Builds Lumaroth into a folder:
#   scripts/build.sh [FOLDER [CMAKE OPTIONS...] [--target TARGETS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build}
shift || true
options=()
while [ $# -gt 0 ] && [ "$1" != "--target" ]; do options+=("$1"); shift; done
cmake -S . -B "$folder" "${options[@]}" >/dev/null
cmake --build "$folder" -j"$(nproc)" "$@"

#!/usr/bin/env bash
# Builds Lumaroth into a folder: scripts/build.sh [FOLDER [CMAKE OPTIONS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build}
shift || true
cmake -S . -B "$folder" "$@" >/dev/null
cmake --build "$folder" -j"$(nproc)"

#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player on our demo song.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DLUMAROTH_TESTS=OFF -DLUMAROTH_BENCH=OFF
exec build/lumaroth-cli info samples/lumaroth-demo.mid "$@"

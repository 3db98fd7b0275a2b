#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player (any arguments go to it: a
# song to open at start).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
scripts/build.sh player
exec build/lumaroth "$@"

#!/usr/bin/env bash
# Installs, on Debian 12, the packages Lumaroth needs to build, run and test; only the
# missing ones, so a second run does nothing.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfluidsynth-dev libasound2-dev fluid-soundfont-gm
  qt6-base-dev fonts-ipafont-gothic
  xvfb xauth xdotool
  g++-mingw-w64-x86-64-posix wine wine64 locales imagemagick zip
  clang-14 libclang-rt-14-dev python3
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y --no-install-recommends "${missing[@]}"

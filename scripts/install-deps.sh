#!/usr/bin/env bash
# Installs, on Debian 12, the packages one purpose needs; only the missing ones, so a
# second run does nothing.
#   scripts/install-deps.sh play|package|test
#     play     build the player and lumaroth-cli, and play
#     package  play, plus what makes the release files (the .deb, the Windows zip)
#     test     package, plus what the tests, benchmarks and fuzzers need
set -euo pipefail

play=(
  g++ make cmake pkg-config
  libfluidsynth-dev libasound2-dev libglib2.0-dev fluid-soundfont-gm
  qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic
)
package=(
  dpkg-dev file g++-mingw-w64-x86-64-posix lintian csound-soundfont
)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick appstream pulseaudio pulseaudio-utils
  wine wine64 locales
  clang-14 libclang-rt-14-dev python3
)

case "${1:-}" in
  play) packages=("${play[@]}") ;;
  package) packages=("${play[@]}" "${package[@]}") ;;
  test) packages=("${play[@]}" "${package[@]}" "${test[@]}") ;;
  *) echo "usage: $0 play|package|test" >&2; exit 64 ;;
esac

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

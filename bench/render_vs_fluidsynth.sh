#!/usr/bin/env bash
# Whole-process CPU seconds and peak memory of `lumaroth-cli render` against the
# fluidsynth command-line player rendering the same song with the same SoundFont, both
# in real time. Usage: bench/render_vs_fluidsynth.sh [SONG] (default: our demo song)
set -euo pipefail
cd "$(dirname "$0")/.."
song=${1:-samples/lumaroth-demo.mid}
sound_font=${LUMAROTH_SOUNDFONT:-/usr/share/sounds/sf2/FluidR3_GM.sf2}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

measure() {  # prints "cpu_seconds peak_kib wall_seconds"
  /usr/bin/time -f "%U %S %M %e" -o "$out/time" "$@" >/dev/null 2>&1
  awk '{printf "%.2f %d %.1f\n", $1 + $2, $3, $4}' "$out/time"
}

read -r ours_cpu ours_kib ours_wall < <(LUMAROTH_SOUNDFONT=$sound_font measure build/lumaroth-cli render "$song" "$out/ours.wav" --realtime)
read -r theirs_cpu theirs_kib theirs_wall < <(measure fluidsynth -ni -a file -o audio.file.name="$out/theirs.wav" \
  -o audio.period-size=64 "$sound_font" "$song")

echo "song: $song ($(stat -c %s "$song") bytes), SoundFont: $sound_font"
printf "%-22s %8s %10s %8s\n" "" "CPU s" "peak MiB" "wall s"
printf "%-22s %8s %10.1f %8s\n" "lumaroth-cli render --realtime" "$ours_cpu" "$(echo "$ours_kib/1024" | bc -l)" "$ours_wall"
printf "%-22s %8s %10.1f %8s\n" "fluidsynth -ni -a file" "$theirs_cpu" "$(echo "$theirs_kib/1024" | bc -l)" "$theirs_wall"
printf "ratio lumaroth/fluidsynth: CPU %.2f, peak memory %.2f\n" \
  "$(echo "$ours_cpu/$theirs_cpu" | bc -l)" "$(echo "$ours_kib/$theirs_kib" | bc -l)"
echo "(lumaroth plays on for the 10 s without messages that end a song; fluidsynth stops at the last event)"

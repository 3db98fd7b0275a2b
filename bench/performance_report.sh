#!/usr/bin/env bash
# Writes docs/PERFORMANCE.md: Lumaroth against the fluidsynth player and timidity on three
# public test songs (the smallest with at least 20 notes, the densest in notes per second
# of those under two minutes, the largest under 64 KiB), on this machine, in one run.
# Takes about as long as the songs play, twice over (the real-time players), plus a bit.
#   bench/performance_report.sh   (after scripts/build.sh plain; needs fluidsynth, timidity,
#                                  xvfb-run and xdotool)
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=../shared/corpus
sound_font=${LUMAROTH_SOUNDFONT:-/usr/share/sounds/sf2/FluidR3_GM.sf2}
cli=build/lumaroth-cli timing=build/bench/wav_timing
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "soundfont $sound_font" >"$work/timidity.cfg"

# "notes seconds" of a song: note-ons and the last event's time.
notes_and_length() {
  "$cli" timeline "$1" | awk -F'\t' 'NR > 1 && $3 ~ /^9/ && $3 !~ / 00$/ {n++} NR > 1 {t = $2} END {printf "%d %.1f\n", n, t / 1000}'
}
first_note_ms() {
  "$cli" timeline "$1" | awk -F'\t' 'NR > 1 && $3 ~ /^9/ && $3 !~ / 00$/ {print $2; exit}'
}

echo "choosing songs..." >&2
: >"$work/songs"
while IFS= read -r song; do
  read -r notes seconds < <(notes_and_length "$song") || continue
  echo "$(stat -c %s "$song") $notes $seconds $song" >>"$work/songs"
done < <(find "$corpus" -name '*.mid' -size -65537c | sort)
small=$(awk '$2 >= 20' "$work/songs" | sort -n | sed -n 1p | cut -d' ' -f4-)
dense=$(awk '$3 > 0 && $3 <= 120 {printf "%f %s\n", $2 / $3, $0}' "$work/songs" | sort -rn | sed -n 1p | cut -d' ' -f5-)
largest=$(sort -n "$work/songs" | tail -1 | cut -d' ' -f4-)

# "cpu_s peak_kib wall_s" of a command.
measure() {
  /usr/bin/time -f "%U %S %M %e" -o "$work/time" "$@" >/dev/null 2>&1 || true
  awk '{printf "%.2f %d %.2f\n", $1 + $2, $3, $4}' "$work/time"
}

# One player on one song: "cpu_s peak_kib latency_ms" where latency is from the start of
# the process to the first sound, less the song's own time before its first note (only
# for the players that render in real time).
run_player() {
  local player=$1 song=$2 wav="$work/$1.wav" realtime=1
  local cpu kib wall first duration
  case $player in
    lumaroth) read -r cpu kib wall < <(LUMAROTH_SOUNDFONT=$sound_font measure "$cli" render "$song" "$wav") ;;
    fluidsynth) read -r cpu kib wall < <(measure fluidsynth -ni -a file -o audio.file.name="$wav" \
                  -o audio.period-size=64 -o synth.device-id=16 "$sound_font" "$song") ;;
    timidity) realtime=0
              read -r cpu kib wall < <(measure timidity -c "$work/timidity.cfg" -Ow -o "$wav" "$song") ;;
  esac
  read -r first duration < <("$timing" first "$wav")
  if [ "$realtime" = 1 ]; then
    latency=$(awk -v w="$wall" -v d="$duration" -v f="$first" -v i="$(first_note_ms "$song")" \
      'BEGIN {printf "%.0f", w * 1000 - d + f - i}')
  else
    latency="n/a"
  fi
  echo "$cpu $kib $latency"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0 && a != "n/a" && b != "n/a") printf "%.2f", a / b; else print "n/a"}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }

{
  echo "# Performance"
  echo
  echo "Made by \`bench/performance_report.sh\` on $(date -u +%Y-%m-%d): $(lscpu | sed -n 's/^Model name: *//p' | sed -n 1p),"
  echo "$(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB, $(. /etc/os-release && echo "$PRETTY_NAME"); SoundFont $(basename "$sound_font") for every player."
  echo "Lumaroth is \`lumaroth-cli render\` (the window's very path into a WAV file in real time;"
  echo "its synthesizer loads only the samples of the presets a song selects);"
  echo "fluidsynth is \`fluidsynth -ni -a file\` (period 64, real time); timidity is \`timidity -Ow\`,"
  echo "which renders as fast as it can, so it has no real-time latency."
  echo
  echo "Latency: from starting the process to the first sound, less the song's own time before"
  echo "its first note. CPU and peak memory: the whole process while it plays the whole song"
  echo "(Lumaroth plays on for the 10 silent seconds that end a song). Ratios are Lumaroth's"
  echo "figure over the other player's: below 1 is better for Lumaroth."
  echo
  echo "| song | bytes, notes, seconds | player | CPU s | peak MiB | latency ms |"
  echo "|---|---|---|---|---|---|"
} >"$work/report.md"
: >"$work/ratios.md"

for kind in small dense largest; do
  song=${!kind}
  read -r bytes notes seconds _ < <(grep -F " $song" "$work/songs")
  echo "$kind: $song" >&2
  declare -A cpu=() kib=() latency=()
  for player in lumaroth fluidsynth timidity; do
    read -r "cpu[$player]" "kib[$player]" "latency[$player]" < <(run_player "$player" "$song")
    echo "| $kind: ${song#"$corpus"/} | $bytes, $notes, $seconds | $player | ${cpu[$player]} | $(mib "${kib[$player]}") | ${latency[$player]} |" >>"$work/report.md"
  done
  [ "$kind" = small ] && latency_small_fluidsynth=${latency[fluidsynth]}
  for other in fluidsynth timidity; do
    echo "| $kind | $other | $(ratio "${cpu[lumaroth]}" "${cpu[$other]}") | $(ratio "${kib[lumaroth]}" "${kib[$other]}") | $(ratio "${latency[lumaroth]}" "${latency[$other]}") |" >>"$work/ratios.md"
  done
done

# Timing: a click track of 40 short hits at known times, rendered by each player; onsets
# found in the WAV against the ideal times.
"$timing" click "$work/click.mid" "$work/click.txt"
{
  echo
  echo "## Ratios, Lumaroth over the other player"
  echo
  echo "| song | against | CPU | peak memory | latency |"
  echo "|---|---|---|---|---|"
  cat "$work/ratios.md"
  echo
  echo "## Note timing"
  echo
  echo "A click track of 40 short hits at varied known times (\`wav_timing click\`), rendered"
  echo "by each player; onsets found in the WAV are compared with the ideal times. Offset: the"
  echo "median difference (the output's constant delay); spread: the largest minus the smallest"
  echo "difference once the offset is taken away. timidity's file leaves out the silence before"
  echo "the first sound, hence its offset."
  echo
  echo "| player | hits found | offset ms | spread ms |"
  echo "|---|---|---|---|"
} >>"$work/report.md"
# "found expected offset spread" of one player's click track.
click_onsets() {
  run_player "$1" "$work/click.mid" >/dev/null
  "$timing" onsets "$work/$1.wav" "$work/click.txt"
}
declare -A spread=()
for player in lumaroth fluidsynth timidity; do
  read -r found expected offset "spread[idle-$player]" < <(click_onsets "$player")
  echo "| $player | $found of $expected | $offset | ${spread[idle-$player]} |" >>"$work/report.md"
done

# The same under load: both cores kept busy by two `yes`, and by a parallel build of this
# project. timidity renders offline, so load cannot move its notes.
# Each load runs in a session of its own, ended as a whole.
busy_yes() { setsid bash -c 'yes >/dev/null & yes >/dev/null & wait' & }
busy_build() {
  rm -rf "$work/build"
  cmake -S . -B "$work/build" -DLUMAROTH_TESTS=OFF -DLUMAROTH_BENCH=OFF >/dev/null
  setsid bash -c "while :; do cmake --build '$work/build' -j2 --clean-first >/dev/null 2>&1; done" &
}
{
  echo
  echo "Under load: both cores kept busy by two \`yes > /dev/null\`, and by a parallel build of"
  echo "this project (\`cmake --build -j2\`, started again as it ends)."
  echo
  echo "| load | player | hits found | offset ms | spread ms | spread, Lumaroth over fluidsynth |"
  echo "|---|---|---|---|---|---|"
} >>"$work/report.md"
for load in yes build; do
  "busy_$load"
  load_pid=$!
  sleep 2
  for player in lumaroth fluidsynth; do
    read -r found expected offset "spread[$load-$player]" < <(click_onsets "$player")
    row="| $load | $player | $found of $expected | $offset | ${spread[$load-$player]} |"
    [ "$player" = fluidsynth ] && row="$row $(ratio "${spread[$load-lumaroth]}" "${spread[$load-fluidsynth]}") |" || row="$row |"
    echo "$row" >>"$work/report.md"
  done
  kill -- "-$load_pid" 2>/dev/null || true
  wait "$load_pid" 2>/dev/null || true
done

# The window's own path: the program's window (offscreen), the synthesizer loading on its
# thread as the window starts, Play pressed after Open; on the demo song, whose first note
# is at its start. fluidsynth's figure to compare is its start to first sound.
window_figures=$(LUMAROTH_SOUNDFONT=$sound_font build/bench/bench_window_play samples/lumaroth-demo.mid 2>/dev/null)
first_play=$(sed -n 's/^Play 1: .* first note \([0-9.]*\) ms$/\1/p' <<<"$window_figures")
later_play=$(sed -n 's/^Play 3: .* first note \([0-9.]*\) ms$/\1/p' <<<"$window_figures")
jump=$(sed -n 's/^Jump: .* first note \([0-9.]*\) ms$/\1/p' <<<"$window_figures")
resume=$(sed -n 's/^Resume: .* first note \([0-9.]*\) ms$/\1/p' <<<"$window_figures")
repeat_gap=$(sed -n 's/^Repeat: .* again \([0-9.]*\) ms$/\1/p' <<<"$window_figures")
{
  echo
  echo "## The window: first Play"
  echo
  echo "\`build/bench/bench_window_play\` on the demo song (its first note 5 ms in): the program's window (Qt,"
  echo "offscreen) with the synthesizer and SoundFont loading on their own thread as it starts,"
  echo "Play pressed after Open, into a WAV file. Play -> first note: first Play $first_play ms,"
  echo "third Play $later_play ms (the scheduler's first note is due 12 ms after the start, at"
  echo "the second 6 ms tick). Against fluidsynth's start to first sound on the same song"
  echo "(${latency_small_fluidsynth} ms): first Play $(ratio "$first_play" "$latency_small_fluidsynth")."
  echo "A jump while playing that lands on a note (10 s in) sends that note $jump ms after the"
  echo "press, chase included; a resume that lands on a note, $resume ms after."
  echo "With 繰り返し 1曲 the gap between two songs, from the song's last message to its first"
  echo "note again, is $repeat_gap ms: 1.5 s for the last notes to die away, then the stop, the"
  echo "next start and its first tick (the same for the folder's next song, less its Open)."
  echo
  echo '```'
  echo "$window_figures"
  echo '```'
} >>"$work/report.md"

# Start-up: from starting the program to its window being shown with the song painted.
startup_ms() {
  local start pid
  start=$(date +%s%N)
  build/lumaroth "$1" &
  pid=$!
  xdotool search --sync --onlyvisible --name "^Lumaroth - " >/dev/null
  echo $((($(date +%s%N) - start) / 1000000))
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
# xvfb-run's shell drops exported functions: hand it the definition.
startups=$(xvfb-run -a bash -c "$(declare -f startup_ms); for i in 1 2 3 4 5; do startup_ms '$largest'; done" \
  2>/dev/null | sort -n | tr '\n' ' ')
{
  echo
  echo "## Start-up"
  echo
  echo "From starting \`lumaroth SONG\` (the largest song) to its window shown on Xvfb, five runs:"
  echo "$startups ms (median $(echo "$startups" | awk '{print $3}') ms). fluidsynth and timidity have no window."
  echo
  echo "## Reproduce"
  echo
  echo '```sh'
  echo "scripts/build.sh plain && apt-get install -y fluidsynth timidity && bench/performance_report.sh"
  echo '```'
} >>"$work/report.md"
mkdir -p docs
cp "$work/report.md" docs/PERFORMANCE.md
echo "docs/PERFORMANCE.md"

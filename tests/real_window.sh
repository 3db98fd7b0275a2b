#!/usr/bin/env bash
# The program as a user starts it, on a real X server (Xvfb): the window appears titled
# "Lumaroth - (untitled)" and 終了(&X) ends it with exit code 0; started with a song,
# the caption names it, also a name Shift-JIS cannot hold; a second start hands its song
# to the running window and ends, also a name relative to another folder, and says so
# when a stopped window cannot take it; without a display it says so.
#   tests/real_window.sh PROGRAM SONG
set -euo pipefail
program=$(realpath "$1") song=$2
if [ -z "${LUMAROTH_IN_XVFB:-}" ]; then
  export LUMAROTH_IN_XVFB=1
  # -noreset: the server must not restart between the runs, when the last client leaves
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
scratch=$(mktemp -d)
# The one-program lock and the settings are this test's own, not the desktop's.
export XDG_RUNTIME_DIR=$scratch XDG_CONFIG_HOME=$scratch
export LUMAROTH_MIDI_OUT="wav:$scratch/out.wav"
unset QT_QPA_PLATFORM
# On a real display the X, D-Bus and font libraries keep what they hold until the
# process ends: a sanitizer build is checked for leaks by the headless tests instead.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

# A failed wait leaves the screen as it was.
screen_at_failure() {
  import -window root "$scratch/failure.png" 2>/dev/null &&
    echo "the screen at this failure: $scratch/failure.png" >&2
}

# Polls for a visible window with this exact name; prints its id.
wait_for_window() {
  local name=$1 pattern
  pattern=$(printf '%s' "$name" | sed 's/[][().*+?^$|\\]/\\&/g')
  local deadline=$((SECONDS + 60))  # a busy machine starts a program slowly
  while [ $SECONDS -lt $deadline ]; do
    if id=$(xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null | head -1) && [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window named '$name' appeared" >&2
  screen_at_failure
  return 1
}

# Exits through the File menu, with the keyboard as a user would: Alt+F, then X; the
# keys go again until the program has ended or the time is up.
exit_through_menu() {
  local window=$1 pid=$2
  for _ in $(seq 20); do
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key alt+f x 2>/dev/null || true
    for _ in $(seq 10); do
      kill -0 "$pid" 2>/dev/null || break 2
      sleep 0.1
    done
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not end through the menu" >&2
    screen_at_failure
    kill "$pid"
    return 1
  fi
  wait "$pid"
}

# Without a display the program says so in one line and exits 1.
if message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1); then
  echo "started without a display" >&2
  exit 1
fi
no_display="lumaroth: cannot open a display: set DISPLAY or run from a desktop session"
[ "$message" = "$no_display" ] || { echo "without a display: $message" >&2; exit 1; }
for display in :4242 nonsense; do  # no server there
  if message=$(DISPLAY=$display "$program" 2>&1); then
    echo "started on DISPLAY=$display" >&2
    exit 1
  fi
  [ "$message" = "$no_display" ] || { echo "DISPLAY=$display: $message" >&2; exit 1; }
done
echo "no display, or one that cannot be opened: one line, exit code 1"

"$program" &
pid=$!
window=$(wait_for_window "Lumaroth - (untitled)")
exit_through_menu "$window" "$pid"
echo "untitled start and exit: exit code 0"

# As a file manager starts it: one argument. A name with quotes of its own opens as
# named, not the unquoted name beside it (names with blanks: the hand-over below).
named="$scratch/\"quoted.mid\""
cp "$song" "$named"
cp "$song" "$scratch/quoted.mid"
"$program" "$named" &
pid=$!
window=$(wait_for_window "Lumaroth - \"quoted.mid\"")
exit_through_menu "$window" "$pid"
echo "start with a song whose name holds quotes: caption names it, exit code 0"

# One window: a second start hands over its song and ends; a third, without a song, only
# brings the window forward. The name holds accented Latin, Hangul and an emoji.
"$program" &
pid=$!
window=$(wait_for_window "Lumaroth - (untitled)")
unicode="$scratch/Café 한국어 🎵.mid"
cp "$song" "$unicode"
timeout 60 "$program" "$unicode" || { echo "the second start did not end: $?" >&2; exit 1; }
[ "$(wait_for_window "Lumaroth - Café 한국어 🎵.mid")" = "$window" ] ||
  { echo "another window took the song" >&2; exit 1; }
[ "$(xdotool getwindowname "$window")" = "Lumaroth - Café 한국어 🎵.mid" ] ||
  { echo "caption: $(xdotool getwindowname "$window")" >&2; exit 1; }
timeout 60 "$program" || { echo "the third start did not end: $?" >&2; exit 1; }
[ "$(xdotool search --onlyvisible --name '^Lumaroth - ' | wc -l)" = 1 ] ||
  { echo "more than one window" >&2; exit 1; }
# A name relative to the second start's folder names the file there, not in the window's.
mkdir "$scratch/elsewhere"
cp "$song" "$scratch/elsewhere/only here.mid"
(cd "$scratch/elsewhere" && timeout 60 "$program" "only here.mid") ||
  { echo "the relative hand-over failed: $?" >&2; exit 1; }
wait_for_window "Lumaroth - only here.mid" >/dev/null
# A window that cannot answer: the second start says so and fails, in bounded time.
kill -STOP "$pid"
if message=$(timeout 60 "$program" "$unicode" 2>&1); then
  kill -CONT "$pid"
  echo "a hand-over to a stopped window reported success" >&2
  exit 1
fi
kill -CONT "$pid"
[ "$message" = "lumaroth: the running Lumaroth did not answer: the song was not opened" ] ||
  { echo "a hand-over to a stopped window: $message" >&2; exit 1; }
exit_through_menu "$window" "$pid"
echo "a second start hands over a song whose name Shift-JIS cannot hold, and a relative name;" \
  "one window; a stopped window's failure is said"

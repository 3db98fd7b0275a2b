#!/usr/bin/env bash
# Lumaroth.exe under Wine on a real X server (Xvfb), driven as a user would: the window
# appears titled "Lumaroth - (untitled)"; 経路 and 加速 change what is painted; 開く(&O)
# opens the dialog and cancelling it returns; with a song but no sound card (Wine has
# none here) 再生 says why in a box and leaves the window as it was; 終了(&X) ends the
# program with exit code 0; the embedded synthesizer, the output when none is chosen,
# plays into a WAV file and refuses a SoundFont that is none with a box. Then in
# an English locale (code page 1252): the client area with a song is the Japanese
# locale's pixel for pixel; a song named in accented Latin, Hangul and an emoji opens
# from the command line, handed over by a second start to the running window, as does a
# name relative to the second start's folder; Page Down and Page Up go through that
# folder's songs, F2 and F3 open the channel and lyrics windows; missing songs handed over
# give one warning box at a time; a stopped window's hand-over fails and says so; + and =
# change the speed; 出力(&M) lists the outputs and the choice lands in Lumaroth.ini
# beside the program; F1 without a browser says so. The screenshots stay in SHOTS.
# And the build on the recording output: 再生 shows the time and the seek bar, Space
# pauses, Right and a click on the bar jump.
#   tests/wine_window.sh LUMAROTH.EXE RECORDING.EXE SONG SHOTS   (WINEPREFIX prepared by
#   the caller)
set -euo pipefail
exe=$(realpath "$1") recording=$(realpath "$2") song=$3 shots=$(realpath -m "$4")
if [ -z "${LUMAROTH_IN_XVFB:-}" ]; then
  export LUMAROTH_IN_XVFB=1
  # -noreset: the server must not restart between the runs, when the last client leaves
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
# Wine's errors (not its notes on what it has not implemented) go to a log beside the
# shots.
export LANG=ja_JP.UTF-8 WINEDEBUG=fixme-all
scratch=$(mktemp -d)
settings="$(dirname "$exe")/Lumaroth.ini"
rm -f "$settings"
mkdir -p "$shots"

# A failure says why: the screen as it was and the end of Wine's log.
fail() {
  echo "wine window: $*" >&2
  echo "wine window: the screen at this failure: $(take_shot failure)" >&2
  echo "wine window: the last lines of $shots/wine.log:" >&2
  tail -n 20 "$shots/wine.log" >&2 2>/dev/null || true
  exit 1
}

# Polls COMMAND until it succeeds, for at most 60 seconds: a busy machine may take that
# long to start Wine's first window.
poll() {
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(window_named "$1")" ]; }
take_shot() {
  local file
  file="$shots/$(date +%H%M%S%N)-$1.png"
  import -window root "$file"
  echo "$file"
}

# The program's message boxes (titled as the program), and closing one (any box) with its
# OK button at the middle of its lowest row.
boxes() { xdotool search --onlyvisible --name '^Lumaroth$' 2>/dev/null | wc -l; }
has_box() { [ "$(boxes)" -ge 1 ]; }
close_box() {
  local box=$1
  eval "$(xdotool getwindowgeometry --shell "$box" | sed 's/^/BOX_/')"
  xdotool mousemove --sync $((BOX_X + BOX_WIDTH / 2)) $((BOX_Y + BOX_HEIGHT - 22)) click 1
  poll bash -c "! xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx $box"
}

# The client area's top-left corner on the screen: the upper rule is drawn at client
# row 149 in RGB(173, 216, 230).
client_origin() {
  local image=$1 x=$2
  local row
  set +o pipefail  # grep stops reading at the first match
  row=$(convert "$image" -crop "1x768+$((x + 5))+0" txt:- | grep -m1 -i '#ADD8E6' | sed 's/^0,\([0-9]*\):.*/\1/')
  [ -n "$row" ] || fail "no rule found in $image"
  echo "$x $((row - 149))"
}

# A client rectangle of an image, as a checksum.
crop_sum() {
  convert "$1" -crop "$4x$5+$((origin_x + $2))+$((origin_y + $3))" +repage rgb:- | md5sum
}

click_client() {
  xdotool mousemove --sync $((origin_x + $1)) $((origin_y + $2)) click 1
}

changes_at() {  # before, x, y, width, height
  local now
  now=$(take_shot poll)
  [ "$(crop_sum "$1" "$2" "$3" "$4" "$5")" != "$(crop_sum "$now" "$2" "$3" "$4" "$5")" ]
}

menu_keys() {
  xdotool windowfocus "$1" 2>/dev/null || true
  xdotool key alt+f "$2"
}

# Wine's own messages (no sound card, no volume label) go to a log beside the shots.
start_program() {
  wine "$@" 2>>"$shots/wine.log" &
  pid=$!
}
start() { start_program "$exe" "$@"; }
# The window of this title once it shows: its id and geometry, a shot of it named NAME
# (in $shot) and its client area's origin.
find_window() {  # title, name
  poll has_window "$1" || fail "no window titled $1"
  window=$(window_named "$1")
  eval "$(xdotool getwindowgeometry --shell "$window")"
  shot=$(take_shot "$2")
  read -r origin_x origin_y < <(client_origin "$shot" "$X")
}

ends_with_zero() {
  poll bash -c "! kill -0 $pid 2>/dev/null" || fail "the program did not end"
  wait "$pid" || fail "exit code $?"
}

# Untitled start: settings buttons, the open dialog, exit.
start
poll has_window '^Lumaroth - \(untitled\)$' || fail "no window titled 'Lumaroth - (untitled)'"
window=$(window_named '^Lumaroth - \(untitled\)$')
eval "$(xdotool getwindowgeometry --shell "$window")"
first=$(take_shot start)
read -r origin_x origin_y < <(client_origin "$first" "$X")

click_client 176 352  # 経路
poll changes_at "$first" 204 346 24 16 || fail "経路 changed nothing"
click_client 35 442  # 加速
poll changes_at "$first" 120 410 32 16 || fail "加速 changed nothing"
echo "経路 and 加速 repaint their settings"

poll bash -c "xdotool windowfocus $window 2>/dev/null; xdotool key alt+f o; sleep 0.5; xdotool search --onlyvisible --name '^開く$' >/dev/null" ||
  fail "開く(&O) opened no dialog"
take_shot dialog >/dev/null
dialog=$(window_named '^開く$')
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool key Escape
poll bash -c "[ -z \"\$(xdotool search --onlyvisible --name '^開く\$' 2>/dev/null)\" ]" || fail "the dialog did not close"
window_named '^Lumaroth - \(untitled\)$' >/dev/null || fail "the window is gone after cancelling"
echo "開く(&O) opens the dialog and cancelling returns"

poll bash -c "xdotool windowfocus $window 2>/dev/null; xdotool key alt+f x; sleep 0.5; ! kill -0 $pid 2>/dev/null" ||
  fail "終了(&X) did not end the program"
ends_with_zero
echo "終了(&X) ends with exit code 0"

# With a song and no sound card, Play says why (the embedded synthesizer has no audio
# device), shows the song's instruments and stays stopped.
start "$(winepath -w "$song" 2>/dev/null)"
title="^Lumaroth - $(basename "$song")\$"
poll has_window "$title" || fail "no window for the song"
window=$(window_named "$title")
eval "$(xdotool getwindowgeometry --shell "$window")"
loaded=$(take_shot loaded)
read -r origin_x origin_y < <(client_origin "$loaded" "$X")
click_client 26 13  # 再生
poll has_box || fail "再生 without a MIDI device said nothing"
played=$(take_shot played)
[ "$(crop_sum "$loaded" 700 430 48 16)" = "$(crop_sum "$played" 700 430 48 16)" ] ||
  fail "the status is not 停止中 after Play without a MIDI device"
[ "$(crop_sum "$loaded" 10 180 700 100)" = "$(crop_sum "$played" 10 180 700 100)" ] ||
  fail "the instrument list changed although nothing plays"
close_box "$(window_named '^Lumaroth$')" || fail "the box of a failed Play did not close"
poll bash -c "xdotool windowfocus $window 2>/dev/null; xdotool key alt+f x; sleep 0.5; ! kill -0 $pid 2>/dev/null" ||
  fail "終了(&X) did not end the program"
ends_with_zero
echo "再生 without a sound card says why and leaves the window as it was"
loaded_ja=$loaded ja_origin="$origin_x $origin_y"

# The embedded synthesizer, which plays when no output is chosen, rendering into a WAV file
# as a machine without a sound card has it: a file chosen as the SoundFont that is none is
# refused with a box, and 再生 plays on the one before.
wav="$scratch/played.wav"
echo "no SoundFont" >"$scratch/notes.sf2"
LUMAROTH_MIDI_OUT="wav:$(winepath -w "$wav" 2>/dev/null)" start "$(winepath -w "$song" 2>/dev/null)"
find_window "$title" synth
poll bash -c "xdotool windowfocus $window 2>/dev/null; xdotool key alt+m f; sleep 0.5; xdotool search --onlyvisible --name '^音色ファイル' >/dev/null" ||
  fail "出力 → 音色ファイル opened no dialog"
xdotool windowfocus "$(window_named '^音色ファイル')" 2>/dev/null || true
xdotool type --delay 20 "$(winepath -w "$scratch/notes.sf2" 2>/dev/null)"
xdotool key Return
poll has_box || fail "a file that is no SoundFont was not refused"
take_shot no-sound-font >/dev/null
close_box "$(window_named '^Lumaroth$')" || fail "the SoundFont's box did not close"
click_client 26 13  # 再生
poll bash -c "[ \"\$(stat -c %s '$wav' 2>/dev/null || echo 0)\" -gt 400000 ]" || fail "再生 wrote no sound into $wav"
click_client 80 13  # 停止
python3 - "$wav" <<'PY' || fail "$wav holds silence"
import array, sys
data = open(sys.argv[1], "rb").read()[44:]
samples = array.array("h", data[: len(data) // 2 * 2])
sys.exit(0 if max(abs(s) for s in samples) > 1000 else 1)
PY
poll bash -c "xdotool windowfocus $window 2>/dev/null; xdotool key alt+f x; sleep 0.5; ! kill -0 $pid 2>/dev/null" ||
  fail "終了(&X) did not end the program"
ends_with_zero
echo "the embedded synthesizer plays by default, and keeps its SoundFont when one chosen is none"

# The same song in an English locale: the same client area, pixel for pixel.
export LANG=en_US.UTF-8
start "$(winepath -w "$song" 2>/dev/null)"
find_window "$title" loaded-en_US
loaded_en=$shot
client_en=$(crop_sum "$loaded_en" 0 0 804 461)
read -r origin_x origin_y <<<"$ja_origin"
[ "$(crop_sum "$loaded_ja" 0 0 804 461)" = "$client_en" ] ||
  fail "the client area in en_US differs from ja_JP ($loaded_ja, $loaded_en)"
echo "en_US and ja_JP show the same client area"

# A second start hands its song over, whatever the name, and ends.
unicode="$scratch/Café 한국어 🎵.mid"
cp "$song" "$unicode"
timeout 120 wine "$exe" "$(winepath -w "$unicode" 2>/dev/null)" 2>>"$shots/wine.log" ||
  fail "the second start did not end with 0"
poll has_window '^Lumaroth - Café 한국어 🎵\.mid$' || fail "the running window did not open the handed song"
[ "$(window_named '^Lumaroth - Café 한국어 🎵\.mid$')" = "$window" ] || fail "another window took the song"
[ "$(xdotool getwindowname "$window")" = "Lumaroth - Café 한국어 🎵.mid" ] ||
  fail "caption: $(xdotool getwindowname "$window")"
[ "$(xdotool search --onlyvisible --name '^Lumaroth - ' | wc -l)" = 1 ] || fail "more than one window"
echo "a second start hands over a song named in accented Latin, Hangul and an emoji"

# A name relative to the second start's folder names the file there.
mkdir "$scratch/elsewhere"
cp "$song" "$scratch/elsewhere/only here.mid"
(cd "$scratch/elsewhere" && timeout 120 wine "$exe" "only here.mid" 2>>"$shots/wine.log") ||
  fail "the relative hand-over did not end with 0"
poll has_window '^Lumaroth - only here\.mid$' || fail "the running window did not open the relative name"
echo "a relative name is read in the second start's folder"

# Page Down and Page Up: the folder's songs in a file manager's order (numbers by value),
# after the last the first, whatever their names.
cp "$song" "$scratch/elsewhere/10 次.mid"
cp "$song" "$scratch/elsewhere/2 한.mid"
cp "$song" "$scratch/elsewhere/notes.txt"
# Presses KEY on the window until a window titled TITLE shows; false when it does not, or
# when the window titled BEFORE (if given) goes without it.
press_until() {  # key, title, before
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key "$1"
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      has_window "$2" && return 0
      sleep 0.2
    done
    [ -z "${3:-}" ] || has_window "$3" || return 1
  done
  return 1
}
press_until Next '^Lumaroth - 2 한\.mid$' '^Lumaroth - only here\.mid$' ||
  fail "Page Down did not go on from the last song to the first"
press_until Next '^Lumaroth - 10 次\.mid$' '^Lumaroth - 2 한\.mid$' || fail "Page Down did not put 2 before 10"
press_until Prior '^Lumaroth - 2 한\.mid$' '^Lumaroth - 10 次\.mid$' || fail "Page Up did not go back"
echo "Page Down and Page Up go through the folder in a file manager's order"

# 表示: F2 and F3 open the channel and lyrics windows beside the main one, titled right in
# this English locale.
press_until F2 '^チャンネル$' || fail "F2 opened no channel window"
press_until F3 '^歌詞$' || fail "F3 opened no lyrics window"
take_shot views >/dev/null
for view in チャンネル 歌詞; do
  eval "$(xdotool getwindowgeometry --shell "$(window_named "^$view\$")" | sed 's/^/VIEW_/')"
  [ "$VIEW_X" -ge 0 ] && [ "$VIEW_Y" -ge 0 ] && [ $((VIEW_X + VIEW_WIDTH)) -le 1024 ] &&
    [ $((VIEW_Y + VIEW_HEIGHT)) -le 768 ] || fail "the $view window is not inside the screen"
done
# On this 1024x768 screen they cover part of the main window: closed again for what follows.
close_view() {  # key, title
  for _ in 1 2 3; do
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key "$1"
    for _ in $(seq 25); do
      [ -z "$(window_named "^$2\$")" ] && return 0
      sleep 0.2
    done
  done
  return 1
}
close_view F2 チャンネル || fail "F2 did not close the channel window"
close_view F3 歌詞 || fail "F3 did not close the lyrics window"
echo "F2 and F3 open the channel and lyrics windows inside the screen, and close them"

# Missing songs handed over one after another: one warning box at a time, the newest
# waiting for it, then none.
for i in 1 2 3 4 5; do
  timeout 120 wine "$exe" "$(winepath -w "$scratch")\\missing $i.mid" 2>>"$shots/wine.log" ||
    fail "hand-over $i of a missing song did not end with 0"
done
poll has_box || fail "no warning for a missing song"
[ "$(boxes)" = 1 ] || fail "$(boxes) warning boxes at once"
for answer in first newest; do
  box=$(window_named '^Lumaroth$')
  [ -n "$box" ] || fail "no $answer warning"
  close_box "$box" || fail "the $answer warning did not close"
  if [ $answer = first ]; then poll has_box || fail "the newest song waiting opened no warning"; fi
done
[ "$(boxes)" = 0 ] || fail "more than two warnings for five missing songs"
echo "missing songs handed over give one box at a time, two in all"

# A window that cannot answer: the second start says so and fails.
kill -STOP "$pid"
if timeout 120 wine "$exe" "$(winepath -w "$unicode" 2>/dev/null)" 2>"$scratch/stuck.err"; then
  kill -CONT "$pid"
  fail "a hand-over to a stopped window reported success"
fi
kill -CONT "$pid"
grep -q "the running Lumaroth did not answer" "$scratch/stuck.err" ||
  fail "a hand-over to a stopped window said: $(cat "$scratch/stuck.err")"
echo "a hand-over to a stopped window fails and says so"

# Keys: + speeds up, = goes back to the normal speed (pressed again until seen: the
# window may not have the focus yet).
read -r origin_x origin_y < <(client_origin "$(take_shot handed)" "$X")
before=$(take_shot keys)
same_at() { [ "$(crop_sum "$1" "$2" "$3" "$4" "$5")" = "$(crop_sum "$(take_shot poll)" "$2" "$3" "$4" "$5")" ]; }
press() { xdotool windowfocus "$window" 2>/dev/null; xdotool key "$1"; sleep 0.3; }
poll eval 'press plus; ! same_at "$before" 120 410 32 16' || fail "+ changed nothing"
poll eval 'press equal; same_at "$before" 120 410 32 16' || fail "= did not bring the normal speed back"
echo "+ and = change the speed"

# 出力(&M): its pop-up opens; Enter chooses the first item, the embedded synthesizer, which
# is kept (by its Japanese name, which the file holds in an English locale too).
closed=$(take_shot output-menu-closed)
poll eval 'press alt+m; ! same_at "$closed" 0 0 400 80' || fail "出力(&M) opened no menu"
take_shot output-menu >/dev/null
xdotool key Return
poll test -f "$settings" || fail "choosing an output wrote no $settings"
iconv -f UTF-16 -t UTF-8 "$settings" | grep -q '^Device=内蔵シンセサイザー (FluidSynth)' ||
  fail "$settings holds no Device line: $(iconv -f UTF-16 -t UTF-8 "$settings")"
echo "出力(&M) opens and the choice is kept in Lumaroth.ini"

# F1 with no browser on the system (Wine's winebrowser finds none): a box says so.
poll eval 'press F1; [ -n "$(window_named "^ERROR\$")" ]' || fail "F1 without a browser said nothing"
take_shot help-not-shown >/dev/null
close_box "$(window_named '^ERROR$')" || fail "the help box did not close"
echo "F1 without a browser says that the page cannot be shown"
poll bash -c "xdotool windowfocus $window 2>/dev/null; xdotool key alt+f x; sleep 0.5; ! kill -0 $pid 2>/dev/null" ||
  fail "終了(&X) did not end the program"
ends_with_zero

# Play, pause and the jumps on Windows' own controls, by the program built on the recording
# output (Wine has no MIDI device): the time and the bar show right of 停止 while it plays;
# Space pauses; while paused the time moves only by a jump: Right, then a click on the bar
# at three quarters of its groove, where the thumb goes (a trackbar of its own would page
# a third of the way there).
rm -f "$settings"  # the recording output lists no embedded synthesizer
start_program "$recording" "$(winepath -w "$song" 2>/dev/null)"
find_window "$title" recording-stopped
stopped=$shot
click_client 26 13  # 再生
poll changes_at "$stopped" 110 1 476 25 || fail "再生 showed no time and bar"
playing=$(take_shot playing)
poll eval 'press space; changes_at "$playing" 700 430 80 16' || fail "Space did not pause"
sleep 0.6
paused=$(take_shot paused)
sleep 0.6
same_at "$paused" 110 5 112 17 || fail "the time moves while paused"
echo "再生 shows the time and the bar, Space pauses and the time stands still"
poll eval 'press Right; changes_at "$paused" 110 5 112 17' || fail "Right did not jump"
jumped=$(take_shot jumped)
click_client 496 13  # the bar spans x 226 to 586
poll changes_at "$jumped" 110 5 112 17 || fail "a click on the bar did not jump"
changes_at "$jumped" 486 1 20 25 || fail "the bar's thumb did not go to the point clicked"
take_shot bar-clicked >/dev/null
echo "Right and a click on the bar jump while paused, the click to its point"
poll bash -c "xdotool windowfocus $window 2>/dev/null; xdotool key alt+f x; sleep 0.5; ! kill -0 $pid 2>/dev/null" ||
  fail "終了(&X) did not end the recording build"
ends_with_zero
echo "WineWindow: 17 passed, 0 failed"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the plain build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, and the tests that run threads
# under ThreadSanitizer; the Windows build under Wine; the release files; a minute of
# fuzzing per target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

# A test that hangs fails after ten minutes instead of holding the whole run.
scripts/build.sh plain
(cd build && ctest --output-on-failure --timeout 600 -j"$(nproc)")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
scripts/build.sh asan
# The click track's and the desktop audio's millisecond timing are checked in the plain
# build only: the sanitizers slow the timer thread itself.
(cd build-asan && ctest --output-on-failure --timeout 600 -j"$(nproc)" -E '^(FluidSynthRender\.EveryClickSoundsOnTime|DesktopAudio\.)')

# Of the real dialogs, only the message box's: the file dialog reads folders on Qt's own
# thread pool, whose uninstrumented atomics ThreadSanitizer cannot see.
# The render, the terminal tool (its signal, key and ticker threads) and the desktop's audio
# run their own threads too.
threaded_tests=(test_scheduler test_playback_threads test_window_commands test_window_outputs test_window_dialogs
  test_window_bad_input test_midi_devices test_synth_loading test_fluidsynth_render test_cli test_desktop_audio)
export TSAN_OPTIONS=suppressions=$PWD/tests/tsan.supp
scripts/build.sh tsan --target "${threaded_tests[@]}"
(cd build-tsan && ctest --output-on-failure --timeout 600 -j"$(nproc)" -R '^(Scheduler|DueTest|PlaybackThreads|MessageQueue|MultimediaTimer|MainWindowTest|OutputMenuTest|BadInput|MidiDevices|SequencerEvents|SequencerOutput|SynthLoading|SynthEffects|SynthEventQueue|FluidSynthRender|Cli[A-Za-z]*|DesktopAudio)\.|^RealDialogs\.(MessageBox|PostedMessages)')

scripts/windows-test.sh
scripts/package.sh
tests/release_files.sh dist
scripts/fuzz.sh 60

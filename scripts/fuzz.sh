#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (AddressSanitizer + UndefinedBehavior-
# Sanitizer) and runs each for SECONDS, seeded with the public test songs. New inputs
# go to build-fuzz/corpus-*; a crash leaves its input in build-fuzz/ and fails the run.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/build.sh fuzz
mapfile -t seeds < <(find ../shared/corpus -mindepth 1 -maxdepth 1 -type d | sort)
export ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp QT_QPA_PLATFORM=offscreen
for target in fuzz_song fuzz_text; do
  mkdir -p "build-fuzz/corpus-$target"
  (cd build-fuzz && ./"$target" -max_total_time="$seconds" -max_len=65537 -rss_limit_mb=4096 \
    -print_final_stats=1 "corpus-$target" "${seeds[@]/#/../}" 2>&1 | grep -E '^(stat::number_of_executed_units|Done|==|SUMMARY)' || true)
  [ -z "$(ls build-fuzz/crash-* build-fuzz/leak-* build-fuzz/timeout-* 2>/dev/null)" ] || { echo "$target found a fault" >&2; exit 1; }
done

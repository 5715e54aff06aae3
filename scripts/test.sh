#!/usr/bin/env bash
# Sets up, builds and runs every test; exits non-zero on any failure:
#  1. the Release build under build/ and its whole test suite;
#  2. the same suite built with AddressSanitizer and UBSan under build-asan/,
#     halting on the first report;
#  3. each fuzz target for a short time from its seed corpus
#     (VORLANE_FUZZ_SECONDS, default 30; 0 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

echo "== Release build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== AddressSanitizer + UBSan build and tests"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVORLANE_SANITIZE=ON -DVORLANE_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

seconds=${VORLANE_FUZZ_SECONDS:-30}
if [[ $seconds != 0 ]]; then
  echo "== Fuzzing, ${seconds}s per target"
  fuzz/run.sh "$seconds"
fi

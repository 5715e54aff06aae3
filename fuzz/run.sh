#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer + UBSan) and runs each
# for the given number of seconds, starting from the seed corpus in
# fuzz/corpus. New inputs go to a work folder, so the repository's corpus
# stays small; findings (crash-*, leak-*, timeout-*, oom-*) are kept in
# fuzz/findings and make the script fail.
#
#   fuzz/run.sh [SECONDS] [TARGET...]     (default 30 seconds, every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true

build=build-fuzz
CXX=clang++-14 CC=clang-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLANE_FUZZ=ON -DVORLANE_BUILD_TESTS=OFF -DVORLANE_BUILD_BENCH=OFF -DVORLANE_BUILD_GUI=OFF \
  >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

targets=("$@")
if ((${#targets[@]} == 0)); then
  mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -executable -name 'fuzz-*' \
    -printf '%f\n' | sort)
fi

mkdir -p fuzz/findings
status=0
for target in "${targets[@]}"; do
  work=$(mktemp -d)
  log="$build/fuzz/$target.log"
  echo "fuzz: $target for ${seconds}s" >&2
  # A video probe starts from its own seeds, not from subtitles.
  corpus=fuzz/corpus
  [[ -d fuzz/probe-seeds/${target#fuzz-probe-} ]] && corpus=fuzz/probe-seeds/${target#fuzz-probe-}
  if ! "$build/fuzz/$target" "$work" "$corpus" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2560 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="fuzz/findings/$target-" >"$log" 2>&1; then
    echo "fuzz: $target found a problem; see $log and fuzz/findings" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
  grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/$target /" >&2 || true
  rm -rf "$work"
done
exit $status

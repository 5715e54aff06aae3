#!/usr/bin/env bash
# Sets up, builds a Release build under build/ and runs the program with the
# arguments given.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target vorlane-cli >/dev/null
exec build/vorlane-cli "$@"

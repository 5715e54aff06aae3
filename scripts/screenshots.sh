#!/usr/bin/env bash
# Builds the window and saves a picture of the main window (also in Polish
# and German) and of each dialog, shown on a virtual display, into the
# folder given (default build/screenshots). VORLANE_BUILD_DIR names another
# build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshots}"
build="${VORLANE_BUILD_DIR:-build}"
if [[ -f "$build/CMakeCache.txt" ]]; then
  cmake -S . -B "$build" >/dev/null
else
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target vorlane-screenshots >/dev/null
mkdir -p "$out"
out="$(cd "$out" && pwd)"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/app/vorlane-screenshots" "$out"

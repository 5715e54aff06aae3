#!/usr/bin/env bash
# Sets up, builds a Release build under build/ and starts the window with the
# arguments given (an optional output format name, then files and folders).
# The program runs in the folder that holds it, where it keeps config.ini and
# looks for help.chm; paths given relative to the current folder are made
# absolute first so they still name the same files.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target vorlane vorlane-cli >/dev/null

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "run.sh: vorlane is a desktop window and needs a display (DISPLAY or WAYLAND_DISPLAY);" >&2
  echo "run.sh: without one, convert with $root/build/vorlane-cli (see README.md)." >&2
  exit 1
fi

cd - >/dev/null
args=()
for arg in "$@"; do
  if [[ "$arg" != /* && -e "$arg" ]]; then
    args+=("$(pwd)/$arg")
  else
    args+=("$arg")
  fi
done
cd "$root/build/app"
exec ./vorlane ${args[@]+"${args[@]}"}

#!/usr/bin/env bash
# Builds the Debian package: sets up what building needs, configures a
# Release build under build-package/ (without tests and benchmarks), builds
# the window and the command line with their manual pages, and runs cpack.
# Leaves vorlane_<version>_<arch>.deb in the top folder of the project and
# prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
scripts/setup.sh

build="$root/build-package"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVORLANE_BUILD_TESTS=OFF -DVORLANE_BUILD_BENCH=OFF ${launcher[@]+"${launcher[@]}"} >/dev/null
cmake --build "$build" -j"$(nproc)"
if [[ ! -f "$build/app/help.chm" ]]; then
  echo "package.sh: help.chm was not built (see the build output above)" >&2
  exit 1
fi
rm -f "$build"/vorlane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/vorlane_*.deb)
if [[ ! -f "${debs[0]}" ]]; then
  echo "package.sh: cpack made no package" >&2
  exit 1
fi
rm -f "$root"/vorlane_*.deb
mv "${debs[0]}" "$root/"
echo "$root/$(basename "${debs[0]}")"

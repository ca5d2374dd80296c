#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headlessly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh "$@"
build=${BUILD_DIR:-build}
QT_QPA_PLATFORM=offscreen EGL_PLATFORM=surfaceless \
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 600

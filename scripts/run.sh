#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ -x build/dist/vellora ]; then
  exec build/dist/vellora
fi
echo "Built. The program itself is not there yet; build/dist/ holds what exists so far."

#!/usr/bin/env bash
# Formats every C++ file of the repository with .clang-format (clang-format 14), or with --check
# lists the files that differ and fails, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi

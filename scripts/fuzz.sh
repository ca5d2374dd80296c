#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang 14, ASan + UBSan) into build-fuzz/ and runs each one on
# its seed corpus for the given number of seconds (default 60). FUZZ_RUNS=<n> runs each for n
# executions instead. FUZZ_ONLY="fuzz_dib fuzz_mesh" limits the run to some harnesses.
# Exits non-zero on any finding (crash, hang, leak, out-of-bounds read, failed property); the
# input that caused it is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELLORA_FUZZ=ON -DVELLORA_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS="$sanitizers" -DCMAKE_CXX_FLAGS="$sanitizers" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j2 --target vellora_fuzzers

mkdir -p "$build/findings" "$build/logs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
# The readers that take a path get their input through a scratch file: keep it in memory.
[ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

limit=(-max_total_time="$seconds")
[ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")

failed=()
for exe in "$build"/fuzz/fuzz_*; do
  name=$(basename "$exe")
  if [ -n "${FUZZ_ONLY:-}" ] && [[ " $FUZZ_ONLY " != *" $name "* ]]; then
    continue
  fi
  seeds=tests/fuzz/corpus/${name#fuzz_}
  corpus=$build/corpus/$name # grows here; the committed seeds stay small
  mkdir -p "$corpus" "$seeds"
  log=$build/logs/$name.log
  if "$exe" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
       -artifact_prefix="$build/findings/$name-" "$corpus" "$seeds" >"$log" 2>&1; then
    status=ok
  else
    status=FINDING
    failed+=("$name")
  fi
  runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo "?")
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo "?")
  printf '%-24s %-8s executions %-10s coverage %-6s features %s\n' "$name" "$status" "$runs" "$cov" "$ft"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Findings in: ${failed[*]} (inputs in $build/findings/, logs in $build/logs/)" >&2
  exit 1
fi

#!/usr/bin/env bash
# Builds in release mode (build-release/) and prints one table of Vellora's speed and memory:
# the library's frame with pick and one pick at 1024 x 768 (headless) and 1920 x 1080 (X window
# under Xvfb), start-up times, resident memory and idle CPU per screen, CPU during a fly-in.
# Usage: scripts/bench.sh [--no-build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-release}
if [ "${1:-}" != --no-build ]; then
  bash scripts/setup.sh
  BUILD_DIR=$build BUILD_TYPE=Release bash scripts/build.sh -DVELLORA_TESTS=OFF >/dev/null
fi
dist=$build/dist
bench=$build/bin/zelle_bench
hz=$(getconf CLK_TCK)

# median_ms NAME JSON: the median real time in ms of one benchmark from Google Benchmark's JSON.
median_ms() {
  python3 -c 'import json,sys
d=json.load(open(sys.argv[2]))
print("%.2f" % next(b["real_time"] for b in d["benchmarks"]
      if b["name"].split("/")[0] == sys.argv[1] and b["name"].endswith("_median")))' "$1" "$2"
}
run_bench() { # run_bench OUT.json [args...]
  local out=$1; shift
  "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$out" --benchmark_out_format=json "$@" >/dev/null 2>&1
}

tmp=$(mktemp -d)
xvfb_pid=
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

start_xvfb() { # start_xvfb WxH
  for n in $(seq 150 199); do [ -e /tmp/.X$n-lock ] || { export DISPLAY=:$n; break; }; done
  Xvfb "$DISPLAY" -screen 0 "${1}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "bench: Xvfb did not start" >&2; exit 1
}
stop_xvfb() { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true; xvfb_pid=; }

# --- library ---------------------------------------------------------------------------------
EGL_PLATFORM=surfaceless run_bench "$tmp/small.json" "$dist"
frame_small=$(median_ms BM_RenderWholeCell "$tmp/small.json")
pick_small=$(median_ms BM_PickAction9 "$tmp/small.json")
start_xvfb 1920x1080
run_bench "$tmp/large.json" --window=1920x1080 "$dist"
frame_large=$(median_ms BM_RenderWholeCell "$tmp/large.json")
pick_large=$(median_ms BM_PickAction9 "$tmp/large.json")
stop_xvfb

# --- the program under Xvfb at 1280 x 800 -------------------------------------------------------
start_xvfb 1280x800
export XDG_DATA_HOME=$tmp/xdg QT_QPA_PLATFORM=xcb
now_ms() { date +%s%3N; }
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
wait_until() { # wait_until SECONDS COMMAND...
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt "$end" ] || { echo "bench: gave up waiting for: $*" >&2; exit 1; }; sleep 0.01; done
}
rss_mb() { awk '/^VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$app/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
cpu_percent() { # cpu_percent SECONDS: share of one core the program used over that time
  local a b; a=$(cpu_ticks); sleep "$1"; b=$(cpu_ticks)
  awk -v d=$((b - a)) -v s="$1" -v hz="$hz" 'BEGIN { printf "%.1f", 100 * d / hz / s }'
}
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | sed -n '2s/.*srgb(\([0-9,]*\)).*/\1/p'; }
# switch_to ROW: open the screen switcher on the bar's first item and choose row ROW of its list,
# which leaves out the current screen: from the introduction row 1 is "Zellmodell", from the
# cell screen row 2 is "Übungen", from the exercises row 3 is "Glossar".
switch_to() {
  xdotool mousemove 80 10 click 1; sleep 0.5
  xdotool mousemove 80 $((10 + 20 * $1)) click 1; sleep 1
}

t0=$(now_ms)
"$dist/vellora" >"$tmp/program.log" 2>&1 &
app=$!
wait_until 10 visible 'Vellora'
first_window=$(( $(now_ms) - t0 ))
wait_until 30 visible 'Handbuch'
sleep 1
rss_start=$(rss_mb)
manual=$(xdotool search --onlyvisible --name 'Handbuch' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$manual")"
t1=$(now_ms)
xdotool mousemove $((X + WIDTH - 10)) $((Y + 10)) click 1
main_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Vellora$' 2>/dev/null); do
    case "$(xdotool getwindowgeometry "$w")" in *"Geometry: 1280x"*) return 0 ;; esac
  done
  return 1
}
wait_until 10 main_window
main_after_manual=$(( $(now_ms) - t1 ))
sleep 2
idle_intro=$(cpu_percent 10)

switch_to 1   # cell model
sleep 4       # the first whole-cell frames and their fade
idle_cell=$(cpu_percent 10)
xdotool mousemove 112 137 click 1   # the nucleus in the organelle menu: fade, flight, fade
flight=$(cpu_percent 2)
sleep 3
xdotool mousemove 900 500
sleep 2
idle_detail=$(cpu_percent 10)
switch_to 2   # exercises
idle_exercises=$(cpu_percent 10)
switch_to 3   # glossary
idle_glossary=$(cpu_percent 10)
rss_all=$(rss_mb)

cat <<TABLE
| Measure | Target | $(date +%F), $(nproc) cores, llvmpipe |
|---|---|---|
| Frame with pick, whole cell, 1024 × 768 (headless) | ≤ 16.7 ms | $frame_small ms |
| Frame with pick, whole cell, 1920 × 1080 (X window) | ≤ 16.7 ms | $frame_large ms |
| One pick (action 9), 1024 × 768 | ≤ 1 ms | $pick_small ms |
| One pick (action 9), 1920 × 1080 | ≤ 1 ms | $pick_large ms |
| Start to first window | ≤ 0.3 s | $(awk -v m=$first_window 'BEGIN { printf "%.2f", m / 1000 }') s |
| Manual closed to main window | – | $(awk -v m=$main_after_manual 'BEGIN { printf "%.2f", m / 1000 }') s |
| Resident memory after start | ≤ 150 MB | $rss_start MB |
| Resident memory after every screen | ≤ 150 MB | $rss_all MB |
| Idle CPU, introduction (10 s) | ≤ 1 % | $idle_intro % |
| Idle CPU, cell model, whole cell (10 s) | ≤ 1 % | $idle_cell % |
| Idle CPU, cell model, detail view (10 s) | ≤ 1 % | $idle_detail % |
| Idle CPU, exercises (10 s) | ≤ 1 % | $idle_exercises % |
| Idle CPU, glossary (10 s) | ≤ 1 % | $idle_glossary % |
| CPU during a fly-in (2 s) | – | $flight % |
TABLE

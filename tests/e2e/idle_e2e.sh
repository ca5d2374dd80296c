#!/usr/bin/env bash
# The cell screen under an X server (run under xvfb-run) is quiet while nothing moves: once the
# whole cell is drawn the program uses under 5 % of a core over 5 s; moving the pointer onto the
# model draws again, and the organelle's hint appears.
# Usage: idle_e2e.sh PROGRAM SHOT_FOLDER
set -u
program=$1
shots=$2
mkdir -p "$shots"
rm -f "$shots"/*.png

name=idle_e2e
source "$(dirname "$0")/lib.sh"
QT_QPA_PLATFORM=xcb start_program "$program"

cell_screen_shown() { [ "$(pixel 1250 770)" = "207,235,189" ]; }
# A hint is a tooltip window of the program's, mapped.
hint_shown() {
  local w
  for w in $(xdotool search --onlyvisible --class vellora 2>/dev/null); do
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP && return 0
  done
  return 1
}

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
# cpu_percent SECONDS: the share of one core the program used over that time (all its threads).
cpu_percent() {
  local a b; a=$(cpu_ticks); sleep "$1"; b=$(cpu_ticks)
  awk -v d=$((b - a)) -v s="$1" -v hz="$hz" 'BEGIN { printf "%.1f", 100 * d / hz / s }'
}
# The picture has settled once half a second passes with under 5 % of a core used.
settled() { ! more_than "$(cpu_percent 0.5)" 5; }

leave_manual

# "Zellmodell" is the second row of the screen switcher.
xdotool mousemove 80 10 click 1
wait_for 5 "open screen switcher" switcher_open
xdotool mousemove 80 30 click 1
wait_for 10 "cell screen" cell_screen_shown
wait_for 20 "drawing of the whole cell" whole_cell_drawn
# The sliding menu and the last fade end soon after; a screen that keeps drawing never settles,
# and the measurement below tells by how much.
end=$((SECONDS + 10))
until settled || [ $SECONDS -ge $end ]; do :; done
import -window root "$shots/1-whole-cell.png"

idle=$(cpu_percent 5)
more_than "$idle" 5 && fail "the cell screen used $idle % of a core over 5 s with nothing moving"

# Across the middle of the model from the nucleus side: the first organelle under the pointer
# shows its hint, which only a frame drawn for the new pointer position can give.
found=
for x in 980 940 900 1020 860 820 780 740 700 660 620 580 540 500; do
  xdotool mousemove "$x" 455
  end=$((SECONDS + 2))
  until hint_shown || [ $SECONDS -ge $end ]; do sleep 0.1; done
  hint_shown && { found=$x; break; }
done
[ -n "$found" ] || fail "no hint over the model after moving the pointer across it"
import -window root "$shots/2-hint.png"
echo "idle_e2e: $idle % of a core while idle on the cell screen; hint shown at ($found, 455)"

#!/usr/bin/env bash
# End-to-end walk through the real program on an X server (run under xvfb-run):
# splash -> manual -> main window -> "Zellmodell" -> an organelle's detail view.
# Usage: cell_e2e.sh PROGRAM SHOT_FOLDER
# Every wait polls with short steps and gives up after a bound; screenshots stay in SHOT_FOLDER.
set -u
program=$1
shots=$2
mkdir -p "$shots"
rm -f "$shots"/*.png

name=cell_e2e
source "$(dirname "$0")/lib.sh"
start_program "$program"

cell_screen_shown() { [ "$(pixel 1250 770)" = "207,235,189" ]; }
detail_drawn() { heading_shown && more_than "$(foreground_share 380x400+230+330)" 0.1; }
heading_shown() { awk -v d="$(darkest 400x50+470+40)" 'BEGIN { exit !(d < 0.3) }'; }

leave_manual "$shots/1-manual.png"
import -window root "$shots/2-introduction.png"

# The screen switcher: open it on the current screen's name, then choose "Zellmodell" (row 2).
xdotool mousemove 80 10 click 1
wait_for 5 "open screen switcher" switcher_open
xdotool mousemove 80 30 click 1
wait_for 10 "cell screen" cell_screen_shown
wait_for 20 "drawing of the whole cell" whole_cell_drawn
import -window root "$shots/3-whole-cell.png"

# Pick the nucleus from the organelle menu and wait for its detail view.
xdotool mousemove 112 137 click 1
wait_for 20 "heading of the detail view" heading_shown
# Move off the menu so that it slides narrow.
xdotool mousemove 900 500
wait_for 20 "organelle drawn in the detail view" detail_drawn
import -window root "$shots/4-detail.png"
kill -0 $app || fail "the program ended"
echo "cell_e2e: whole cell and detail view drawn; screenshots in $shots"

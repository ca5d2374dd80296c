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

fail() { echo "cell_e2e: $*" >&2; import -window root "$shots/failure.png" 2>/dev/null; exit 1; }

"$program" >"$shots/program.log" 2>&1 &
app=$!
trap 'kill $app 2>/dev/null; wait $app 2>/dev/null' EXIT

# wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_for() {
  local bound=$1 what=$2; shift 2
  local end=$((SECONDS + bound))
  until "$@"; do
    kill -0 $app 2>/dev/null || fail "the program ended while waiting for $what"
    [ $SECONDS -lt $end ] || fail "no $what after ${bound} s"
    sleep 0.1
  done
}

window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
manual_shown() { [ -n "$(window_named 'Handbuch')" ]; }
manual_gone() { [ -z "$(window_named 'Handbuch')" ]; }
main_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Vellora$' 2>/dev/null); do
    case "$(xdotool getwindowgeometry "$w")" in *"Geometry: 1280x"*) echo "$w"; return 0 ;; esac
  done
  return 1
}
main_shown() { [ -n "$(main_window)" ]; }

# The colour of one screen pixel as "r,g,b".
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | sed -n '2s/.*srgb(\([0-9,]*\)).*/\1/p'; }
# Share (0..1) of pixels in WxH+X+Y that are not the model panel's background (207, 235, 189).
foreground_share() {
  import -window root -crop "$1" +repage png:- 2>/dev/null |
    convert png:- -fuzz 4% -fill white -opaque 'rgb(207,235,189)' -fill black +opaque white \
      -colorspace Gray -format '%[fx:1-mean]' info:
}
# Darkest grey (0..1) in WxH+X+Y: text drawn there is dark.
darkest() {
  import -window root -crop "$1" +repage png:- 2>/dev/null | convert png:- -colorspace Gray -format '%[fx:minima]' info:
}
cell_screen_shown() { [ "$(pixel 1250 770)" = "207,235,189" ]; }
switcher_open() { [ "$(pixel 24 30)" = "130,222,109" ]; }
whole_cell_drawn() { more_than "$(foreground_share 600x400+500+200)" 0.3; }
detail_drawn() { heading_shown && more_than "$(foreground_share 380x400+230+330)" 0.1; }
heading_shown() { awk -v d="$(darkest 400x50+470+40)" 'BEGIN { exit !(d < 0.3) }'; }
more_than() { awk -v v="$1" -v m="$2" 'BEGIN { exit !(v > m) }'; }

wait_for 30 "manual window" manual_shown
import -window root "$shots/1-manual.png"
manual=$(window_named 'Handbuch')
eval "$(xdotool getwindowgeometry --shell "$manual")"
# The close box sits at the right end of the manual's 20-pixel bar.
xdotool mousemove $((X + WIDTH - 10)) $((Y + 10)) click 1
wait_for 10 "closing of the manual" manual_gone
wait_for 10 "main window" main_shown
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

#!/usr/bin/env bash
# End-to-end walk through the exercise area of the real program on an X server (run under
# xvfb-run): main window -> "Übungen" -> a new profile, signed in -> one built-in test of each
# kind, finished -> the tile bars of the three kinds are no longer empty.
# Usage: exercises_e2e.sh PROGRAM SHOT_FOLDER   (XDG_DATA_HOME names an empty folder)
# Every wait polls with short steps and gives up after a bound; screenshots stay in SHOT_FOLDER.
set -u
program=$1
shots=$2
mkdir -p "$shots"
rm -f "$shots"/*.png
profiles="${XDG_DATA_HOME:?}/Vellora/Profile"
rm -rf "$profiles"

name=exercises_e2e
source "$(dirname "$0")/lib.sh"
start_program "$program"

dialog_shown() { [ -n "$(window_named '^Lernprofil$')" ]; }
dialog_gone() { [ -z "$(window_named '^Lernprofil$')" ]; }
message_shown() { [ -n "$(window_named 'Meldung')" ]; }
message_gone() { [ -z "$(window_named 'Meldung')" ]; }

is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
isnt() { [ "$(pixel "$1" "$2")" != "$3" ]; }
# First y from $2 down to $3 in column $1 with colour $4 (nothing when there is none).
first_y() {
  import -window root -crop "1x$(($3 - $2))+$1+$2" -depth 8 txt:- 2>/dev/null |
    awk -v top="$2" -v c="($4)" 'index($0, c) { split($1, p, "[,:]"); print top + p[2]; exit }'
}
click() { xdotool mousemove "$1" "$2" click 1; }
# The first option box (left 150 in the content panel, top 200): unticked white, ticked with a
# dark cross, or gone (the panel's face).
box() {
  local d
  d=$(import -window root -crop 9x9+408+226 +repage png:- 2>/dev/null | convert png:- -colorspace Gray -format '%[fx:minima]' info:)
  if awk -v d="$d" 'BEGIN { exit !(d < 0.5) }'; then echo ticked
  elif is 412 231 255,255,255; then echo empty
  else echo gone; fi
}
box_is() { [ "$(box)" = "$1" ]; }
answer_shown() { [ -n "$(first_y 460 300 790 $green)" ]; }
answer_hidden() { [ -z "$(first_y 460 300 790 $green)" ]; }
menu_open() { isnt 300 66 $face; }
# poll SECONDS COMMAND...: like wait_for, but only tells whether COMMAND came true in time.
poll() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.1; done
}
not_ticked() { ! box_is ticked; }

face=181,210,243     # the content panel and the empty bars
light=231,238,247    # buttons of the content panel
green=109,228,89

# Positions on the 1280 x 800 screen: the exercise screen lies below the 20-pixel bar; its
# left-hand panel is 255 wide, the content panel fills the rest (1025 x 780).
exercise_screen() { is 2 400 49,74,146 && is 258 400 49,74,146; }
bar_filled() { isnt "$1" "$2" $face; }

leave_manual

# The switcher: open it on the current screen's name, then "Übungen" (row 3).
click 80 10
wait_for 5 "open screen switcher" is 24 30 130,222,109
click 80 50
wait_for 10 "exercise screen" exercise_screen
import -window root "$shots/1-introduction.png"
for y in 248 453 658; do bar_filled 27 $y && fail "a tile bar is filled before any test"; done

# A test started while nobody is signed in is refused.
click 127 150
wait_for 5 "self-check list" is 1010 100 $light
click 400 115
wait_for 5 "message window" message_shown
import -window root "$shots/2-not-signed-in.png"
xdotool key Return
wait_for 5 "closing of the message" message_gone

# A new profile from the bar: "Lernprofil" is its first entry on this screen (from x 140),
# "neues Lernprofil anlegen" the third entry of its menu. Creating it signs it in.
# The bar takes the entry under the pointer from the motion before the click.
xdotool mousemove 165 12
for try in 1 2 3; do
  xdotool mousemove 170 10 click 1
  poll 2 menu_open && break
done
menu_open || fail "no profile menu"
click 200 66
wait_for 5 "profile dialog" dialog_shown
xdotool type --delay 30 Lena
xdotool key Tab
xdotool type --delay 30 Blatt42
xdotool key Tab
xdotool type --delay 30 Blatt42
import -window root "$shots/3-new-profile.png"
xdotool key Return
wait_for 5 "closing of the profile dialog" dialog_gone
wait_for 5 "signed-in profile file" [ -f "$profiles/lena0.usr" ]
size() { stat -c %s "$profiles/lena0.usr"; }
[ "$(size)" -eq 40 ] || fail "new profile file is $(size) bytes, not 40"

# Self-check: the first test of the list; "Antwort anzeigen", then "richtig" (the green button
# below the answer) until the result shows.
click 127 150
wait_for 5 "self-check list" is 1010 100 $light
import -window root "$shots/4-list.png"
click 400 115
wait_for 5 "first question" is 455 262 $light
import -window root "$shots/5-self-check.png"
while is 455 262 $light; do
  click 460 270
  wait_for 5 "answer" answer_shown
  y=$(first_y 460 300 790 $green)
  xdotool mousemove 460 $((y + 5)) click 1
  xdotool mousemove 700 790
  # The next question shows only "Antwort anzeigen" again; the result shows no block.
  wait_for 5 "next question" answer_hidden
done
wait_for 5 "self-check result" is 1020 759 $light
import -window root "$shots/6-self-check-result.png"
[ "$(size)" -eq 68 ] || fail "profile file is $(size) bytes after one test, not 68"
click 1130 759
wait_for 5 "introduction after the test" bar_filled 27 248

# Multiple choice: tick the first option of every question and go on; the last "Weiter" is
# "Fertig!" at the same place. The next question shows its boxes unticked again.
click 127 370
wait_for 5 "multiple-choice list" is 1010 100 $light
click 400 115
wait_for 5 "first question" box_is empty
import -window root "$shots/7-multiple-choice.png"
for q in $(seq 1 30); do
  click 412 231
  wait_for 2 "tick" box_is ticked
  xdotool mousemove 1175 759 click 1
  xdotool mousemove 700 790
  # A second of feedback, then the next question (an unticked box) or the result (no box).
  wait_for 5 "next question or result" not_ticked
  box_is gone && break
done
wait_for 5 "multiple-choice result" is 1020 759 $light
import -window root "$shots/8-multiple-choice-result.png"
[ "$(size)" -eq 96 ] || fail "profile file is $(size) bytes after two tests, not 96"
click 1130 759
wait_for 5 "introduction after the test" bar_filled 27 453

# Cloze: the first gap has the focus; type into it, then "Fertig!".
click 127 580
wait_for 5 "cloze list" is 1010 100 $light
click 400 115
wait_for 5 "cloze text" is 1175 759 $light
xdotool type --delay 30 Zellkern
import -window root "$shots/9-cloze.png"
xdotool mousemove 1175 759 click 1
wait_for 5 "cloze result" is 1020 759 $light
import -window root "$shots/10-cloze-result.png"
[ "$(size)" -eq 124 ] || fail "profile file is $(size) bytes after three tests, not 124"
click 1130 759
wait_for 5 "introduction after the test" bar_filled 27 658
import -window root "$shots/11-bars.png"
kill -0 $app || fail "the program ended"
echo "exercises_e2e: one test of each kind finished and stored, all three bars moved; screenshots in $shots"

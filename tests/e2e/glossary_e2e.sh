#!/usr/bin/env bash
# End-to-end walk through the real program on an X server (run under xvfb-run, 1280 x 800):
# cell model -> the nucleus' detail view -> a glossary link in its text -> the glossary entry
# with "Zurück" -> back to the cell screen as it was -> the glossary from the switcher, without
# "Zurück" -> a search typed straight away.
# Usage: glossary_e2e.sh PROGRAM SHOT_FOLDER
# Every wait polls with short steps and gives up after a bound; screenshots stay in SHOT_FOLDER.
set -u
program=$1
shots=$2
mkdir -p "$shots"
rm -f "$shots"/*.png

name=glossary_e2e
source "$(dirname "$0")/lib.sh"
start_program "$program"

dark_text_in() { awk -v d="$(darkest "$1")" 'BEGIN { exit !(d < 0.35) }'; }
# First pixel of exactly colour R,G,B in WxH+X+Y, as "x y" on the screen, or nothing.
first_pixel_of() {
  local geom=$1 colour=$2 ox oy
  ox=${geom#*+}; oy=${ox#*+}; ox=${ox%%+*}
  import -window root -crop "$geom" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[,: ]+' -v c="($colour)" -v ox="$ox" -v oy="$oy" 'index($0, c) && !/^#/ { print $1 + ox, $2 + oy; exit }'
}

# The cell screen: its green frame right of the model panel.
cell_screen_shown() { [ "$(pixel 1276 400)" = "130,222,109" ]; }
glossary_row_shown() { [ "$(pixel 24 70)" = "128,0,0" ]; }
heading_shown() { dark_text_in 400x50+470+40; }
# The glossary: maroon beside the cards, a heading on the entry card.
glossary_shown() { [ "$(pixel 1279 500)" = "128,0,0" ]; }
entry_heading_shown() { dark_text_in 600x40+400+36; }
# "Zurück" sits at the card's lower right: a silver panel with dark text.
back_shown() { [ "$(pixel 1208 706)" = "192,192,192" ] && dark_text_in 45x18+1212+707; }
back_hidden() { ! back_shown; }
link_in_text() { [ -n "$(first_pixel_of 600x640+660+120 128,0,0)" ]; }

leave_manual

# Cell model, then the nucleus from the organelle menu.
xdotool mousemove 80 10 click 1
wait_for 5 "open screen switcher" switcher_open
xdotool mousemove 80 30 click 1
wait_for 10 "cell screen" cell_screen_shown
xdotool mousemove 112 137 click 1
wait_for 20 "heading of the detail view" heading_shown
xdotool mousemove 900 500
wait_for 40 "a glossary link in the text" link_in_text
import -window root "$shots/1-cell-text.png"

# A link (maroon, underlined) in the description opens its glossary entry with "Zurück".
read -r lx ly <<<"$(first_pixel_of 600x640+660+120 128,0,0)"
xdotool mousemove "$lx" "$ly" click 1
wait_for 10 "glossary screen" glossary_shown
wait_for 10 "entry heading" entry_heading_shown
wait_for 10 "back button" back_shown
import -window root "$shots/2-entry-with-back.png"

# "Zurück" returns to the cell screen, still in the detail view.
xdotool mousemove 1233 717 click 1
wait_for 10 "cell screen after Zurück" cell_screen_shown
wait_for 10 "the detail view's heading after Zurück" heading_shown
import -window root "$shots/3-back-in-cell.png"

# The glossary from the switcher (rows below the current screen: Übersicht, Übungen, Glossar)
# starts over without "Zurück", and the search takes typing at once.
xdotool mousemove 80 10 click 1
wait_for 5 "open screen switcher with Glossar in row 4" glossary_row_shown
xdotool mousemove 80 70 click 1
wait_for 10 "glossary screen from the switcher" glossary_shown
wait_for 5 "no back button" back_hidden
import -window root "$shots/4-glossary.png"
xdotool type --delay 80 "zell"
wait_for 5 "typed search text" dark_text_in 190x24+15+33
import -window root "$shots/5-search-zell.png"

# An umlaut search: "stä" lists Stärke and Stärkekorn; Stärke has no picture, Stärkekorn one.
xdotool key ctrl+a
xdotool type --delay 80 "stä"
no_picture() { [ "$(pixel 300 200)" = "192,192,192" ]; }
has_picture() { ! no_picture; }
wait_for 5 "an entry without picture" no_picture
import -window root "$shots/6-search-umlaut.png"
xdotool mousemove 100 96 click 1
wait_for 5 "the second entry's picture" has_picture
import -window root "$shots/7-entry-with-picture.png"
kill -0 $app || fail "the program ended"
echo "glossary_e2e: text link -> entry -> Zurück -> cell screen -> glossary walked; screenshots in $shots"

# Shared by the end-to-end walks (sourced). The walk sets `name` (for its messages) and `shots`
# (its screenshot folder, may be empty) first; `app` is the program's process id once started.
# Every wait polls with short steps and gives up after a bound.

fail() {
  echo "$name: $*" >&2
  [ -n "${shots:-}" ] && import -window root "$shots/failure.png" 2>/dev/null
  exit 1
}

# start_program PROGRAM: runs it in the background with its output in $shots/program.log and
# ends it when the walk ends.
start_program() {
  "$1" >"$shots/program.log" 2>&1 &
  app=$!
  trap 'kill $app 2>/dev/null; wait $app 2>/dev/null' EXIT
}

# wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_for() {
  local bound=$1 what=$2
  shift 2
  local end=$((SECONDS + bound))
  until "$@"; do
    kill -0 "$app" 2>/dev/null || fail "the program ended while waiting for $what"
    [ $SECONDS -lt $end ] || fail "no $what after ${bound} s"
    sleep 0.1
  done
}

more_than() { awk -v v="$1" -v m="$2" 'BEGIN { exit !(v > m) }'; }

window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
manual_shown() { [ -n "$(window_named 'Handbuch')" ]; }
manual_gone() { [ -z "$(window_named 'Handbuch')" ]; }
screen_width=$(xdotool getdisplaygeometry | cut -d' ' -f1)
# The main window fills the screen's width; the splash is narrower.
main_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Vellora$' 2>/dev/null); do
    case "$(xdotool getwindowgeometry "$w")" in *"Geometry: ${screen_width}x"*)
      echo "$w"
      return 0
      ;;
    esac
  done
  return 1
}
main_shown() { main_window >/dev/null; }

# leave_manual [SHOT]: waits for the manual's welcome page, saves SHOT if given, closes the
# manual by the close box at the right end of its 20-pixel bar and waits for the main window.
leave_manual() {
  wait_for 30 "manual window" manual_shown
  [ -n "${1:-}" ] && import -window root "$1"
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$(window_named 'Handbuch')")"
  xdotool mousemove $((X + WIDTH - 10)) $((Y + 10)) click 1
  wait_for 10 "closing of the manual" manual_gone
  wait_for 10 "main window" main_shown
}

# The colour of one screen pixel as "r,g,b" (ImageMagick names some colours, "white" for one,
# but always gives the numbers first).
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | sed -n '2s/^[^(]*(\([0-9]*,[0-9]*,[0-9]*\).*/\1/p'; }
# Darkest grey (0..1) in WxH+X+Y: text drawn there is dark.
darkest() {
  import -window root -crop "$1" +repage png:- 2>/dev/null | convert png:- -colorspace Gray -format '%[fx:minima]' info:
}
# Share (0..1) of pixels in WxH+X+Y that are not the model panel's background (207, 235, 189).
foreground_share() {
  import -window root -crop "$1" +repage png:- 2>/dev/null |
    convert png:- -fuzz 4% -fill white -opaque 'rgb(207,235,189)' -fill black +opaque white \
      -colorspace Gray -format '%[fx:1-mean]' info:
}
switcher_open() { [ "$(pixel 24 30)" = "130,222,109" ]; }
whole_cell_drawn() { more_than "$(foreground_share 600x400+500+200)" 0.3; }

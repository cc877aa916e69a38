#!/usr/bin/env bash
# The program in a real X server (Xvfb), driven with real key presses and
# clicks (xdotool) the way a person uses it: on the last record of the sample
# bank the Title box is clicked, then the card moves (Ctrl+B, the scroll bar's
# left arrow, or a number typed into the record-number box), a word is typed
# and the program is quit. The word must then be stored in the record moved
# to, which the command line finds again after the program ended.
#   card_moves.sh TESSELLANE TESSELLANE-CLI [SHOTS-DIR]
set -euo pipefail

inside() { # runs in the X server: one way of moving, then typing and quitting
  local way=$1 word=$2
  "$gui" &
  local pid=$!
  local win
  win=$(window 'レコード編集')
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$win")" # X, Y of the card
  xdotool windowfocus --sync "$win"
  # The Title box: below the memo and author rows (twips of the layout table
  # at 96 dots per inch, the menu bar above them).
  xdotool mousemove $((X + 200)) $((Y + 210)) click 1
  sleep 0.3
  case $way in
    ctrl-b) xdotool key ctrl+b ;;
    scroll) xdotool mousemove $((X + 191)) $((Y + 53)) click 1 ;;
    number) xdotool mousemove $((X + 110)) $((Y + 53)) click 1; sleep 0.2
            xdotool key ctrl+a; xdotool type 125; xdotool key Return ;;
  esac
  sleep 0.5
  xdotool type --delay 20 " $word"
  sleep 0.3
  if [ -n "$shots" ]; then import -window root "$shots/e2e_$way.png"; fi
  xdotool key ctrl+q
  ended "$pid"
}

. "$(dirname "$0")/e2e_common.sh"

for way in ctrl-b scroll number; do
  home=$(mktemp -d)
  word="e2e${way//-/}"
  in_x "$home" "$way" "$word"
  found=$("$cli" search "$home/sample.bnk" --kind "Free Keyword" --keys "$word" --hits-only)
  if [ "$found" != "125" ]; then
    echo "$way: the word typed after moving was not stored in record 125 (found: '$found')"; exit 1
  fi
  echo "$way: stored in record 125"
  rm -rf "$home"
done

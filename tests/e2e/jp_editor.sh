#!/usr/bin/env bash
# The JP code editor in a real X server (Xvfb), driven with real key presses
# and clicks (xdotool) the way a person uses it: on a new bank the editor is
# opened from the card's option menu, "New" (Ctrl+N) picks the first free
# journal code, a journal name is typed and applied to the card, a title is
# typed on the card and the program is quit. Started again, the card shows the
# record with the journal's name; the command line finds the name in the
# table with one record using it, and in a rendered reference list.
#   jp_editor.sh TESSELLANE TESSELLANE-CLI [SHOTS-DIR]
set -euo pipefail

name="Journal of Editor Tests"
title="e2ejp title"

shot() { if [ -n "$shots" ]; then import -window root "$shots/jp_$1.png"; fi; }

editor() { # opens the editor from the card's option menu
  xdotool windowfocus --sync "$1"
  xdotool key alt+o; sleep 0.4; xdotool key j
  jp=$(window 'JPコード編集')
  sleep 0.5
  xdotool windowfocus --sync "$jp"
}

inside() { # runs in the X server
  local run=$1
  "$gui" &
  local pid=$!
  local card
  card=$(window 'レコード編集')
  sleep 1
  editor "$card"
  if [ "$run" = first ]; then
    xdotool key ctrl+n; sleep 0.3            # New: the first free journal code
    xdotool type --delay 20 "$name"; xdotool key Return
    sleep 0.3
    xdotool key alt+f; sleep 0.4; xdotool key a   # 適応(&A)
    sleep 0.5
    shot applied
    xdotool windowfocus --sync "$card"; sleep 0.5   # the editor saves the table
    eval "$(xdotool getwindowgeometry --shell "$card")"
    xdotool mousemove $((X + 200)) $((Y + 210)) click 1   # the Title box
    sleep 0.3
    xdotool type --delay 20 "$title"
    sleep 0.3
  else
    # The editor in each category (カテゴリー変更: T, J, P, E).
    for c in t j p e; do
      xdotool key alt+f; sleep 0.3; xdotool key c; sleep 0.3; xdotool key "$c"; sleep 0.5
      shot "category_$c"
    done
    xdotool key ctrl+w; sleep 0.3
    xdotool windowfocus --sync "$card"; sleep 0.5
    shot card_again
  fi
  xdotool windowfocus --sync "$card"
  xdotool key ctrl+q
  ended "$pid"
}

. "$(dirname "$0")/e2e_common.sh"

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$cli" new "$home/mine.bnk" >/dev/null
printf '3I\r\n%s/\r\nmine\r\n 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n200,200,9150,8020\r\n3000,2000,8760,6750\r\n2000,6000,7905,7290\r\n1,0\r\n' \
  "$home" >"$home/tz.cfg"
for run in first again; do
  in_x "$home" "$run"
  listed=$("$cli" jpcode "$home/mine.bnk" --list J)
  if ! grep -qF "  21  (    1)    $name" <<<"$listed"; then
    echo "$run: code 21 is not \"$name\" used by one record:"; grep -F "  2[0-2]  (" <<<"$listed" || true; exit 1
  fi
done
rendered=$("$cli" search "$home/mine.bnk" --kind "Free Keyword" --keys e2ejp)
if ! grep -qF "$name" <<<"$rendered"; then
  echo "the rendered list does not name the journal:"; echo "$rendered"; exit 1
fi
echo "the journal named in the editor is on the record and in the rendered list"

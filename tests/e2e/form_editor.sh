#!/usr/bin/env bash
# The output-form editor in a real X server (Xvfb), driven with real key
# presses and clicks (xdotool) the way a person uses it: on the sample bank
# the editor is opened from the card's option menu on its first form (APA),
# the form gets a new name and a new journal word order and is saved as a
# new form; in the search window the new form is chosen from the form list,
# a journal article is searched and the reference list saved to a file. The
# list must show the journal before the title, as the new word order says,
# and be the list the command line renders with the saved form file.
#   form_editor.sh TESSELLANE TESSELLANE-CLI [SHOTS-DIR]
set -euo pipefail

form="APA mine"
order="[J] / [T] ([Y])[/]"
key="Elektrodynamik"

shot() { if [ -n "$shots" ]; then import -window root "$shots/form_editor_$1.png"; fi; }

inside() { # runs in the X server
  local out=$1
  "$gui" &
  local pid=$!
  local card fm search
  card=$(window 'レコード編集')
  sleep 1
  xdotool windowfocus --sync "$card"
  xdotool key alt+o; sleep 0.4; xdotool key r       # 書式の編集(&R)
  fm=$(window '書式編集')
  sleep 0.5
  xdotool windowmove --sync "$fm" 0 0; xdotool windowsize --sync "$fm" 1180 760
  sleep 0.5
  xdotool windowfocus --sync "$fm"; sleep 0.3
  shot opened
  # The focus is in the name box: the new name.
  xdotool key ctrl+a; xdotool type --delay 20 "$form"
  # The journal word order (the first box of the "Word orders" frame).
  eval "$(xdotool getwindowgeometry --shell "$fm")"
  xdotool mousemove $((X + ORDER_X)) $((Y + ORDER_Y)) click 1; sleep 0.3
  xdotool key ctrl+a; xdotool type --delay 20 "$order"
  sleep 0.5
  shot edited
  xdotool key alt+f; sleep 0.4; xdotool key s       # 保存(&S): the new-form question
  sleep 0.8
  shot question
  xdotool key Return; sleep 0.8
  shot saved

  # The search window: the new form (the last in the list), then the search.
  xdotool windowfocus --sync "$card"; sleep 0.3
  xdotool key alt+s; sleep 0.4; xdotool key f       # フリーキーワード(&F)
  search=$(window '文献検索')
  sleep 0.5
  xdotool windowfocus --sync "$search"; sleep 0.3
  xdotool key alt+o; sleep 0.4; xdotool key f; sleep 0.3   # 書式の選択(&F)
  xdotool key End; sleep 0.3
  xdotool windowfocus --sync "$card"; sleep 0.3
  xdotool key alt+s; sleep 0.4; xdotool key f; sleep 0.5   # the key box again
  xdotool type --delay 20 "$key"; xdotool key Return
  sleep 1
  shot searched
  xdotool key alt+r; sleep 0.4; xdotool key s       # 保存(&S): the file dialog
  sleep 1
  xdotool type --delay 10 "$out"; sleep 0.3
  shot file_dialog
  xdotool key Return
  sleep 0.8
  shot confirm
  xdotool key Return                                # "... として保存します。"
  sleep 0.8
  xdotool key ctrl+w; sleep 0.5                     # the search window closed
  xdotool windowfocus --sync "$fm"; sleep 0.3
  xdotool key alt+f; sleep 0.4; xdotool key x; sleep 0.5   # the editor: 閉じる(&X)
  xdotool windowfocus --sync "$card"; sleep 0.3
  xdotool key ctrl+q
  ended "$pid"
}

. "$(dirname "$0")/e2e_common.sh"
# Where the journal word-order box lies in the editor at 1180 x 760 pixels
# and 96 dots per inch.
export ORDER_X=${ORDER_X:-450} ORDER_Y=${ORDER_Y:-332}

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
in_x "$home" "$home/list.txt"
if [ ! -f "$home/list.txt" ]; then
  echo "the search window saved no reference list"; exit 1
fi
listed=$(iconv -f CP932 -t UTF-8 "$home/list.txt" | tr -d '\r')
if ! grep -q " / Zur Elektrodynamik bewegter Koerper. (1905)" <<<"$listed"; then
  echo "the list does not follow the new journal word order:"; echo "$listed"; exit 1
fi
expected=$("$cli" search "$home/sample.bnk" --kind "Free Keyword" --keys "$key" \
  --forms "$home/form.cfg" --form "$form" --encoding cp932 | iconv -f CP932 -t UTF-8 | tr -d '\r')
if [ "$listed" != "$expected" ]; then
  echo "the saved list differs from the command line's with the saved form:"
  diff <(echo "$listed") <(echo "$expected") || true
  exit 1
fi
echo "the form saved in the editor renders the search in the new word order:"
echo "$listed"

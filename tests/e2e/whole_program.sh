#!/usr/bin/env bash
# The whole program in a real X server (Xvfb), driven with real key presses
# and clicks (xdotool) as a person uses it, in a new program folder:
#   1  the first start shows the last record of the sample bank;
#   2  a bank made from the card's bank menu (the bank window);
#   3  five records of the four styles typed, with links, URLs and DOIs, and
#      journal and publisher names typed into the card's name list;
#   4  searched by every kind of the search menu;
#   5  listed in every shipped form and script, saved and printed into a PDF;
#   6  the JP code editor: a name edited, a code moved, the table sorted;
#   7  the output-form editor: a form changed and listed with;
#   8  a RIS file imported and the bank exported as BibTeX (bank menu);
#   9  the bank duplicated (bank menu);
#  10  a bank of version 2 converted (bank menu);
#  11  the program quit and started again: the bank, its records, the window
#      places and the chosen form as they were left.
# What each step did is checked afterwards with tessellane-cli (the same
# search, rendering, import, export and conversion give the same bytes) and by
# reading the bank's files. The screenshots of each window at each step go
# to SHOTS-DIR.
#   whole_program.sh TESSELLANE TESSELLANE-CLI [SHOTS-DIR]
set -euo pipefail

# ---- In the X server ---------------------------------------------------------

# The places of the card's controls (pixels from the window's corner at 96
# dots per inch and the default font size): the JP name list and Save.
NAME_LIST_X=360 NAME_LIST_Y=349
SAVE_X=511 SAVE_Y=562

start_program() {
  "$gui" >>"$work/program.log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
}

quit_program() {
  focus "$card"
  xdotool key ctrl+q
  ended "$pid" || fail "the program ended with status $?"
  trap - EXIT
}

# answer [NAME] [KEY]: waits for a message box of the program, takes its
# screenshot as NAME (none without a name) and answers it (Return: OK), then
# waits until it closed.
answer() {
  local box
  box=$(window '^Tessellane$|^Bank - Convert$')
  focus "$box"
  [ -z "$1" ] || snap "$1" "$box"
  xdotool key "${2:-Return}"
  gone "$box"
}

# file_dialog TITLE PATH [NAME]: types the path into the file dialog titled
# so (its screenshot as NAME).
file_dialog() {
  local dialog
  dialog=$(window "^$1\$")
  focus "$dialog"
  xdotool key ctrl+a
  type_text "$2"
  [ -z "${3:-}" ] || snap "$3" "$dialog"
  xdotool key Return
  gone "$dialog"
}

click_card() { # X Y: a click at that place of the card
  focus "$card"
  eval "$(xdotool getwindowgeometry --shell "$card")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
  sleep 0.2
}

# field LETTER TEXT: the box of the field menu's item, its text replaced.
field() {
  menu f "$1"
  xdotool key ctrl+a
  type_text "$2"
}

# next TEXT...: Enter, then the text into the box it moves to, for each text.
next() {
  for t in "$@"; do
    xdotool key Return
    type_text "$t"
  done
}

# new_record STYLE: a new record in the style (the field menu's j, b, m, e);
# the focus is then in the memo box.
new_record() {
  focus "$card"
  xdotool key ctrl+n
  sleep 0.2
  menu f s "$1"
}

# jp_name NAME SHOT: the name typed into the card's name list and Enter; a
# name the table lacks is added when asked (SHOT: the question's screenshot).
jp_name() {
  click_card "$NAME_LIST_X" "$NAME_LIST_Y"
  xdotool key End shift+Home
  type_text "$1"
  xdotool key Return
  if [ -n "${2:-}" ]; then answer "$2"; fi
  focus "$card"
}

save_card() {
  click_card "$SAVE_X" "$SAVE_Y"
}

# find_with KIND LETTER KEYS SHOT: the search menu's kind (its letter) on the
# card, the keys typed (none: the kind searches at once).
find_with() {
  focus "$card"
  menu s "$2"
  search=$(window '^文献検索')
  focus "$search"
  if [ -n "$3" ]; then
    xdotool key End shift+Home
    type_text "$3"
    xdotool key Return
  fi
  sleep 0.5
  snap "$4" "$search"
}

# save_list FILE [SHOT]: the search window's list saved as the file (the
# screenshots of the file dialog and the question as SHOT_...).
save_list() {
  focus "$search"
  menu r s
  file_dialog 検索結果の保存 "$1" "${2:+${2}_file_dialog}"
  answer "${2:+${2}_question}"
  wait_file "$1"
}

# same_list FILE CLI-SEARCH-ARGS...: the saved list is what the command line
# renders for the same search, form and script.
same_list() {
  local saved=$1 expected
  shift
  expected=$work/expected.txt
  "$cli" search "$bank" --forms "$home/form.cfg" --scripts "$home/script.cfg" --encoding cp932 "$@" --output "$expected"
  cmp -s "$saved" "$expected" || {
    diff <(iconv -f CP932 -t UTF-8 "$saved") <(iconv -f CP932 -t UTF-8 "$expected") >&2 || true
    fail "the list saved as $(basename "$saved") is not the command line's for: $*"
  }
}

# hits KIND KEYS EXPECTED: the records the command line's search finds (in
# the order of their numbers).
hits() {
  local found
  found=$("$cli" search "$bank" --kind "$1" --keys "$2" --hits-only | sort -n | tr '\n' ' ')
  [ "$found" = "$3" ] || fail "$1 \"$2\" finds \"$found\", not \"$3\""
}

# choose LIST N: the search window's form (f) or script (s) list at entry N,
# then List.
choose() {
  focus "$search"
  menu o "$1"
  local moves=(Home)
  for ((k = 1; k < $2; k++)); do moves+=(Down); done
  xdotool key "${moves[@]}"
  menu r r
  sleep 0.2
}

same_files() { # FOLDER-A FOLDER-B WHAT: the four files of two banks alike
  for f in record.tzd JPcode.tzd Link.tzd Pdf.tzd; do
    cmp -s "$1/$f" "$2/$f" || fail "$3: $f differs"
  done
}

# ---- 1: the first start, on the sample bank ----------------------------------
first_start() {
  keys bind "その他の資料 二重登録"
  start_program
  card=$(window '^レコード編集.*\[SAMPLE\]$')
  focus "$card"
  snap 01_card_sample_last_record "$card"
  # The focus is in the memo box of the last record.
  type_text " e2efirst "
}

# ---- 2: a new bank from the bank menu ------------------------------------------
new_bank() {
  focus "$card"
  menu b n
  local bankwin
  bankwin=$(window '^文献バンクを作る')
  focus "$bankwin"
  xdotool key ctrl+a
  type_text mine
  snap 02_bank_window_new "$bankwin"
  xdotool key Return
  answer 02_bank_new_question
  card=$(window '^レコード編集.*\[MINE\]$')
  gone "$bankwin"
  focus "$card"
  snap 02_card_new_bank "$card"

  local count last
  count=$("$cli" info "$home/sample.bnk" | sed -n 's/^records: //p')
  last=$("$cli" search "$home/sample.bnk" --kind Memo --keys e2efirst --hits-only)
  [ "$last" = "$count" ] || fail "the word typed at the first start is in record '$last', not the last ($count)"
  "$cli" info "$bank" | grep -qx 'records: 1' || fail "the new bank does not hold one blank record"
  echo "1, 2: the first start showed the sample bank's last record $count; the bank window made mine.bnk"
}

# ---- 3: five records ---------------------------------------------------------------
type_records() {
  # Record 1 stays the new bank's blank record; 2 to 6 are typed.
  new_record j
  type_text "e2e journal article"
  next "J. D. Watson and F. H. C. Crick" "Molecular structure of nucleic acids"
  jp_name "Nature" 03_card_new_journal_question
  field v 171
  next 737 8 1953 "DNA; double helix"
  field u "https://example.org/watson-crick"
  field d "10.1038/171737a0"
  snap 03_card_record_journal "$card"

  new_record b
  type_text "e2e chapter"
  next "M. Delbrueck" "A physicist looks at biology" "J. Cairns, G. S. Stent and J. D. Watson" \
    "Phage and the origins of molecular biology"
  jp_name "Cold Spring Harbor Laboratory Press" 03_card_new_publisher_question
  field p 9
  next 22 1966 phage 2
  snap 03_card_record_chapter "$card"

  new_record m
  type_text "e2e monograph"
  next "E. Schroedinger" "What is life?"
  jp_name "Cambridge University Press" 03_card_new_press_question
  field y 1944
  next negentropy "2, 3"
  field u "https://example.org/what-is-life"
  field d "10.1017/CBO9781139644129"
  snap 03_card_record_monograph "$card"

  new_record e
  type_text "e2e その他の資料"
  next "R. E. Franklin and R. G. Gosling" "Photograph 51"
  jp_name "King's College London" 03_card_new_source_question
  field v 5
  next 6 1952 "X-ray diffraction" 2
  field u "https://example.org/photograph-51"
  snap 03_card_record_etc "$card"

  # The journal article booked a second time (the first author, the reprint's
  # year): the double-booked search finds the pair.
  new_record j
  type_text "e2e 二重登録"
  next "J. D. Watson" "Molecular structure of nucleic acids, booked twice"
  field j 1
  next 171 737 738 1954 twice 4
  save_card
  snap 03_card_record_booked_twice "$card"

  "$cli" export "$bank" --format ris | grep -v '^Y2  - ' | tr -d '\r' >"$work/typed.ris"
  diff "$work/typed.ris" - >&2 <<'EOF' || fail "the typed records are not stored as typed"
TY  - JOUR
ER  - 

TY  - JOUR
AU  - Watson, J. D.
AU  - Crick, F. H. C.
TI  - Molecular structure of nucleic acids
T2  - Nature
VL  - 171
SP  - 737
EP  - 738
PY  - 1953
KW  - DNA
KW  - double helix
N1  - e2e journal article
UR  - https://example.org/watson-crick
DO  - 10.1038/171737a0
ER  - 

TY  - CHAP
AU  - Delbrueck, M.
A2  - Cairns, J.
A2  - Stent, G. S.
A2  - Watson, J. D.
TI  - A physicist looks at biology
T2  - Phage and the origins of molecular biology
PB  - Cold Spring Harbor Laboratory Press
SP  - 9
EP  - 22
PY  - 1966
KW  - phage
N1  - e2e chapter
ER  - 

TY  - BOOK
AU  - Schroedinger, E.
TI  - What is life?
PB  - Cambridge University Press
PY  - 1944
KW  - negentropy
N1  - e2e monograph
UR  - https://example.org/what-is-life
DO  - 10.1017/CBO9781139644129
ER  - 

TY  - GEN
AU  - Franklin, R. E.
AU  - Gosling, R. G.
TI  - Photograph 51
PB  - King's College London
VL  - 5
SP  - 6
PY  - 1952
KW  - X-ray diffraction
N1  - e2e その他の資料
UR  - https://example.org/photograph-51
ER  - 

TY  - JOUR
AU  - Watson, J. D.
TI  - Molecular structure of nucleic acids, booked twice
T2  - Nature
VL  - 171
SP  - 737
EP  - 738
PY  - 1954
KW  - twice
N1  - e2e 二重登録
ER  - 

EOF
  local pairs
  pairs=$(od -An -v -td2 -w4 "$bank/Link.tzd" | awk '$1 > 0 { print $1 "-" $2 }' | sort | tr '\n' ' ')
  [ "$pairs" = "2-3 2-4 2-5 3-4 4-6 " ] || fail "the link table holds $pairs"
  "$cli" jpcode "$bank" --list | grep -E '^ +(1|101|102|151) ' >"$work/codes.txt"
  diff "$work/codes.txt" - >&2 <<'EOF' || fail "the names typed into the name list did not take the first free codes"
   1  (    2)    Nature
 101  (    1)    Cold Spring Harbor Laboratory Press
 102  (    1)    Cambridge University Press
 151  (    1)    King's College London
EOF
  echo "3: five records of the four styles stored as typed, with their links, URLs, DOIs and names"
}

# ---- 4: every search kind ---------------------------------------------------------
search_every_kind() {
  # The search window opened beside the card.
  focus "$card"
  menu s f
  search=$(window '^文献検索')
  xdotool windowmove --sync "$search" 640 0
  local n=0 kind letter keys expected
  while IFS='|' read -r kind letter keys expected; do
    n=$((n + 1))
    find_with "$kind" "$letter" "$keys" "$(printf '04_search_%d_%s' "$n" "${kind//[^A-Za-z]/}")"
    save_list "$work/search$n.txt" "$([ "$n" -gt 1 ] || echo 04_search_save)"
    same_list "$work/search$n.txt" --kind "$kind" --keys "$keys"
    hits "$kind" "$keys" "$expected"
  done <<'EOF'
Free Keyword|f|helix phage|2 3 |
Memo|m|二重登録|6 |
Author + Editor|a|Watson|2 3 6 |
Title + Keyword|k|biology negentropy|3 4 |
JPcode|j|101-151|3 4 5 |
Year|y|1944-1952|4 5 |
Record|r|3,5|3 5 |
Blank|b||1 |
Dbl_booked|d||2 6 |
EOF
  echo "4: every kind of the search menu found its records, listed as the command line lists them"
}

pdf_complete() { tail -c 64 "$1" 2>/dev/null | grep -q '%%EOF'; }

# ---- 5: every form and script, the list saved and printed ------------------------------
list_every_form() {
  find_with Memo m e2e 05_search_memo
  hits Memo e2e "2 3 4 5 6 "
  local f s
  for f in 1 2 3 4 5 6 7 8; do
    choose f "$f"
    snap "05_search_form_$f" "$search"
    save_list "$work/form$f.txt"
    same_list "$work/form$f.txt" --kind Memo --keys e2e --form "$f" --script 1
  done
  choose f 1
  for s in 2 3 4 5; do
    choose s "$s"
    snap "05_search_script_$s" "$search"
    save_list "$work/script$s.txt"
    same_list "$work/script$s.txt" --kind Memo --keys e2e --form 1 --script "$s"
  done
  choose s 1

  # Printed into a PDF file (the print dialog's PDF printer) in the Japanese form.
  choose f 6
  focus "$search"
  menu r p
  local dialog
  dialog=$(window '^印刷$')
  focus "$dialog"
  xdotool key alt+f ctrl+a
  type_text "$work/list.pdf"
  snap 05_print_dialog "$dialog"
  xdotool key Return
  gone "$dialog"
  until_true "the printed PDF file" pdf_complete "$work/list.pdf"
  local printed
  printed=$(pdftotext "$work/list.pdf" - | tr -d ' \n')
  "$cli" search "$bank" --kind Memo --keys e2e --form 6 --encoding utf8 | tr -d '\r' | while IFS= read -r line; do
    line=${line// /}
    [ -z "$line" ] || [[ $printed == *"$line"* ]] || fail "the printed list lacks: $line"
  done
  choose f 1
  echo "5: the hits listed in the 8 forms and 5 scripts as the command line lists them; printed into a PDF"
}

# ---- 6: the JP code editor ------------------------------------------------------------
jp_editor() {
  focus "$card"
  menu o j
  jp=$(window '^JPコード編集')
  xdotool windowmove --sync "$jp" 640 480
  focus "$jp"
  snap 06_jp_editor_opened "$jp"
  # The top journals, whose first code (Nature, 1) is selected: its name edited.
  menu f c t
  snap 06_jp_editor_top_journals "$jp"
  xdotool key End shift+Home
  type_text "Nature (London)"
  xdotool key Return
  sleep 0.3
  snap 06_jp_editor_renamed "$jp"
  # Moved to the common journals.
  menu e m j
  answer 06_jp_editor_move_question
  focus "$jp"
  snap 06_jp_editor_moved "$jp"
  # Every category sorted by name.
  menu e s
  answer 06_jp_editor_sort_question
  focus "$jp"
  menu f c p
  sleep 0.3
  snap 06_jp_editor_sorted_press "$jp"
  # Back on the card, which saves the table.
  focus "$card"
  sleep 0.3
  snap 06_card_after_jp_editor "$card"

  "$cli" jpcode "$bank" --list | grep -E '^ +(1|21|101|102|151) ' >"$work/codes.txt"
  diff "$work/codes.txt" - >&2 <<'EOF' || fail "the JP code table is not as edited"
   1  (     )    
  21  (    2)    Nature (London)
 101  (    1)    Cambridge University Press
 102  (    1)    Cold Spring Harbor Laboratory Press
 151  (    1)    King's College London
EOF
  hits JPcode 21 "2 6 "
  hits JPcode 101 "4 "
  hits JPcode 102 "3 "
  echo "6: the JP code editor renamed Nature, moved it to code 21 and sorted the publishers; the records followed"
}

# ---- 7: the output-form editor ---------------------------------------------------------
form_editor() {
  focus "$card"
  menu o r
  local fm
  fm=$(window '^書式編集')
  xdotool windowmove --sync "$fm" 0 0
  xdotool windowsize --sync "$fm" 1180 760
  focus "$fm"
  snap 07_form_editor_opened "$fm"
  # The journal word order of the first form (APA), changed and saved over it.
  eval "$(xdotool getwindowgeometry --shell "$fm")"
  xdotool mousemove $((X + 450)) $((Y + 332)) click 1
  sleep 0.2
  xdotool key ctrl+a
  type_text "[A] ([Y]) [T] *[J]* [V]:[PS]-[PE] (e2e).[/]"
  sleep 0.3
  snap 07_form_editor_edited "$fm"
  menu f s
  answer 07_form_editor_save_question
  focus "$fm"
  snap 07_form_editor_saved "$fm"
  menu f x
  gone "$fm"

  find_with Memo m e2e 07_search_memo
  focus "$search"
  menu r r
  sleep 0.4
  snap 07_search_edited_form "$search"
  save_list "$work/edited_form.txt"
  same_list "$work/edited_form.txt" --kind Memo --keys e2e --form 1
  grep -q '171:737-738 (e2e)' "$work/edited_form.txt" || fail "the list does not follow the edited word order"
  echo "7: the form edited in the form editor is the one the search window lists with"
}

# ---- 8: import and export ---------------------------------------------------------------
interchange() {
  # What the command line's import makes of the same bank.
  rm -rf "$work/imported.bnk"
  cp -r "$bank" "$work/imported.bnk"
  "$cli" import "$work/imported.bnk" "$work/references.ris" >/dev/null 2>&1

  focus "$card"
  menu b i
  file_dialog インポート "$work/references.ris" 08_import_file_dialog
  answer 08_import_question
  answer 08_import_report
  focus "$card"
  sleep 0.3
  snap 08_card_first_imported "$card"
  same_files "$bank" "$work/imported.bnk" "the bank menu's import and the command line's"
  "$cli" info "$bank" | grep -qx 'records: 8' || fail "the import did not add two records"

  menu b x
  file_dialog エクスポート "$work/mine.bib" 08_export_file_dialog
  answer 08_export_done
  wait_file "$work/mine.bib"
  "$cli" export "$bank" --format bibtex --output "$work/expected.bib" >/dev/null 2>&1
  cmp -s "$work/mine.bib" "$work/expected.bib" || fail "the BibTeX export differs from the command line's"
  grep -q '@book{' "$work/mine.bib" || fail "the export holds no book"
  echo "8: the RIS file imported (one reference already in the bank left out) and the bank exported as BibTeX"
}

# ---- 9: the bank duplicated ---------------------------------------------------------------
duplicate() {
  focus "$card"
  menu b d
  local bankwin
  bankwin=$(window '^文献バンクの複製')
  focus "$bankwin"
  xdotool key ctrl+a
  type_text copy
  snap 09_bank_window_duplicate "$bankwin"
  xdotool key Return
  answer 09_bank_duplicate_question
  gone "$bankwin"
  until_true "the duplicated bank" test -d "$home/copy.bnk"
  same_files "$bank" "$home/copy.bnk" "the duplicated bank"
  echo "9: the bank duplicated as copy.bnk"
}

# ---- 10: a bank of version 2 converted ----------------------------------------------------
convert() {
  "$cli" convert "$home/oldbank" "$work/converted.bnk" >/dev/null
  focus "$card"
  menu b c
  local box
  box=$(window '^Bank - Convert$')
  focus "$box"
  type_text oldbank
  snap 10_convert_name "$box"
  xdotool key Return
  gone "$box"
  answer 10_convert_question
  answer 10_convert_done
  same_files "$home/oldbank.bnk" "$work/converted.bnk" "the bank menu's conversion and the command line's"
  "$cli" info "$home/oldbank.bnk" | grep -qx 'records: 3' || fail "the converted bank does not hold 3 records"
  echo "10: the version-2 bank converted as oldbank.bnk"
}

# ---- 11: quit, start again --------------------------------------------------------------
leave() {
  # The windows moved, the Japanese society's form chosen.
  focus "$card"
  xdotool windowmove --sync "$card" 30 40
  xdotool windowmove --sync "$search" 660 20
  focus "$jp"
  xdotool windowmove --sync "$jp" 670 520
  choose f 6
  snap 11_search_before_quit "$search"
  for w in card search jp; do
    eval "$(xdotool getwindowgeometry --shell "${!w}")"
    echo "$w $X $Y $WIDTH $HEIGHT"
  done >"$work/places.txt"
  quit_program
}

again() {
  start_program
  card=$(window '^レコード編集.*\[MINE\]$')
  focus "$card"
  snap 11_card_again "$card"
  find_with Memo m e2e 11_search_again
  focus "$card"
  menu o j
  jp=$(window '^JPコード編集')
  snap 11_jp_editor_again "$jp"
  for w in card search jp; do
    eval "$(xdotool getwindowgeometry --shell "${!w}")"
    echo "$w $X $Y $WIDTH $HEIGHT"
  done >"$work/places_again.txt"
  diff "$work/places.txt" "$work/places_again.txt" >&2 || fail "the windows are not where they were left"
  save_list "$work/again.txt"
  same_list "$work/again.txt" --kind Memo --keys e2e --form 6
  quit_program
}

inside() {
  work=$1
  bank=$TESSELLANE_HOME/mine.bnk
  home=$TESSELLANE_HOME
  case $2 in
    first)
      first_start
      new_bank
      type_records
      search_every_kind
      list_every_form
      jp_editor
      form_editor
      interchange
      duplicate
      convert
      leave
      ;;
    again) again ;;
  esac
}

# ---- The test ------------------------------------------------------------------------

. "$(dirname "$0")/e2e_common.sh"
for tool in pdftotext python3 iconv; do
  command -v "$tool" >/dev/null || { echo "FAILED: $tool is needed (./dev test installs it)"; exit 1; }
done
# The screenshots of an earlier run go.
if [ -n "$shots" ]; then rm -f "$shots"/[0-9][0-9]_*.png; fi

home=$(mktemp -d)
work=$(mktemp -d)
# Kept for a look when the test fails.
trap 'status=$?
if [ $status -eq 0 ]; then
  rm -rf "$home" "$work"
else
  if [ -s "$work/program.log" ]; then echo "the program wrote:"; tail -n 60 "$work/program.log"; fi
  echo "the files are kept in $home and $work"
fi' EXIT

# The file to import: a journal article, a book of a publisher the bank
# knows, and the first typed record again (its DOI in other letters).
cat >"$work/references.ris" <<'EOF'
TY  - JOUR
AU  - Pauling, Linus
AU  - Corey, Robert B.
TI  - A proposed structure for the nucleic acids
T2  - Proceedings of the National Academy of Sciences
VL  - 39
IS  - 2
SP  - 84
EP  - 97
PY  - 1953
DO  - 10.1073/pnas.39.2.84
ER  - 

TY  - BOOK
AU  - Judson, Horace Freeland
TI  - The eighth day of creation
PB  - Cold Spring Harbor Laboratory Press
PY  - 1996
KW  - history of biology
ER  - 

TY  - JOUR
AU  - Watson, J. D.
TI  - Molecular structure of nucleic acids
T2  - Nature
DO  - https://doi.org/10.1038/171737A0
ER  - 
EOF

# A bank of version 2 in the program folder: nine files, three records
# (a journal article, a chapter and a Japanese monograph) and one link.
python3 - "$home/oldbank" <<'EOF'
import os, struct, sys
folder = sys.argv[1]
os.makedirs(folder)
records = [  # memo, authors&&editors, title&&keywords&&book, year, code, "volume,first-last"
    ("e2e old journal", "H. Yukawa&&", "On the interaction of elementary particles&&meson&&", 1935, 5, "17,48-57"),
    ("", "S. Tomonaga&&W. Pauli", "On a relativistically invariant formulation&&field theory&&Niels Bohr and physics", 1955, 120, "1,34-45"),
    ("旧版の記録", "朝永振一郎&&", "量子力学的世界像&&量子力学&&", 1949, 130, ","),
]
def put(name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
def pad(text, width):
    data = text.encode("cp932")
    return data + b" " * (width - len(data))
put("memo.dat", b"".join(pad(r[0], 70) for r in records))
put("person.dat", b"".join(pad(r[1], 212) for r in records))
put("phrase.dat", b"".join(pad(r[2], 284) for r in records))
put("year.dat", b"".join(struct.pack("<h", r[3]) for r in records))
put("index.dat", b"".join(struct.pack("<h", r[4]) + pad(r[5], 20) + b" " * 8 for r in records))
put("reconow.dat", b" 3 \r\n")
names = ["Journal %d" % k for k in range(1, 151)]
names[4] = "Progress of Theoretical Physics"
names[119] = "Pergamon Press"
names[129] = "みすず書房"
put("JPcode.dat", ("J\r\n20-100-150\r\n" + "".join(n + "\r\n" for n in names)).encode("cp932"))
put("link.dat", struct.pack("<hh", 1, 3))
put("JPcount.dat", b"")
EOF

started=$SECONDS
in_x "$home" "$work" first
# What the first run left: the bank's files and the settings.
for f in "$home"/mine.bnk/* "$home/tz.cfg"; do md5sum <"$f"; done >"$work/left.md5"
in_x "$home" "$work" again
for f in "$home"/mine.bnk/* "$home/tz.cfg"; do md5sum <"$f"; done >"$work/again.md5"
diff "$work/left.md5" "$work/again.md5" >/dev/null || {
  echo "FAILED: starting again and quitting changed the bank or the settings"; exit 1
}
echo "11: started again on mine.bnk with its records, the windows in their places and the form chosen"
echo "the whole program: $((SECONDS - started)) s"

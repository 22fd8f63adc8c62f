#!/usr/bin/env bash
# sheetlore.exe end to end under Wine, on the private CUPS queues: each command's output (text,
# JSON, CSV) and exit status. The tool runs from a private copy, so its paper store
# (PrintSet.ini beside the program) starts absent and is this test's own.
# Wine's AddForm and DeleteForm succeed without changing anything: an added form never shows
# up and a deleted one stays.
#   cli_test.sh <wine loader> <sheetlore.exe> <window_closer.exe>
set -u
wine=$1
closer=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/sheetlore.exe"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run <args...>: the tool's stdout (CR removed) in $out, stderr in $err, exit status in $rc.
run() {
  "$wine" "$work/sheetlore.exe" "$@" >"$work/out" 2>"$work/err"
  rc=$?
  out=$(tr -d '\r' <"$work/out")
  err=$(tr -d '\r' <"$work/err")
}

# expect <exit status> <expected stdout> <args...>
expect() {
  local status=$1 expected=$2
  shift 2
  run "$@"
  if [ "$rc" -ne "$status" ]; then
    fail "sheetlore $* exited $rc, expected $status (stderr: $err)"
  elif [ "$out" != "$expected" ]; then
    fail "sheetlore $*: unexpected output"
    diff <(echo "$expected") <(echo "$out") | head -20
  else
    echo "ok: sheetlore $* -> $rc"
  fi
}

# expect_status <exit status> <text stderr must hold> <args...>
expect_status() {
  local status=$1 message=$2
  shift 2
  run "$@"
  if [ "$rc" -ne "$status" ]; then
    fail "sheetlore $* exited $rc, expected $status (stderr: $err)"
  elif [[ "$err" != *"$message"* ]]; then
    fail "sheetlore $*: stderr \"$err\" lacks \"$message\""
  else
    echo "ok: sheetlore $* -> $rc ($err)"
  fi
}

echo "== help"
run --help
help=$out
[ "$rc" -eq 0 ] || fail "--help exited $rc"
[[ "$help" == *"Paper store: "*"\\PrintSet.ini" ]] || fail "--help does not name the store: $help"
for command in printers forms form-show form-add form-delete form-find form-select install dialog \
  papers paper-show paper-store paper-delete paper-export paper-import capture apply; do
  [[ "$help" == *"  $command "* ]] || fail "--help does not list $command"
  run "$command" --help
  if [ "$rc" -ne 0 ] || [[ "$out" != "Usage: sheetlore $command"* ]] || [[ "$out" != *"Exit status:"* ]]; then
    fail "$command --help (exit $rc): $out"
  fi
  run help "$command"
  [ "$rc" -eq 0 ] && [[ "$out" == "Usage: sheetlore $command"* ]] || fail "help $command"
done
run help paper-delete
[[ "$out" == *"Usage: sheetlore paper-delete NAME"* ]] || fail "help paper-delete: $out"
run help apply
[[ "$out" == *"  5  apply --check: the printer does not match the library file"* ]] ||
  fail "help apply does not give exit status 5: $out"

echo "== bad arguments"
expect_status 2 "Usage: sheetlore COMMAND"
expect_status 2 'unknown command "frobnicate"' frobnicate
expect_status 2 "unknown option --colour" forms --colour
expect_status 2 "cannot be used together" printers --json --csv
expect_status 2 "missing argument" form-add Sheetlore_Office Narrow 10
expect_status 2 'unexpected argument "extra"' form-show Sheetlore_Office Letter extra
expect_status 2 'the width is not a number: "21cm"' form-add Sheetlore_Office Narrow 21cm 10
expect_status 2 'is not a number: "1,5"' paper-store Comma 1,5 10
expect_status 2 "cannot be negative" paper-store Neg 10 10 --left -1
expect_status 2 "must be greater than 0" paper-store Zero 0 10
expect_status 2 "--top needs a value" paper-store Top 10 10 --top
expect_status 2 "WIDTH/HEIGHT" form-find 8.5
expect_status 2 "WIDTH/HEIGHT" form-find 8.5/11/2
expect_status 2 "the form name is empty" form-add Sheetlore_Office " " 10 10
expect_status 2 "cannot hold the name" paper-store "a=b" 10 10
expect_status 2 "cannot hold the name" paper-store printmain 10 10
expect_status 2 "cannot hold the name" paper-store " Padded" 10 10

echo "== printers"
expect 0 "Name              Default
Sheetlore_Draft   no
Sheetlore_Label   no
Sheetlore_Office  yes" printers
expect 0 '[
  {
    "name": "Sheetlore_Draft",
    "default": false
  },
  {
    "name": "Sheetlore_Label",
    "default": false
  },
  {
    "name": "Sheetlore_Office",
    "default": true
  }
]' printers --json
expect 0 "Name,Default
Sheetlore_Draft,no
Sheetlore_Label,no
Sheetlore_Office,yes" --csv printers

echo "== forms"
run forms Sheetlore_Label
[ "$rc" -eq 0 ] || fail "forms Sheetlore_Label exited $rc"
[ "$(echo "$out" | head -n 3)" = "No.  Name                            Width (cm)  Height (cm)
  1  Letter                               21.59        27.94
  2  Letter Small                         21.59        27.94" ] || fail "forms text: $(echo "$out" | head -n 3)"
[ "$(echo "$out" | wc -l)" -eq 117 ] || fail "forms lists $(($(echo "$out" | wc -l) - 1)) forms, not 116"
run forms --csv
[ "$(echo "$out" | sed -n '1p;8p;10p')" = "No.,Name,Width (cm),Height (cm)
7,Executive,18.415,26.67
9,A4,21,29.7" ] || fail "forms --csv of the default printer: $(echo "$out" | sed -n '1p;8p;10p')"
run forms Sheetlore_Office --json
[[ "$out" == '[
  {
    "number": 1,
    "name": "Letter",
    "width_cm": 21.59,
    "height_cm": 27.94
  },'* ]] || fail "forms --json: $(echo "$out" | head -n 8)"
expect_status 3 "printer not found or cannot be opened: No Such Printer" forms "No Such Printer"

echo "== form-show"
expect 0 "Printer:     Sheetlore_Office
Form:        Letter
Width (cm):  21.59
Height (cm): 27.94
Left (cm):   0
Right (cm):  21.59
Top (cm):    0
Bottom (cm): 27.94" form-show Sheetlore_Office Letter
expect 0 '{
  "printer": "Sheetlore_Label",
  "form": "A4",
  "width_cm": 21,
  "height_cm": 29.7,
  "left_cm": 0,
  "right_cm": 21,
  "top_cm": 0,
  "bottom_cm": 29.7
}' form-show Sheetlore_Label A4 --json
expect 0 "Printer,Form,Width (cm),Height (cm),Left (cm),Right (cm),Top (cm),Bottom (cm)
Sheetlore_Office,Envelope #10,10.4775,24.13,0,10.4775,0,24.13" --csv form-show Sheetlore_Office "Envelope #10"
expect_status 3 'no form named "letter"' form-show Sheetlore_Office letter
expect_status 3 "printer not found" form-show "No Such Printer" Letter

echo "== form-add (Wine's AddForm succeeds and changes nothing)"
expect 0 "Printer: Sheetlore_Office
Form:    Narrow Label
Status:  added" form-add Sheetlore_Office "Narrow Label" 5 2.5 --left 0.2 --right 4.8
expect 0 '{
  "printer": "Sheetlore_Label",
  "form": "Inch Label",
  "status": "added"
}' form-add Sheetlore_Label "Inch Label" 4 6 --inches --json
expect_status 4 'already has a form named "Letter"' form-add Sheetlore_Office Letter 21.59 27.94
expect 0 "Printer: Sheetlore_Office
Form:    Letter
Status:  replaced" form-add Sheetlore_Office Letter 21.59 27.94 --replace
expect_status 3 "printer not found" form-add "No Such Printer" Narrow 5 5
expect_status 1 "error 6: Overflow" form-add Sheetlore_Office Huge 300000 10

echo "== form-delete"
expect_status 3 'no form named "Narrow Label"' form-delete Sheetlore_Office "Narrow Label"
expect 0 "Printer: Sheetlore_Office
Form:    A5
Status:  deleted" form-delete Sheetlore_Office A5
expect_status 3 "printer not found" form-delete "No Such Printer" A5

echo "== form-find"
expect 0 "No.:         1
Form:        Letter
Width (cm):  21.59
Height (cm): 27.94
Status:      found" form-find 8.5/11
expect 0 "No.,Form,Width (cm),Height (cm),Status
3,Tabloid,27.94,43.18,found" form-find 11/17 --printer Sheetlore_Label --csv
expect 0 '{
  "number": 117,
  "form": "3/4",
  "width_cm": 7.62,
  "height_cm": 10.16,
  "status": "added"
}' form-find 3/4 --json
expect_status 3 "printer not found" form-find 8.5/11 --printer "No Such Printer"

echo "== form-select"
expect 0 "Printer: Sheetlore_Office
Form:    A4
Status:  selected" form-select A4
expect_status 3 'no form named "Nope"' form-select Nope

echo "== the paper store beside the program"
[ ! -e "$work/PrintSet.ini" ] || fail "PrintSet.ini exists before the first write"
expect 0 "Name  Unit  Width  Height  Left  Right  Top  Bottom" papers
expect 0 "[]" papers --json
expect 0 "Name:   A5X
Unit:   cm
Width:  14.8
Height: 21
Left:   0
Right:  0
Top:    0
Bottom: 0" paper-store A5X 14.8 21
[ -f "$work/PrintSet.ini" ] || fail "paper-store did not write PrintSet.ini beside sheetlore.exe"
expect 0 "Name,Unit,Width,Height,Left,Right,Top,Bottom
Inch Letter,in,8.5,11,0.25,8.25,0.5,10.5" --csv paper-store "Inch Letter" 8.5 11 --inches \
  --left 0.25 --right 8.25 --top 0.5 --bottom 10.5
expect 0 '{
  "name": "標籤紙",
  "unit": "cm",
  "width": 5,
  "height": 3,
  "left": 0,
  "right": 0,
  "top": 0,
  "bottom": 0
}' paper-store "標籤紙" 5 3 --json
expect 0 "Name         Unit  Width  Height  Left  Right  Top  Bottom
A5X          cm     14.8      21     0      0    0       0
Inch Letter  in      8.5      11  0.25   8.25  0.5    10.5
標籤紙       cm        5       3     0      0    0       0" papers
expect 0 "Name,Unit,Width,Height,Left,Right,Top,Bottom
A5X,cm,17,21,0,0,0,0" --csv paper-store A5X 17 21
expect 0 "Name:   A5X
Unit:   cm
Width:  17
Height: 21
Left:   0
Right:  0
Top:    0
Bottom: 0" paper-show a5x
expect_status 3 'no paper named "Nope"' paper-show Nope
# CSV quotes a field holding a comma or a quote; JSON escapes the quote.
expect 0 'Name,Unit,Width,Height,Left,Right,Top,Bottom
"Label, ""big""",cm,10,5,0,0,0,0' paper-store 'Label, "big"' 10 5 --csv
run paper-show 'label, "BIG"' --json
[[ "$out" == *'"name": "Label, \"big\"",'* ]] || fail "paper-show --json of a quoted name: $out"
run paper-delete 'Label, "big"'
[ "$rc" -eq 0 ] || fail "paper-delete of a quoted name exited $rc"
expect_status 3 'no paper named "Nope"' paper-delete Nope
# The file is UTF-16 with a byte-order mark, so the Chinese name is kept exactly.
[ "$(head -c 2 "$work/PrintSet.ini" | od -An -tx1 | tr -d ' ')" = "fffe" ] ||
  fail "PrintSet.ini is not UTF-16 LE with a byte-order mark"
iconv -f UTF-16 -t UTF-8 "$work/PrintSet.ini" | tr -d '\r' | grep -qx "標籤紙=標籤紙" ||
  fail "PrintSet.ini lacks the list entry of 標籤紙"

echo "== install"
# A stored paper named like a form of the printer is kept as the printer has it.
run paper-store Letter 10 10
expect 0 "Paper        Width (cm)  Height (cm)  Status
A5X                  17           21  added
Inch Letter       21.59        27.94  added
標籤紙                5            3  added
Letter               10           10  exists" install Sheetlore_Label
expect 0 "Paper,Width (cm),Height (cm),Status
A5X,17,21,added
Inch Letter,21.59,27.94,added
標籤紙,5,3,added
Letter,10,10,replaced" install --replace --csv
expect_status 3 "printer not found" install "No Such Printer"

echo "== paper-delete"
expect 0 "Paper:  A5X
Status: deleted" paper-delete A5X
run papers --csv
[ "$out" = "Name,Unit,Width,Height,Left,Right,Top,Bottom
Inch Letter,in,8.5,11,0.25,8.25,0.5,10.5
標籤紙,cm,5,3,0,0,0,0
Letter,cm,10,10,0,0,0,0" ] || fail "papers after paper-delete: $out"
iconv -f UTF-16 -t UTF-8 "$work/PrintSet.ini" | tr -d '\r' | grep -q "A5X" &&
  fail "PrintSet.ini still names A5X"

echo "== an empty store installs nothing"
for name in "Inch Letter" "標籤紙" Letter; do run paper-delete "$name"; done
expect 0 "Paper  Width (cm)  Height (cm)  Status" install

echo "== paper libraries"
# Library files are named by their Windows path, as an administrator's script names them.
lib() { winepath -w "$work/$1"; }
run paper-store A5X 14.8 21
run paper-store "Inch Letter" 8.5 11 --inches --left 0.25 --right 8.25 --top 0.5 --bottom 10.5
run paper-store "標籤紙" 5 3
expect 0 "Paper        Status
A5X          exported
Inch Letter  exported
標籤紙       exported" paper-export "$(lib library.json)"
expected_library='{
  "format": "sheetlore-paper-library",
  "version": 1,
  "papers": [
    {
      "name": "A5X",
      "unit": "cm",
      "width": 14.8,
      "height": 21.0,
      "left": 0.0,
      "right": 0.0,
      "top": 0.0,
      "bottom": 0.0
    },
    {
      "name": "Inch Letter",
      "unit": "in",
      "width": 8.5,
      "height": 11.0,
      "left": 0.25,
      "right": 8.25,
      "top": 0.5,
      "bottom": 10.5
    },
    {
      "name": "標籤紙",
      "unit": "cm",
      "width": 5.0,
      "height": 3.0,
      "left": 0.0,
      "right": 0.0,
      "top": 0.0,
      "bottom": 0.0
    }
  ]
}'
[ "$(cat "$work/library.json")" = "$expected_library" ] ||
  fail "paper-export wrote: $(cat "$work/library.json")"
cp "$work/PrintSet.ini" "$work/store-before"
rm "$work/PrintSet.ini"
expect 0 "Paper,Status,Note
A5X,added,
Inch Letter,added,
標籤紙,added," paper-import "$(lib library.json)" --csv
cmp -s "$work/PrintSet.ini" "$work/store-before" || fail "the imported store differs from the exported one"
# A file saved by PowerShell's redirection is UTF-16 with a byte-order mark.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$work/library.json"; } >"$work/utf16.json"
expect 0 "Paper,Status,Note
A5X,replaced,
Inch Letter,replaced,
標籤紙,replaced," paper-import "$(lib utf16.json)" --csv --replace
cmp -s "$work/PrintSet.ini" "$work/store-before" || fail "the UTF-16 library stored other values"
sed 's/"width": 14.8/"width": -14.8/' "$work/library.json" >"$work/bad.json"
expect_status 2 'paper 1 ("A5X"): the width is negative (-14.8)' paper-import "$(lib bad.json)"
cmp -s "$work/PrintSet.ini" "$work/store-before" || fail "a refused import changed the store"
expect_status 3 "cannot read the file" paper-import "$(lib absent.json)"

echo "== apply (Wine lists the CUPS printers' forms; its AddForm keeps nothing)"
cat >"$work/builtin.json" <<'JSON'
{"format": "sheetlore-paper-library", "version": 1, "papers": [
  {"name": "Letter", "unit": "in", "width": 8.5, "height": 11},
  {"name": "A4", "unit": "cm", "width": 21, "height": 29.7, "right": 21, "bottom": 29.7}]}
JSON
expect 0 "Form    Status     Note
Letter  unchanged
A4      unchanged" apply "$(lib builtin.json)" Sheetlore_Office --check --prune
expect_status 5 "Sheetlore_Label does not match the library: 3 form(s) to change" \
  apply "$(lib library.json)" Sheetlore_Label --check
run apply "$(lib library.json)" Sheetlore_Label --check --csv
[ "$out" = "Form,Status,Note
A5X,would add,
Inch Letter,would add,
標籤紙,would add," ] || fail "apply --check --csv: $out"
# The spooler answers every add with success, but the forms never appear: apply reads them back
# and reports each as failed.
run apply "$(lib library.json)" Sheetlore_Label --json
[ "$rc" -eq 4 ] || fail "apply on Wine exited $rc, expected 4"
[[ "$out" == *'"form": "A5X",
    "status": "failed",
    "note": "the spooler reported added, but the printer'"'"'s forms do not show it"'* ]] ||
  fail "apply --json on Wine: $out"
expect_status 3 "printer not found or cannot be opened: \\\\print01\\Front Desk" \
  apply "$(lib library.json)" '\\print01\Front Desk' --check

echo "== capture"
# Wine keeps no user forms: only --all finds any, its 116 built-in ones.
expect 0 "Paper  Status  Note" capture Sheetlore_Office
run capture Sheetlore_Office --all --csv
[ "$rc" -eq 0 ] && [ "$(echo "$out" | wc -l)" -eq 117 ] || fail "capture --all (exit $rc): $(echo "$out" | head -n 5)"
[[ "$out" == *$'\nLetter,added,\n'* ]] || fail "capture --all did not store Letter"
expect 0 "Name:   A4
Unit:   cm
Width:  21
Height: 29.7
Left:   0
Right:  21
Top:    0
Bottom: 29.7" paper-show A4
rm -f "$work/PrintSet.ini"

echo "== dialog"
# The maintenance dialog stays open until its "Esc結束" is clicked; the command then ends.
# window_closer clicks that button of the dialog as a user would.
"$wine" "$closer" dialog >"$work/closer.log" 2>&1 &
closer_pid=$!
timeout 300 "$wine" "$work/sheetlore.exe" dialog >/dev/null 2>&1
rc=$?
if wait "$closer_pid" && [ "$rc" -eq 0 ]; then
  echo "ok: sheetlore dialog opened the dialog and ended with 0 once it was closed"
else
  fail "sheetlore dialog ended with $rc; $(tr -d '\r' <"$work/closer.log")"
fi

echo
if [ "$failures" -eq 0 ]; then echo "all sheetlore.exe checks passed"; else echo "$failures failed"; fi
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# sheetlore.exe under Wine, for what only the real platform shows: the private CUPS queues and
# Wine's spooler, the paper store file beside the program and library files named by Windows
# paths, and the dialog. Each command's output and exit status are tested natively
# (tests/unit/cli_commands_test.cpp). The tool runs from a private copy, so its paper store
# starts absent and is this test's own.
# Wine's AddForm and DeleteForm succeed without changing anything: an added form never shows
# up and a deleted one stays.
#   cli_test.sh <wine loader> <sheetlore.exe> <window_closer.exe>
set -u
wine=$1
closer=$3
bom=$'\xef\xbb\xbf'
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

echo "== the store beside the program and the CUPS queues"
run --help
[[ "$out" == *"Paper store: "*"\\PrintSet.ini" ]] || fail "--help does not name the store: $out"
expect 0 "Printer           Default
Sheetlore_Draft   no
Sheetlore_Label   no
Sheetlore_Office  yes" printers
expect_status 3 "printer not found or cannot be opened: No Such Printer" forms "No Such Printer"
expect 0 "Printer: Sheetlore_Office
Form:    A4
Status:  selected
Note:" form-select A4

echo "== the local print server (OpenPrinter with a null name)"
run forms --csv
[ "$rc" -eq 0 ] && [ "$(echo "$out" | wc -l)" -eq 117 ] ||
  fail "forms of the local print server (exit $rc): $(echo "$out" | head -n 3)"
expect 0 "${bom}server,form,kind,width_cm,height_cm,left_cm,top_cm,right_cm,bottom_cm
(local),A4,builtin,21,29.7,0,0,21,29.7" form-show A4 --csv
expect_status 3 "print server not found or cannot be opened: \\\\nosuch: OpenPrinter failed with error 1801" \
  forms --server '\\nosuch'
[[ "$err" =~ error\ 1801:\ [A-Za-z] ]] || fail "no system text after error 1801: $err"

echo "== default-form (Wine keeps SetPrinter's settings only in the process that set them)"
# The change reads back in the process that made it, even through a newly opened handle; the
# next process reads the driver's default again. What a Windows spooler keeps is tested natively.
for scope in "" --all-users; do
  run default-form Sheetlore_Draft A5 $scope --csv
  [ "$rc" -eq 0 ] && [[ "$out" == *",A5,"* ]] || fail "default-form $scope on Wine (exit $rc): $out"
  run default-form Sheetlore_Draft $scope --csv
  [ "$rc" -eq 0 ] && [[ "$out" != *",A5,"* ]] ||
    fail "Wine kept default-form $scope in another process: $out"
done
expect_status 3 "no form named \"Nope\"" default-form Sheetlore_Draft Nope

echo "== the paper store file"
[ ! -e "$work/PrintSet.ini" ] || fail "PrintSet.ini exists before the first write"
run paper-store A5X 14.8 21
run paper-store "Inch Letter" 8.5 11 --inches --left 0.25 --right 8.25 --top 0.5 --bottom 10.5
expect 0 "${bom}paper,unit,width,height,left,top,right,bottom
標籤紙,cm,5,3,0,0,0,0" paper-store "標籤紙" 5 3 --csv
[ -f "$work/PrintSet.ini" ] || fail "paper-store did not write PrintSet.ini beside sheetlore.exe"
# The file is UTF-16 with a byte-order mark, so the Chinese name is kept exactly.
[ "$(head -c 2 "$work/PrintSet.ini" | od -An -tx1 | tr -d ' ')" = "fffe" ] ||
  fail "PrintSet.ini is not UTF-16 LE with a byte-order mark"
iconv -f UTF-16 -t UTF-8 "$work/PrintSet.ini" | tr -d '\r' | grep -qx "標籤紙=標籤紙" ||
  fail "PrintSet.ini lacks the list entry of 標籤紙"

echo "== paper libraries named by Windows paths"
lib() { winepath -w "$work/$1"; }
expect 0 "Paper        Status
A5X          exported
Inch Letter  exported
標籤紙       exported" paper-export "$(lib library.json)"
grep -q '"name": "標籤紙"' "$work/library.json" || fail "paper-export wrote: $(cat "$work/library.json")"
cp "$work/PrintSet.ini" "$work/store-before"
rm "$work/PrintSet.ini"
expect 0 "${bom}paper,status,note
A5X,added,
Inch Letter,added,
標籤紙,added," paper-import "$(lib library.json)" --csv
cmp -s "$work/PrintSet.ini" "$work/store-before" || fail "the imported store differs from the exported one"

echo "== apply (Wine's AddForm succeeds and keeps nothing)"
# The spooler answers every add with success, but the forms never appear: apply reads them back
# and reports each as failed.
run apply "$(lib library.json)" Sheetlore_Label --json
[ "$rc" -eq 4 ] || fail "apply on Wine exited $rc, expected 4"
[[ "$out" == *'"form": "A5X",
    "status": "failed",
    "note": "the spooler reported added, but the printer'"'"'s forms do not show it"'* ]] ||
  fail "apply --json on Wine: $out"

echo "== a form change is read back (Wine's spooler keeps none)"
# Each command's read-back and its report: cli_commands_test on a spooler that drops changes.
expect_status 4 'the spooler reported the form "Label 10x5" added, but the printer'"'"'s forms do not show it' \
  form-add Sheetlore_Label "Label 10x5" 10 5
expect_status 4 'the spooler reported the form "Letter" deleted, but' form-delete Sheetlore_Label Letter
rm -f "$work/PrintSet.ini"

echo "== an ANSI store saved as UTF-8 made UTF-16"
# What an editor saves by default: UTF-8 without a byte-order mark, which the profile service
# reads in the system's code page. Converted, every name reads as written.
printf '[PrintMain]\r\nCaf\xc3\xa9 \xc3\x9c=Caf\xc3\xa9 \xc3\x9c\r\n[Caf\xc3\xa9 \xc3\x9c]\r\n; kept\r\nmMode=0\r\nW=10\r\nH=20\r\n' \
  >"$work/PrintSet.ini"
expect 0 "${bom}paper,status
Café Ü,converted" store-convert --codepage 65001 --csv
[ "$(head -c 2 "$work/PrintSet.ini" | od -An -tx1 | tr -d ' ')" = "fffe" ] ||
  fail "store-convert did not make PrintSet.ini UTF-16 LE with a byte-order mark"
iconv -f UTF-16 -t UTF-8 "$work/PrintSet.ini" | tr -d '\r' | grep -qx "; kept" ||
  fail "store-convert lost the comment line"
expect 0 "${bom}paper,unit,width,height,left,top,right,bottom
Café Ü,cm,10,20,0,0,0,0" papers --csv
expect 0 "${bom}paper,unit,width,height,left,top,right,bottom
標籤,cm,5,3,0,0,0,0" paper-store "標籤" 5 3 --csv
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

#!/usr/bin/env bash
# What Windows said, as the call trace shows it under Wine: an unknown printer (1801) and a
# store file another program holds (32), in the trace of a script host's object (the tool's
# report of either: cli_commands_test, with Wine's text of 1801 in cli_test.sh);
# the trace switched on and off by the tool and picked up by each new object; a trace file
# that cannot be written, or is full, changes no result.
#   trace_test.sh <wine loader> <Sheetlore.dll> <sheetlore.exe> <store_worker.exe> <session.vbs>
set -u
wine=$1
. "$(dirname "$0")/../support/test_support.sh"
trap '"$wine" "$work/sheetlore.exe" trace off >/dev/null 2>&1; "$wine" regsvr32 /s /u "$dll" ||
  true; rm -rf "$work"' EXIT
cp "$2" "$work/Sheetlore.dll"
cp "$3" "$work/sheetlore.exe"
dll=$(winepath -w "$work/Sheetlore.dll")
holder=$4
session=$(winepath -w "$5")
trace="$work/trace.log"
trace_w=$(winepath -w "$trace")

run() { # the tool's stdout in $out, stderr in $err, status in $rc
  "$wine" "$work/sheetlore.exe" "$@" >"$work/out" 2>"$work/err"
  rc=$?
  out=$(tr -d '\r' <"$work/out")
  err=$(tr -d '\r' <"$work/err")
}
session() { # free|held|switch...: the script must end with its last line and status 0
  local output
  output=$("$wine" cscript //nologo "$session" "$@" | tr -d '\r')
  local code=$?
  printf '%s\n' "$output" | grep -q "all checks ran" && [ "$code" -eq 0 ] &&
    ! printf '%s\n' "$output" | grep -q FAIL: ||
    fail "the $1 session: $output"
}
lines() { [ -f "$trace" ] && tr -d '\r' <"$trace" | wc -l || echo 0; }
# The error text follows the number: whatever Wine's wording, there must be one.
has_error() { [[ "$1" =~ $2\ failed\ with\ error\ $3:\ [A-Za-z] ]]; }

"$wine" regsvr32 /s "$dll" || { fail "regsvr32"; exit 1; }
: >"$work/PrintSet.ini"

echo "== the trace, switched on by the tool"
run trace on "$trace_w"
[ "$rc" -eq 0 ] && [[ "$out" == *"Trace: on"* ]] || fail "trace on ($rc): $out $err"
run trace show
[[ "$out" == *"File:  $trace_w"* ]] && ok "trace show names the file" || fail "trace show: $out"
session free
line=$(grep -a 'PrintAddForm(' "$trace" | tr -d '\r')
[[ "$line" =~ ^[0-9-]+\ [0-9:.]+\ pid\ [0-9]+\ tid\ [0-9]+\ PrintAddForm\(\"No\ Such\ Printer\",\ \"A5\ trace\",\ 14.8,\ 21,\ .*\)\ =\ False ]] &&
  has_error "$line" OpenPrinter 1801 && ok "trace: $line" || fail "the PrintAddForm line: $line"
grep -aq 'InchToCm(8.5, .*) = 21.59' "$trace" || fail "no InchToCm line: $(cat "$trace")"
grep -aq 'gFormID("no size", .*) raised error 9: Subscript out of range' "$trace" ||
  fail "no raised error in the trace: $(cat "$trace")"
grep -aq 'IniWriteValue("Traced", 0, 10, 15, 0, 0, 0, 0) = True' "$trace" ||
  fail "no IniWriteValue line: $(cat "$trace")"

echo "== a store another program holds"
rm -f "$work/release"
"$wine" "$holder" hold "$(winepath -w "$work/PrintSet.ini")" exclusive \
  "$(winepath -w "$work/release")" >"$work/hold.log" 2>&1 &
holder_pid=$!
for _ in $(seq 600); do grep -q holding "$work/hold.log" && break; sleep 0.1; done
grep -q holding "$work/hold.log" || fail "the holder did not take the file: $(cat "$work/hold.log")"
session held
line=$(grep -a 'IniWriteValue("Traced"' "$trace" | tail -n 1 | tr -d '\r')
[[ "$line" == *"= False"* && "$line" =~ failed\ with\ error\ 32:\ [A-Za-z] ]] &&
  ok "trace: $line" || fail "the held IniWriteValue line: $line"
touch "$work/release"
wait "$holder_pid"

echo "== off: nothing more is written"
run trace off
before=$(lines)
session free
[ "$(lines)" -eq "$before" ] && ok "no line after trace off" || fail "the trace grew after off"

echo "== switched by the tool while a host runs: new objects follow, existing ones keep theirs"
rm -f "$trace"
session switch "$(winepath -w "$work/sheetlore.exe")" "$trace_w"
grep -aq 'InchToCm(1, .*) = 2.54' "$trace" && ! grep -aq 'InchToCm([23],' "$trace" &&
  ok "only the object created while on traced" || fail "the trace in one host: $(cat "$trace")"

echo "== a trace file that cannot be written, or is full, changes no result"
touch "$work/not-a-folder"
run trace on "$(winepath -w "$work/not-a-folder")\\trace.log"
session free
head -c 1048570 /dev/zero | tr '\0' x >"$trace"
mkdir "$trace.old" # the full file cannot be rolled over
run trace on "$trace_w"
session free
[ "$(stat -c %s "$trace")" -eq 1048570 ] && ok "the full file stays within its bound" ||
  fail "the full file is now $(stat -c %s "$trace") bytes"
rmdir "$trace.old"
session free
[ "$(stat -c %s "$trace")" -lt 4096 ] && [ -f "$trace.old" ] &&
  ok "a full file rolls over to .old" || fail "no rollover: $(ls -l "$work")"
[ "$failures" -eq 0 ]

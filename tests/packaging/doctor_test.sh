#!/usr/bin/env bash
# sheetlore doctor under Wine: a copy of each architecture's sheetlore.exe with its own paper
# store. Nothing registered, then both DLLs registered (every check passes in both programs),
# then one fault at a time: a registered server file that is gone, a store listing a paper it
# does not hold. (A read-only store cannot be made here: Wine, run as root, writes it anyway.)
# The write test on a CUPS printer must report that Wine's
# spooler accepts a form without keeping it.
#   doctor_test.sh <x64 build dir> <x86 build dir>
set -u
x64_dir=$1
x86_dir=$2
. "$(dirname "$0")/../support/test_support.sh"
require_x86_build "$x86_dir"

mkdir -p "$work/x64" "$work/x86"
cp "$x64_dir/sheetlore.exe" "$work/x64/"
cp "$x86_dir/sheetlore.exe" "$work/x86/"
empty_store() { printf '\xff\xfe' >"$1"; }
empty_store "$work/x64/PrintSet.ini"
empty_store "$work/x86/PrintSet.ini"
dll64=$(winepath -w "$x64_dir/Sheetlore.dll")
dll32=$(winepath -w "$x86_dir/Sheetlore.dll")
cleanup() {
  wine64 reg delete 'HKLM\Software\Sheetlore' /v StoreFile /f >/dev/null 2>&1
  wine64 regsvr32 /s /u "$dll64"
  wine regsvr32 /s /u "$dll32"
  rm -rf "$work"
}
trap cleanup EXIT

# doctor <loader> <arch> [arguments...]: the CSV report in $report, the exit status in $status.
doctor() {
  local loader=$1 arch=$2
  shift 2
  "$loader" "$work/$arch/sheetlore.exe" doctor --csv "$@" >"$work/out" 2>"$work/err"
  status=$?
  report=$(tr -d '\r' <"$work/out")
}
# expect_line <line>: the report holds exactly this line (area,check,verdict,detail).
expect_line() {
  grep -qxF -- "$1" <<<"$report" && ok "$1" || { fail "no line: $1"; printf '%s\n' "$report"; }
}
failed_lines() { grep -E '^[^,]*,[^,]*,FAIL,|^[^,]*,"[^"]*",FAIL,' <<<"$report"; }

echo "== nothing registered"
doctor wine64 x64
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status with nothing registered"
expect_line "x64 registration,ProgID Sheetlore.ClsPrint,FAIL,not registered"
expect_line "x86 registration,ProgID Sheetlore.ClsPrint,FAIL,not registered"
grep -q "checks failed" "$work/err" && ok "stderr counts the failed checks" || fail "stderr: $(cat "$work/err")"

echo "== both architectures registered, a healthy store"
wine64 regsvr32 /s "$dll64" && wine regsvr32 /s "$dll32" || fail "regsvr32"
for loader_arch in "wine64 x64" "wine x86"; do
  read -r loader arch <<<"$loader_arch"
  doctor "$loader" "$arch"
  if [ "$status" -eq 0 ] && [ -z "$(failed_lines)" ]; then
    ok "$arch sheetlore.exe: every check passes"
  else
    fail "$arch sheetlore.exe: exit $status"
    printf '%s\n' "$report"
  fi
done
expect_line "x64 registration,threading model,ok,Apartment"
expect_line "paper store,encoding,ok,UTF-16 LE"
expect_line "printers,default,ok,Sheetlore_Office"
grep -q '^x64 registration,type library,ok,"loads from ' <<<"$report" && ok "the x64 type library loads" ||
  fail "the x64 type library line"
wine64 "$work/x64/sheetlore.exe" doctor | tr -d '\r' >"$work/text"
cat "$work/text"

echo "== a registered server file that is gone"
cp "$x64_dir/Sheetlore.dll" "$work/Gone.dll"
wine64 regsvr32 /s "$(winepath -w "$work/Gone.dll")" || fail "regsvr32 of the copy"
rm "$work/Gone.dll"
doctor wine64 x64
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status"
grep -q '^x64 registration,server file,FAIL,"missing: ""[^"]*Gone.dll""' <<<"$report" &&
  ok "the missing server file fails" || { fail "no failing server file line"; printf '%s\n' "$report"; }
grep -q '^x64 registration,type library,FAIL,' <<<"$report" && ok "so does its type library" ||
  fail "the type library of a missing file passed"
[ "$(failed_lines | grep -vc '^x64 registration,')" = 0 ] && ok "nothing else fails" ||
  fail "other failures: $(failed_lines)"
wine64 regsvr32 /s "$dll64" || fail "regsvr32 again"

echo "== code in folders that ordinary users can change"
# Wine keeps an access list as the Unix mode: "other" write is Everyone's write access.
mkdir -p "$work/open"
cp "$x64_dir/Sheetlore.dll" "$work/open/Sheetlore.dll"
chmod o+w "$work/open" "$work/x64"
wine64 regsvr32 /s "$(winepath -w "$work/open/Sheetlore.dll")" || fail "regsvr32 of the copy"
doctor wine64 x64
grep -q '^x64 registration,folder of Sheetlore.dll,FAIL,"Everyone can change ""[^"]*open"": move Sheetlore under Program Files' <<<"$report" &&
  ok "a registered DLL's folder that Everyone can change fails, with its remedy" ||
  { fail "no failing line for the open DLL folder"; printf '%s\n' "$report"; }
grep -q '^tool,folder of sheetlore.exe,FAIL,"Everyone can change ' <<<"$report" &&
  ok "so does the tool's folder" || fail "the tool's open folder passed"
grep -q '^x64 registration,file Sheetlore.dll,ok,' <<<"$report" && ok "the DLL file itself is not open" ||
  fail "the DLL file's line"
chmod o-w "$work/open" "$work/x64"
wine64 regsvr32 /s "$dll64" || fail "regsvr32 again"

echo "== the store the machine's setting names"
expect_line "paper store,path,ok,$(winepath -w "$work/x64/PrintSet.ini") (the default: beside the program; no machine setting)"
wine64 reg add 'HKLM\Software\Sheetlore' /v StoreFile /t REG_EXPAND_SZ /d '%SystemDrive%\SheetloreDoctor.ini' /f >/dev/null 2>&1
for loader_arch in "wine64 x64" "wine x86"; do
  read -r loader arch <<<"$loader_arch"
  doctor "$loader" "$arch"
  expect_line "paper store,path,ok,C:\SheetloreDoctor.ini (the machine's setting: HKLM\Software\Sheetlore StoreFile)"
done
wine64 reg delete 'HKLM\Software\Sheetlore' /v StoreFile /f >/dev/null 2>&1

echo "== a store listing a paper it does not hold"
printf '[PrintMain]\r\nKept=Kept\r\nGhost=Ghost\r\n[Kept]\r\nmMode=0\r\nW=10\r\nH=20\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/x64/PrintSet.ini"
doctor wine64 x64
expect_line "paper store,papers,ok,2 listed"
expect_line 'paper store,every listed paper reads back,FAIL,"no width or height: ""Ghost"""'
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status"

echo "== a hand-edited value out of range, and a file of blank lines"
printf '[PrintMain]\r\nKept=Kept\r\nWide=Wide\r\n[Kept]\r\nmMode=0\r\nW=10\r\nH=20\r\n[Wide]\r\nmMode=0\r\nW=1e400\r\nH=5\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/x64/PrintSet.ini"
doctor wine64 x64
grep -q '^paper store,every listed paper reads back,FAIL,"values that cannot be read: ""Wide"" (a stored value cannot be read (error 6: Overflow)' <<<"$report" &&
  ok "the paper with the value out of range is named" || { fail "no line naming Wide"; printf '%s\n' "$report"; }
printf '\r\n\r\n' >"$work/x64/PrintSet.ini"
doctor wine64 x64
expect_line "paper store,encoding,ok,empty (the first paper stored makes it UTF-16 LE)"

echo "== the write test on Wine's spooler"
empty_store "$work/x64/PrintSet.ini"
doctor wine64 x64 "Sheetlore_Office" --write-test
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status"
grep -qE '^printers,open Sheetlore_Office,ok,[0-9]+ forms$' <<<"$report" && ok "Sheetlore_Office opens" ||
  fail "Sheetlore_Office does not open"
expect_line 'write test,"add the form ""Sheetlore doctor 1"" to Sheetlore_Office",ok,accepted'
expect_line "write test,the form is listed after adding,FAIL,the spooler accepted the form without keeping it"
expect_line "write test,the printer's forms are as before,ok,yes"
[ "$(failed_lines)" = "write test,the form is listed after adding,FAIL,the spooler accepted the form without keeping it" ] &&
  ok "it is the only failing line" || fail "failing lines: $(failed_lines)"

echo "== --json"
json=$(wine64 "$work/x64/sheetlore.exe" doctor --json | tr -d '\r')
rows=$(wine64 "$work/x64/sheetlore.exe" doctor --csv | tr -d '\r' | tail -n +2 | wc -l)
objects=$(grep -cE '^ *"verdict": "(ok|FAIL)",$' <<<"$json")
[ "${json:0:1}" = "[" ] && [ "$rows" -gt 10 ] && [ "$objects" = "$rows" ] &&
  ok "--json gives one object per check ($objects)" || fail "--json: $objects objects for $rows checks: $json"

echo
[ "$failures" -eq 0 ] && echo "all doctor checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

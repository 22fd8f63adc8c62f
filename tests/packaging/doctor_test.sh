#!/usr/bin/env bash
# sheetlore doctor under Wine: each architecture's sheetlore.exe and Sheetlore.dll copied into a
# folder of their own, as the package lays them out. Nothing registered and no store yet (one
# failure that says what to run; an absent store is fine), then both DLLs registered from those
# folders (every check passes in both programs, with the versions shown), then one broken
# install at a time: a registered server file that is gone, a per-user registration overriding
# the machine-wide one, a DLL of the other architecture, the tool run from another folder than
# the registered DLL's, code in folders users can change, a store listing a paper it does not
# hold. (A read-only store cannot be made here: Wine, run as root, writes it anyway.) The write
# test on a CUPS printer must report that Wine's spooler accepts a form without keeping it, and
# a printer that does not exist ends with 3. The report is read as JSON (jq).
#   doctor_test.sh <x64 build dir> <x86 build dir>
set -u
x64_dir=$1
x86_dir=$2
. "$(dirname "$0")/../support/test_support.sh"
require_x86_build "$x86_dir"

version=$(sed -n 's/^#define SHEETLORE_RELEASE_TEXT "\(.*\)"$/\1/p' "$x64_dir/generated/release_version.h")
class='{188AD010-B752-4ADC-9E36-D06143AC4914}'
mkdir -p "$work/x64" "$work/x86"
cp "$x64_dir/sheetlore.exe" "$x64_dir/Sheetlore.dll" "$work/x64/"
cp "$x86_dir/sheetlore.exe" "$x86_dir/Sheetlore.dll" "$work/x86/"
empty_store() { printf '\xff\xfe' >"$1"; }
dll64=$(winepath -w "$work/x64/Sheetlore.dll")
dll32=$(winepath -w "$work/x86/Sheetlore.dll")
register_both() { wine64 regsvr32 /s "$dll64" && wine regsvr32 /s "$dll32" || fail "regsvr32"; }
cleanup() {
  wine64 reg delete 'HKLM\Software\Sheetlore' /v StoreFile /f >/dev/null 2>&1
  wine64 reg delete "HKCU\\Software\\Classes\\CLSID\\$class" /f >/dev/null 2>&1
  wine64 regsvr32 /s /u "$dll64"
  wine regsvr32 /s /u "$dll32"
  rm -rf "$work"
}
trap cleanup EXIT

# doctor <loader> <program> [arguments...]: the JSON report in $report, the exit status in
# $status, stderr in $work/err.
doctor() {
  local loader=$1 program=$2
  shift 2
  "$loader" "$program" doctor --json "$@" >"$work/out" 2>"$work/err"
  status=$?
  report=$(tr -d '\r' <"$work/out")
  jq -e . >/dev/null 2>&1 <<<"$report" || fail "doctor $* printed no JSON: $report"
}
x64_doctor() { doctor wine64 "$work/x64/sheetlore.exe" "$@"; }
# check_line <check>: "ok|FAIL<TAB>detail<TAB>remedy" of that check
check_line() {
  jq -r --arg c "$1" '.checks[] | select(.check == $c) |
    "\(if .ok then "ok" else "FAIL" end)\t\(.detail)\t\(.remedy // "")"' <<<"$report"
}
# expect <check> <ok|FAIL> <pattern the detail and remedy match (grep -E)>
expect() {
  local line
  line=$(check_line "$1")
  [[ "$line" == "$2"$'\t'* ]] && grep -qE -- "$3" <<<"$line" && ok "$1: $2 ($3)" ||
    fail "$1: expected $2 matching '$3', got '$line'"
}
failed_checks() { jq -r '.checks[] | select(.ok | not) | .check' <<<"$report" | paste -sd' '; }

echo "== nothing registered, no store yet"
x64_doctor
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status with nothing registered"
[ "$(failed_checks)" = registration ] && ok "one failing check for the whole registration" ||
  fail "failing checks: $(failed_checks)"
expect registration FAIL 'not registered.*run install.cmd .*install the MSI'
expect store.present ok 'no file yet'
grep -q "1 of [0-9]* checks failed" "$work/err" && ok "stderr counts the failed checks" || fail "stderr: $(cat "$work/err")"

echo "== both architectures registered beside their tools"
register_both
empty_store "$work/x64/PrintSet.ini"
empty_store "$work/x86/PrintSet.ini"
for loader_arch in "wine64 x64" "wine x86"; do
  read -r loader arch <<<"$loader_arch"
  doctor "$loader" "$work/$arch/sheetlore.exe"
  if [ "$status" -eq 0 ] && [ "$(jq .ok <<<"$report")" = true ] && [ -z "$(failed_checks)" ]; then
    ok "$arch sheetlore.exe: every check passes"
  else
    fail "$arch sheetlore.exe: exit $status, failing: $(failed_checks)"
  fi
  expect tool.release ok "^ok.$version \\($arch\\)"
done
[ -n "$version" ] && [ "$(wine64 "$work/x64/sheetlore.exe" --version | tr -d '\r')" = "sheetlore $version" ] &&
  ok "--version: sheetlore $version" || fail "--version does not print $version"
expect registration.x64.release ok "^ok.release $version"
expect registration.x86.release ok "^ok.release $version"
expect registration.x64.server_architecture ok '^ok.x64'
expect registration.x86.server_architecture ok '^ok.x86'
expect registration.x64.threading_model ok 'Apartment'
expect registration.x64.type_library ok 'loads from '
expect registration.x64.per_user_override ok 'no registration of this user'
expect store.shared_with_hosts ok 'share one folder'
expect store.encoding ok 'UTF-16 LE'
expect printers.default ok 'Sheetlore_Office'
wine64 "$work/x64/sheetlore.exe" doctor | tr -d '\r' >"$work/text"
cat "$work/text"

echo "== a registered server file that is gone"
cp "$work/x64/Sheetlore.dll" "$work/x64/Gone.dll"
wine64 regsvr32 /s "$(winepath -w "$work/x64/Gone.dll")" || fail "regsvr32 of the copy"
rm "$work/x64/Gone.dll"
x64_doctor
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status"
expect registration.x64.server_file FAIL 'missing: "[^"]*Gone.dll".*regsvr32'
[ "$(failed_checks)" = "registration.x64.server_file registration.x64.type_library" ] &&
  ok "only the file and its type library fail" || fail "failing checks: $(failed_checks)"
register_both

echo "== a per-user registration overriding the machine-wide one"
wine64 reg add "HKCU\\Software\\Classes\\CLSID\\$class\\InprocServer32" /ve /d 'C:\Old Sheetlore\Sheetlore.dll' /f >/dev/null 2>&1
x64_doctor
expect registration.x64.class ok "C:.*Old Sheetlore.*this user's registration"
expect registration.x64.per_user_override FAIL "HKCU.*Old Sheetlore.*overrides the machine-wide one.*$(sed 's/[\\.]/./g' <<<"$dll64").*uninstall-user.cmd"
expect registration.x64.server_file FAIL 'missing'
wine64 reg delete "HKCU\\Software\\Classes\\CLSID\\$class" /f >/dev/null 2>&1

echo "== a DLL of the other architecture"
wine64 reg add "HKLM\\Software\\Classes\\CLSID\\$class\\InprocServer32" /ve /d "$dll32" /f >/dev/null 2>&1
x64_doctor
expect registration.x64.server_architecture FAIL 'is x86, which x64 hosts cannot load.*System32.regsvr32'
expect store.shared_with_hosts FAIL 'hosts use'
register_both

echo "== the tool run from another folder than the registered DLL's"
mkdir -p "$work/elsewhere"
cp "$work/x64/sheetlore.exe" "$work/elsewhere/"
doctor wine64 "$work/elsewhere/sheetlore.exe"
expect store.shared_with_hosts FAIL "this tool uses .*elsewhere.PrintSet.ini.*hosts use .*x64.PrintSet.ini.*run the sheetlore.exe beside the registered DLL"
[ "$(failed_checks)" = store.shared_with_hosts ] && ok "it is the only failing check" || fail "failing checks: $(failed_checks)"
wine64 reg add 'HKLM\Software\Sheetlore' /v StoreFile /t REG_EXPAND_SZ /d '%SystemDrive%\SheetloreDoctor.ini' /f >/dev/null 2>&1
doctor wine64 "$work/elsewhere/sheetlore.exe"
expect store.shared_with_hosts ok "machine's setting"
for arch in x64 x86; do
  loader=wine64
  [ "$arch" = x86 ] && loader=wine
  doctor "$loader" "$work/$arch/sheetlore.exe"
  expect store.path ok '^ok.C:.SheetloreDoctor.ini \(the machine.s setting: HKLM.Software.Sheetlore StoreFile\)'
done
wine64 reg delete 'HKLM\Software\Sheetlore' /v StoreFile /f >/dev/null 2>&1
x64_doctor
expect store.path ok "^ok.$(sed 's/[\\.]/./g' <<<"$(winepath -w "$work/x64/PrintSet.ini")") \\(the default: beside the program; no machine setting\\)"

echo "== code in folders that ordinary users can change"
# Wine keeps an access list as the Unix mode: "other" write is Everyone's write access.
mkdir -p "$work/open"
cp "$x64_dir/Sheetlore.dll" "$work/open/Sheetlore.dll"
chmod o+w "$work/open" "$work/x64"
wine64 regsvr32 /s "$(winepath -w "$work/open/Sheetlore.dll")" || fail "regsvr32 of the copy"
x64_doctor
expect registration.x64.folder_access FAIL 'Everyone can change "[^"]*open".*move Sheetlore under Program Files'
expect tool.folder_access FAIL 'Everyone can change '
expect registration.x64.file_access ok 'only administrators'
chmod o-w "$work/open" "$work/x64"
register_both

echo "== a store listing a paper it does not hold"
printf '[PrintMain]\r\nKept=Kept\r\nGhost=Ghost\r\n[Kept]\r\nmMode=0\r\nW=10\r\nH=20\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/x64/PrintSet.ini"
x64_doctor
expect store.papers ok '2 listed'
expect store.papers_read_back FAIL 'no width or height: "Ghost".*paper-delete'
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status"

echo "== a hand-edited value out of range, and a file of blank lines"
printf '[PrintMain]\r\nKept=Kept\r\nWide=Wide\r\n[Kept]\r\nmMode=0\r\nW=10\r\nH=20\r\n[Wide]\r\nmMode=0\r\nW=1e400\r\nH=5\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/x64/PrintSet.ini"
x64_doctor
expect store.papers_read_back FAIL 'values that cannot be read: "Wide" \(a stored value cannot be read \(error 6: Overflow\)'
printf '\r\n\r\n' >"$work/x64/PrintSet.ini"
x64_doctor
expect store.encoding ok 'empty \(the first paper stored makes it UTF-16 LE\)'

echo "== the write test on Wine's spooler"
empty_store "$work/x64/PrintSet.ini"
x64_doctor "Sheetlore_Office" --write-test
[ "$status" -eq 1 ] && ok "exit status 1" || fail "exit status $status"
expect printer.opens ok '^ok.[0-9]+ forms'
expect write_test.add ok 'accepted the form "Sheetlore doctor 1"'
expect write_test.listed_after_adding FAIL 'accepted the form without keeping it'
expect write_test.forms_as_before ok 'yes'
[ "$(failed_checks)" = write_test.listed_after_adding ] && ok "it is the only failing check" ||
  fail "failing checks: $(failed_checks)"
[ "$(jq -r '[.checks[] | select(.check | startswith("write_test") or startswith("printer.")) | .printer] | unique | join(",")' <<<"$report")" = Sheetlore_Office ] &&
  ok "each printer check names Sheetlore_Office in its printer member" || fail "printer members of the printer checks"

echo "== a printer that does not exist"
x64_doctor Nosuch --write-test
[ "$status" -eq 3 ] && ok "exit status 3, as every command's for a printer not found" || fail "exit status $status"
expect printer.opens FAIL 'no such printer.*sheetlore printers'
[ "$(jq -r '.checks[] | select(.check == "printer.opens") | .printer' <<<"$report")" = Nosuch ] &&
  ok "the check names Nosuch in its printer member" || fail "printer.opens's printer member"
grep -q "no such printer, or it does not open: Nosuch" "$work/err" && ok "stderr names it" || fail "stderr: $(cat "$work/err")"

echo "== every real check: a remedy where it fails, none where it passes"
# The report's members and its CSV: cli_commands_test's DoctorReports test.
x64_doctor "Sheetlore_Office" --write-test
[ "$(jq -r '[.checks[] | select(.ok) | .remedy] | unique | join(",")' <<<"$report")" = "" ] &&
  [ "$(jq -r '[.checks[] | select(.ok | not) | .remedy | type] | unique | join(",")' <<<"$report")" = string ] &&
  ok "every failing check has a remedy, no passing one" || fail "remedies: $report"

echo
[ "$failures" -eq 0 ] && echo "all doctor checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# verify.cmd from the release package under Wine: the package is unpacked and registered with
# install.cmd (each architecture's store, holding a paper of its own, moves into the one store in
# ProgramData that the machine's setting names, which verify.cmd follows), and verify.cmd runs on the
# default CUPS printer while a helper confirms FormAllAdd's message boxes. Wine's spooler
# accepts forms without keeping them (AddForm and DeleteForm are stubs), so exactly the checks
# that read a form back must fail, in both architectures; every other check must pass, and
# the stores and the printer's forms must end as they began.
#   verify_test.sh <repository> <x64 build dir> <x86 build dir> <window_closer.exe>
set -u
repo=$1
x64_dir=$2
x86_dir=$3
closer=$4
. "$(dirname "$0")/test_support.sh"
require_x86_build "$x86_dir"

build_package "$repo" "$x64_dir" "$x86_dir"
unzip -q "$work"/dist/Sheetlore-*[0-9].zip -d "$work/unpacked"
root=$(ls -d "$work"/unpacked/Sheetlore-*)
# utf16_store <name> <width> <height>: a store holding one paper, as the component writes it.
utf16_store() {
  printf '[PrintMain]\r\n%s=%s\r\n[%s]\r\nmMode=0\r\nW=%s\r\nH=%s\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n' "$1" "$1" "$1" "$2" "$3" |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; }
}
utf16_store "Own 64" 10 20 >"$root/x64/PrintSet.ini"
utf16_store "Own 32" 11 22 >"$root/x86/PrintSet.ini"
data=$WINEPREFIX/drive_c/ProgramData/Sheetlore
rm -rf "$data"
cleanup() {
  (cd "$root" && wine64 cmd /c uninstall.cmd) >/dev/null 2>&1
  rm -rf "$work" "$data"
}
trap cleanup EXIT
forms_of_default() { wine64 "$x64_dir/sheetlore.exe" forms --csv 2>&1 | tr -d '\r'; }
forms_before=$(forms_of_default)

(cd "$root" && wine64 cmd /c install.cmd) >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install.cmd"; }
cp "$data/PrintSet.ini" "$work/store" || fail "no store in ProgramData after install.cmd"
wine64 "$closer" messages 2 >"$work/closer.log" 2>&1 &
closer_pid=$!
# ".\" because "verify" alone is the command prompt's own VERIFY command.
(cd "$root" && wine64 cmd /c '.\verify.cmd') >"$work/verify.out" 2>&1
status=$?
output=$(tr -d '\r' <"$work/verify.out")
wait "$closer_pid" || fail "the message boxes were not both confirmed: $(cat "$work/closer.log")"
printf '%s\n' "$output"
tr -d '\r' <"$work/closer.log"

# The checks Wine's spooler stubs fail: everything that reads back a form just added.
expected_failures=$(for arch in x64 x86; do
  printf 'FAIL  %s  %s\n' "$arch" "FormCheck lists it with its size" \
    "$arch" "gFormID(\"7.25/3.5\") finds it" "$arch" "FormAllAdd installs it on the printer with its size"
done)
actual_failures=$(grep '^FAIL' <<<"$output" | sed 's/: .*//')
[ "$actual_failures" = "$expected_failures" ] && ok "exactly the spooler's stubs fail, in both hosts" ||
  { fail "the failed checks differ"; diff <(echo "$expected_failures") <(echo "$actual_failures"); }
passes64=$(grep -c '^PASS  x64  ' <<<"$output")
passes32=$(grep -c '^PASS  x86  ' <<<"$output")
[ "$passes64" = 19 ] && [ "$passes32" = 19 ] && ok "$passes64 checks pass in each host" ||
  fail "passes: x64 $passes64, x86 $passes32"
[ "$status" -ne 0 ] && grep -q "Some checks FAILED" <<<"$output" && ok "verify.cmd ends with a failure" ||
  fail "verify.cmd exited $status"
grep -q 'IniWriteValue stores "[^"]*" in inches in C:\\ProgramData\\Sheetlore\\PrintSet.ini' <<<"$output" &&
  ok "verify.cmd checks the store the machine's setting names" || fail "verify.cmd used another store"
cmp -s "$data/PrintSet.ini" "$work/store" && ok "the paper store is back byte for byte" || fail "the paper store changed"
[ "$(forms_of_default)" = "$forms_before" ] && ok "the default printer's forms are as before" ||
  fail "the default printer's forms changed"

echo
[ "$failures" -eq 0 ] && echo "all verify.cmd checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

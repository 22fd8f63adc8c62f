#!/usr/bin/env bash
# verify.cmd from the release package under Wine: the package is unpacked and registered with
# install.cmd (each architecture's store, holding a paper of its own, moves into the one store in
# ProgramData that the machine's setting names, which verify.cmd follows), and verify.cmd runs on the
# default CUPS printer while a helper confirms FormAllAdd's message boxes. Wine's spooler
# accepts forms without keeping them (AddForm and DeleteForm are stubs), so exactly the checks
# that read a form back must fail, in both architectures; every other check must pass, and
# the stores and the printer's forms must end as they began. Then, unattended (no message box,
# so no helper): another printer with a JSON result file, a printer that does not exist, and a
# copy of the script that dies in one host: none of them may end as a pass.
#   verify_test.sh <repository> <x64 build dir> <x86 build dir> <window_closer.exe>
set -u
repo=$1
x64_dir=$2
x86_dir=$3
closer=$4
. "$(dirname "$0")/../support/test_support.sh"
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
(cd "$root" && wine64 cmd /c '.\verify.cmd' /attended) >"$work/verify.out" 2>&1
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
[ "$status" -eq 1 ] && grep -qx "44 of 44 checks ran, 6 failed." <<<"$output" &&
  grep -q "Some checks FAILED" <<<"$output" && ok "verify.cmd counts 44 of 44 checks and exits 1" ||
  fail "verify.cmd exited $status without the count of 44 checks"
grep '^FAIL' <<<"$output" | grep -qv ': expected .*, found ' &&
  fail "a FAIL line without what was expected and what was found" ||
  ok "every FAIL line says what was expected and what was found"
[ "$(grep -c '^        x[68][64]  the paper store: C:\\ProgramData\\Sheetlore\\PrintSet.ini$' <<<"$output")" = 2 ] &&
  ok "both hosts check the store the machine's setting names" || fail "verify.cmd used another store"
cmp -s "$data/PrintSet.ini" "$work/store" && ok "the paper store is back byte for byte" || fail "the paper store changed"
[ "$(forms_of_default)" = "$forms_before" ] && ok "the default printer's forms are as before" ||
  fail "the default printer's forms changed"

# run_verify <output file> <arguments...>: verify.cmd as a process outside a logged-on session
# sees it (no SESSIONNAME; Wine sets "Console" for every process); its status is $status.
# Bounded, so that a message box nobody confirms ends the run instead of hanging it.
run_verify() {
  local out=$1
  shift
  (cd "$root" && timeout 300 wine64 cmd /c 'set SESSIONNAME=&& .\verify.cmd' "$@") >"$work/$out" 2>&1
  status=$?
  output=$(tr -d '\r' <"$work/$out")
  printf '%s\n' "$output"
}

(cd "$root" && wine64 cmd /c '.\verify.cmd' /bogus) >"$work/usage.out" 2>&1
[ $? -eq 2 ] && grep -q "^usage: " "$work/usage.out" && ok "a switch it does not take: usage, exit 2" ||
  fail "a switch it does not take: $(tr -d '\r' <"$work/usage.out")"

# Another printer than the default: the component reads the script's own printer object.
run_verify label.out Sheetlore_Label /unattended /json "$(winepath -w "$work/label.json")"
[ "$(grep -c '^SKIP  x.*  FormAllAdd' <<<"$output")" = 2 ] && ! grep -q '^NOT RUN' <<<"$output" &&
  grep -qx "42 of 44 checks ran, 4 failed, 2 skipped (they need a person: run with /attended)." <<<"$output" &&
  ok "Sheetlore_Label, unattended: every check ran but FormAllAdd, skipped in both hosts" ||
  fail "Sheetlore_Label, unattended: not 42 checks ran and 2 skipped"
[ "$(grep '^FAIL' <<<"$output" | sed 's/: .*//' | sort)" = "$(grep -v FormAllAdd <<<"$expected_failures" | sort)" ] &&
  [ "$status" -eq 1 ] && ok "Sheetlore_Label: only the spooler's stubs fail, exit 1" ||
  fail "Sheetlore_Label: other failures or exit $status"
/usr/bin/python3 - "$work/label.json" <<'PY' && ok "the JSON file holds the counts and every check" || fail "the JSON file"
import json, sys
result = json.load(open(sys.argv[1], encoding="utf-16"))
counts = {k: result[k] for k in ("planned", "ran", "failed", "skipped", "notRun", "passed")}
assert counts == {"planned": 44, "ran": 42, "failed": 4, "skipped": 2, "notRun": 0, "passed": False}, counts
assert result["hostsEnded"] == {"x64": True, "x86": True}, result["hostsEnded"]
checks = result["checks"]
assert len(checks) == 44 and len({(c["arch"], c["id"]) for c in checks}) == 44, checks
by = {(c["arch"], c["id"]): c for c in checks}
for arch in ("x64", "x86"):
    assert by[(arch, "form-all-add")]["result"] == "skipped", by[(arch, "form-all-add")]
    listed = by[(arch, "listed")]
    assert listed["result"] == "fail" and listed["expected"] == "18.415 x 8.89 cm", listed
    assert listed["found"] == "no such form", listed
    assert by[(arch, "form-check")]["result"] == "pass", by[(arch, "form-check")]
PY

# A printer that does not exist: a failure, and every check after it counted as not run.
run_verify nosuch.out Nosuch /unattended
[ "$status" -eq 1 ] && grep -qx "14 of 44 checks ran, 2 failed." <<<"$output" &&
  [ "$(grep -c '^NOT RUN' <<<"$output")" = 30 ] &&
  grep -q '^FAIL  x64  FormCheck opens the printer and lists its forms: expected the forms of "Nosuch", found none' <<<"$output" &&
  ok "Nosuch: FormCheck fails, 30 checks did not run, exit 1" || fail "Nosuch: exit $status"
grep -q "All checks" <<<"$output" && fail "Nosuch: verify.cmd says all passed"

# A script error in the 32-bit host only, in the middle of the run.
sed -i 's/^\(. --- The paper store, in a copy.*\)/\1\r\nIf arch = "x86" Then Err.Raise 13, , "forced"/' "$root/verify.vbs"
grep -q 'Err.Raise 13, , "forced"' "$root/verify.vbs" || fail "the forced error is not in the script"
# No switch: without a session the run is unattended, so FormAllAdd is skipped in the x64 host.
run_verify forced.out
grep -q '^SKIP  x64  FormAllAdd' <<<"$output" && ok "no session: unattended by default" ||
  fail "no session: FormAllAdd was not skipped"
[ "$status" -eq 1 ] && grep -q '^FAIL  x86  the script host ended early' <<<"$output" &&
  [ "$(grep -c '^NOT RUN  x86' <<<"$output")" = 7 ] && ! grep -q '^NOT RUN  x64' <<<"$output" &&
  ok "a script error in the x86 host: its 7 remaining checks did not run, exit 1" ||
  fail "a script error in the x86 host: exit $status"

echo
[ "$failures" -eq 0 ] && echo "all verify.cmd checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

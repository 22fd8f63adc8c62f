#!/bin/sh
# Registers Sheetlore.dll machine-wide, then for the current user only, runs the VBScript
# checks each time, and checks that creation fails after each unregistration.
#   com_vbscript_test.sh <wine loader> <Sheetlore.dll> <com_vbscript_test.vbs>
set -u
wine=$1
dll=$(winepath -w "$2")
script=$(winepath -w "$3")
work=$(dirname "$2") # no scratch files: the build folder
. "$(dirname "$0")/../support/test_support.sh"

run() { # what, expected mode
  echo "== $1"
  output=$("$wine" cscript //nologo "$script" "$2")
  code=$?
  printf '%s\n' "$output" | tr -d '\r'
  [ "$code" -eq 0 ] || fail "the script ended with $code"
  # Wine's script host can end a script silently with status 0: the last line must be there.
  [ "$2" = absent ] || printf '%s\n' "$output" | grep -q "all checks ran" ||
    fail "the script stopped before its last check"
}

"$wine" regsvr32 /s "$dll" || { fail "regsvr32"; exit 1; }
run "machine-wide" present
"$wine" regsvr32 /s /u "$dll" || fail "regsvr32 /u"
run "after regsvr32 /u" absent

# Wine's COM reads classes from the machine's keys only, so per user the keys are checked.
user_key='HKCU\Software\Classes\Sheetlore.ClsPrint\CLSID'
"$wine" regsvr32 /s /n /i:user "$dll" || { fail "regsvr32 /n /i:user"; exit 1; }
"$wine" reg query "$user_key" >/dev/null 2>&1 && ok "regsvr32 /n /i:user wrote $user_key" ||
  fail "regsvr32 /n /i:user wrote no $user_key"
"$wine" regsvr32 /s /u /n /i:user "$dll" || fail "regsvr32 /u /n /i:user"
"$wine" reg query "$user_key" >/dev/null 2>&1 && fail "regsvr32 /u /n /i:user left $user_key" ||
  ok "regsvr32 /u /n /i:user removed $user_key"
[ "$failures" -eq 0 ]

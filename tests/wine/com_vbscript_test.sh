#!/bin/sh
# Registers Sheetlore.dll machine-wide, then for the current user only, runs the VBScript
# checks each time, and checks that creation fails after each unregistration.
#   com_vbscript_test.sh <wine loader> <Sheetlore.dll> <com_vbscript_test.vbs>
set -u
wine=$1
dll=$(winepath -w "$2")
script=$(winepath -w "$3")
status=0

run() { # what, expected mode
  echo "== $1"
  output=$("$wine" cscript //nologo "$script" "$2")
  code=$?
  printf '%s\n' "$output" | tr -d '\r'
  [ "$code" -eq 0 ] || { echo "FAIL: the script ended with $code"; status=1; }
  if [ "$2" = present ] && ! printf '%s\n' "$output" | grep -q "all checks ran"; then
    echo "FAIL: the script stopped before its last check"
    status=1
  fi
}

"$wine" regsvr32 /s "$dll" || { echo "FAIL: regsvr32"; exit 1; }
run "machine-wide" present
"$wine" regsvr32 /s /u "$dll" || status=1
run "after regsvr32 /u" absent

# Wine's COM reads classes from the machine's keys only, so per user the keys are checked.
user_key='HKCU\Software\Classes\Sheetlore.ClsPrint\CLSID'
"$wine" regsvr32 /s /n /i:user "$dll" || { echo "FAIL: regsvr32 /n /i:user"; exit 1; }
if "$wine" reg query "$user_key" >/dev/null 2>&1; then
  echo "ok: regsvr32 /n /i:user wrote $user_key"
else
  echo "FAIL: regsvr32 /n /i:user wrote no $user_key"
fi
"$wine" regsvr32 /s /u /n /i:user "$dll" || status=1
if "$wine" reg query "$user_key" >/dev/null 2>&1; then
  echo "FAIL: regsvr32 /u /n /i:user left $user_key"
else
  echo "ok: regsvr32 /u /n /i:user removed $user_key"
fi
exit $status

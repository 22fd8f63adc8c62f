#!/bin/sh
# Registers Sheetlore.dll machine-wide, runs the VBScript checks and unregisters. (Both
# architectures registered and unregistered, machine-wide and per user, with creation refused
# afterwards: registration_views_test.sh.)
#   com_vbscript_test.sh <wine loader> <Sheetlore.dll> <com_vbscript_test.vbs>
set -u
wine=$1
dll=$(winepath -w "$2")
script=$(winepath -w "$3")
work=$(dirname "$2") # no scratch files: the build folder
. "$(dirname "$0")/../support/test_support.sh"

"$wine" regsvr32 /s "$dll" || { fail "regsvr32"; exit 1; }
output=$("$wine" cscript //nologo "$script")
code=$?
printf '%s\n' "$output" | tr -d '\r'
[ "$code" -eq 0 ] || fail "the script ended with $code"
# Wine's script host can end a script silently with status 0: the last line must be there.
printf '%s\n' "$output" | grep -q "all checks ran" || fail "the script stopped before its last check"
"$wine" regsvr32 /s /u "$dll" || fail "regsvr32 /u"
[ "$failures" -eq 0 ]

#!/bin/sh
# FormShow from VBScript: registers Sheetlore.dll, runs the script under cscript while the
# closer program waits for the dialog, saves its picture and clicks its close button, then
# unregisters.
#   dialog_vbscript_test.sh <wine loader> <Sheetlore.dll> <closer.exe> <script.vbs> <PNG path>
set -u
wine=$1
dll=$(winepath -w "$2")
closer=$3
script=$(winepath -w "$4")
closer_log=$(mktemp)
trap 'rm -f "$closer_log"' EXIT
status=0

"$wine" regsvr32 /s "$dll" || { echo "FAIL: regsvr32"; exit 1; }
"$wine" "$closer" dialog "$5" >"$closer_log" &
closer_pid=$!
output=$("$wine" cscript //nologo "$script")
code=$?
wait "$closer_pid" || status=1
tr -d '\r' <"$closer_log"
printf '%s\n' "$output" | tr -d '\r'
[ "$code" -eq 0 ] || { echo "FAIL: cscript ended with $code"; status=1; }
case "$output" in
  *"FormShow returned"*) echo "ok: FormShow returned after the dialog closed" ;;
  *) echo "FAIL: FormShow did not return"; status=1 ;;
esac
"$wine" regsvr32 /s /u "$dll" || status=1
[ "$status" -eq 0 ] || echo "FAIL: see above"
exit $status

#!/bin/sh
# The example hosts of examples/ against their expected output: registers Sheetlore.dll, runs
# hello.vbs and hello.js through cscript and the C++ host, compares each output with
# examples_expected/, and unregisters.
#   examples_test.sh <wine loader> <Sheetlore.dll> <host.exe> <examples dir> <expected dir>
set -u
wine=$1
dll=$(winepath -w "$2")
host=$3
examples=$4
expected=$5
status=0
actual=$(mktemp)
trap 'rm -f "$actual"; "$wine" regsvr32 /s /u "$dll"' EXIT

check() { # name, expected file; the output is in $actual
  if diff -u "$2" "$actual"; then
    echo "ok: $1"
  else
    echo "FAIL: $1 printed other output"
    status=1
  fi
}

"$wine" regsvr32 /s "$dll" || { echo "FAIL: regsvr32"; exit 1; }
"$wine" cscript //nologo "$(winepath -w "$examples/hello.vbs")" | tr -d '\r' >"$actual"
check hello.vbs "$expected/hello.vbs.txt"
"$wine" cscript //nologo "$(winepath -w "$examples/hello.js")" | tr -d '\r' >"$actual"
check hello.js "$expected/hello.js.txt"
"$wine" "$host" | tr -d '\r' >"$actual"
check host.exe "$expected/host.txt"
exit $status

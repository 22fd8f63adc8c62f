#!/usr/bin/env bash
# A winspool.drv planted beside Sheetlore.dll and sheetlore.exe must never be loaded. Windows
# looks for a library that is not on its known list in the program's (or the COM server's)
# folder first; Wine's loader is told to do the same for winspool.drv here
# (WINEDLLOVERRIDES=winspool.drv=n,b), and the planted copy leaves winspool.drv.loaded
# beside itself when a process loads it. First, each binary's import table must hold only
# libraries from the known list.
#   planted_library_test.sh <wine> <objdump> <Sheetlore.dll> <sheetlore.exe>
#                           <planted winspool.drv> <host importing winspool> <work dir>
set -u
wine=$1
objdump=$2
work=$7
. "$(dirname "$0")/../support/test_support.sh"

echo "== import tables"
# Libraries Windows always maps from the system directory (its KnownDLLs), whatever folder
# the program or the DLL is in.
known=" advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll "
for binary in "$3" "$4"; do
  before=$failures
  imports=$("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r' | sort -u)
  [ -n "$imports" ] || fail "$(basename "$binary"): no import table read"
  for library in $imports; do
    case $known in
      *" $library "*) ;;
      *) fail "$(basename "$binary") imports $library, which Windows looks for beside it first" ;;
    esac
  done
  [ "$failures" -eq "$before" ] && ok "$(basename "$binary") imports: $(echo $imports)"
done

echo "== a planted winspool.drv"
rm -rf "$work" && mkdir -p "$work/app" || exit 1
cp "$3" "$4" "$5" "$6" "$work/app/" || exit 1
marker=$work/app/winspool.drv.loaded
export WINEDLLOVERRIDES="winspool.drv=n,b"
dll=$(winepath -w "$work/app/$(basename "$3")")
cleanup() { "$wine" regsvr32 /s /u "$dll" >/dev/null 2>&1; }
trap cleanup EXIT

expect_unloaded() { # what was done
  if [ -e "$marker" ]; then fail "the planted winspool.drv was loaded by $1"; rm -f "$marker"; else ok "not loaded by $1"; fi
}

"$wine" regsvr32 /s "$dll" || fail "regsvr32 $dll"
expect_unloaded "registration (regsvr32)"

cat >"$work/create.vbs" <<'VBS'
Set p = CreateObject("Sheetlore.ClsPrint")
WScript.Echo "created " & p.InchToCm(1)
VBS
cat >"$work/call.vbs" <<'VBS'
Set p = CreateObject("Sheetlore.ClsPrint")
Dim forms, printer
WScript.Echo "printers " & p.PrintCheck(0) & " forms " & p.FormCheck(forms, printer)
VBS
created=$("$wine" cscript //nologo "$(winepath -w "$work/create.vbs")" 2>&1 | tr -d '\r')
[ "$created" = "created 2.54" ] || fail "cscript creating Sheetlore.ClsPrint: $created"
expect_unloaded "CreateObject from cscript"
# The spooler answers through the system's library: the planted one refuses every call.
called=$("$wine" cscript //nologo "$(winepath -w "$work/call.vbs")" 2>&1 | tr -d '\r')
[ "$called" = "printers True forms True" ] || fail "PrintCheck and FormCheck from cscript: $called"
expect_unloaded "PrintCheck and FormCheck from cscript"

tool=$work/app/$(basename "$4")
"$wine" "$tool" --help >/dev/null 2>&1 || fail "sheetlore --help"
expect_unloaded "sheetlore --help"
printers=$("$wine" "$tool" printers 2>&1 | tr -d '\r')
case $printers in *Sheetlore_*) ;; *) fail "sheetlore printers lists no CUPS queue: $printers" ;; esac
expect_unloaded "sheetlore printers"

# The check can fail: a program that imports the spooler statically loads the planted copy.
"$wine" "$work/app/$(basename "$6")" >/dev/null 2>&1
[ -e "$marker" ] && ok "a static import of winspool.drv loads the planted copy (the check works)" ||
  fail "the planted winspool.drv was not loaded even by a static import: the check proves nothing"

echo
[ "$failures" -eq 0 ] && echo "all planted-library checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

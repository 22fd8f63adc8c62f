#!/usr/bin/env bash
# The installer's whole life under Wine. The 1.0 installer (tests/packaging/Sheetlore-1.0.wxs:
# a store beside each DLL, removed with the product) is installed, with its DLLs marked so
# that they differ from the build's, and papers are stored in both of its stores, one paper
# differently in each. The current version, installed over it, must leave one product with the
# new binaries and a working registration, and one store in ProgramData holding every paper
# (both versions of the one that differed, with a note), used by both tools and both script
# hosts. A deleted Sheetlore.dll must come back with a repair (REINSTALL=ALL), an older version
# of the current layout (0.9) must refuse to install over it, another build of the same version
# must replace it rather than install beside it, and an uninstall must remove
# everything but the store that holds papers.
#   msi_upgrade_test.sh <repository> <x64 build dir> <x86 build dir>
set -u
repo=$1
x64_dir=$2
x86_dir=$3
. "$(dirname "$0")/../support/test_support.sh"

program_files=$WINEPREFIX/drive_c/Program\ Files/Sheetlore
program_files_x86=$WINEPREFIX/drive_c/Program\ Files\ \(x86\)/Sheetlore
data=$WINEPREFIX/drive_c/ProgramData/Sheetlore
saved_path=$(machine_path)
cleanup() {
  restore_machine_path "$saved_path"
  wine64 reg delete 'HKLM\Software\Sheetlore' /v StoreFile /f >/dev/null 2>&1
  rm -rf "$work" "$program_files" "$program_files_x86" "$data"
}
trap cleanup EXIT
rm -rf "$data"

# The older versions, and another build of the current one: the same binaries with a marker
# after their end, which Windows ignores.
for arch in x64 x86; do
  dir=$x64_dir
  [ "$arch" = x86 ] && dir=$x86_dir
  mkdir -p "$work/old-$arch" "$work/one/$arch" "$work/rebuilt-$arch"
  cp "$dir"/Sheetlore.dll "$dir"/sheetlore.exe "$dir"/*.debug "$work/old-$arch/"
  cp "$dir"/Sheetlore.dll "$dir"/sheetlore.exe "$dir"/*.debug "$work/rebuilt-$arch/"
  printf 'an older Sheetlore' >>"$work/old-$arch/Sheetlore.dll"
  printf 'another build' >>"$work/rebuilt-$arch/Sheetlore.dll"
  cp "$work/old-$arch/Sheetlore.dll" "$work/old-$arch/sheetlore.exe" "$work/one/$arch/"
  printf '\xff\xfe' >"$work/one/$arch/PrintSet.ini"
done
(cd "$work" && wixl -a x64 -D Version=1.0 -D X64Dir=one/x64 -D X86Dir=one/x86 -I "$repo/packaging" \
  -o one/Sheetlore-1.0.msi "$repo/tests/packaging/Sheetlore-1.0.wxs") >"$work/log" 2>&1 &&
  "$repo/tools/package" --no-build --x64 "$work/old-x64" --x86 "$work/old-x86" --version 0.9 \
    --out "$work/old" >>"$work/log" 2>&1 &&
  "$repo/tools/package" --no-build --x64 "$x64_dir" --x86 "$x86_dir" --version 1.1 --out "$work/new" >>"$work/log" 2>&1 &&
  "$repo/tools/package" --no-build --x64 "$work/rebuilt-x64" --x86 "$work/rebuilt-x86" --version 1.1 \
    --out "$work/rebuilt" >>"$work/log" 2>&1 ||
  { cat "$work/log"; echo "FAIL: building the installers"; exit 1; }
one_msi=$(winepath -w "$work"/one/Sheetlore-1.0.msi)
old_msi=$(winepath -w "$work"/old/Sheetlore-0.9.msi)
new_msi=$(winepath -w "$work"/new/Sheetlore-1.1.msi)
rebuilt_msi=$(winepath -w "$work"/rebuilt/Sheetlore-1.1.msi)

installed_products() {
  wine64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | grep -cE 'DisplayName +REG_SZ +Sheetlore$'
}
msiexec_ok() { # what, arguments...
  local what=$1
  shift
  msiexec_quiet "$work/msiexec.log" "$@"
  [ $rc -eq 0 ] && ok "$what: msiexec exited 0" || fail "$what: msiexec exited $rc"
}
cat >"$work/probe.vbs" <<'VBS'
On Error Resume Next
Set p = CreateObject("Sheetlore.ClsPrint")
If Err.Number = 0 Then WScript.Echo "created " & p.InchToCm(1) Else WScript.Echo "absent"
VBS
cat >"$work/papers.vbs" <<'VBS'
Set p = CreateObject("Sheetlore.ClsPrint")
Dim names, name, text
p.IniReadValue 0, , names
For Each name In names
  If name <> "" Then text = text & "|" & name
Next
WScript.Echo Mid(text, 2)
VBS
probe() { # when
  local script host64 host32
  script=$(winepath -w "$work/probe.vbs")
  host64=$(wine64 cscript //nologo "$script" | tr -d '\r')
  host32=$(wine cscript //nologo "$script" | tr -d '\r')
  [ "$host64" = "created 2.54" ] && [ "$host32" = "created 2.54" ] &&
    ok "both script hosts create Sheetlore.ClsPrint $1" || fail "$1: 64-bit host $host64, 32-bit host $host32"
}

echo "== the 1.0 installer"
msiexec_ok "install 1.0" /i "$one_msi"
cmp -s "$program_files/Sheetlore.dll" "$work/old-x64/Sheetlore.dll" && ok "1.0's DLL is installed" ||
  fail "the installed DLL is not 1.0's"
wine64 "$program_files/sheetlore.exe" paper-store "Kept 64" 10 20 >/dev/null &&
  wine64 "$program_files/sheetlore.exe" paper-store Both 21 29.7 >/dev/null &&
  wine "$program_files_x86/sheetlore.exe" paper-store "Kept 32" 8.5 11 --inches >/dev/null &&
  wine "$program_files_x86/sheetlore.exe" paper-store Both 14.8 21 >/dev/null ||
  fail "paper-store into the installed stores"
[ "$(installed_products)" = 1 ] && ok "one product installed" || fail "products installed: $(installed_products)"

echo "== the current version over it"
msiexec_ok "upgrade" /i "$new_msi"
[ "$(installed_products)" = 1 ] && ok "one product installed after the upgrade" ||
  fail "products installed after the upgrade: $(installed_products)"
cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" &&
  cmp -s "$program_files_x86/Sheetlore.dll" "$x86_dir/Sheetlore.dll" &&
  ok "both DLLs are the new version's" || fail "the DLLs were not replaced"
expected="Kept 64|Both|Kept 32|Both (x86)"
papers_ok() { # when
  local tool64 tool32 host64 host32 script
  script=$(winepath -w "$work/papers.vbs")
  tool64=$(wine64 "$program_files/sheetlore.exe" papers --csv | tr -d '\r' | tail -n +2 | cut -d, -f1 | paste -sd'|')
  tool32=$(wine "$program_files_x86/sheetlore.exe" papers --csv | tr -d '\r' | tail -n +2 | cut -d, -f1 | paste -sd'|')
  host64=$(wine64 cscript //nologo "$script" | tr -d '\r')
  host32=$(wine cscript //nologo "$script" | tr -d '\r')
  [ "$tool64" = "$expected" ] && [ "$tool32" = "$expected" ] && [ "$host64" = "$expected" ] && [ "$host32" = "$expected" ] &&
    ok "both tools and both script hosts see every paper $1: $expected" ||
    fail "papers $1: x64 tool '$tool64', x86 tool '$tool32', 64-bit host '$host64', 32-bit host '$host32'"
}
papers_ok "after the upgrade"
[ "$(wine64 "$program_files/sheetlore.exe" paper-show "Both (x86)" --csv | tr -d '\r' | tail -1 | cut -d, -f3)" = 14.8 ] &&
  ok "the x86 store's version of Both is kept as \"Both (x86)\"" || fail "Both (x86) is not the x86 store's paper"
grep -q '"Both (x86)"' "$data/Upgrade notes.txt" 2>/dev/null && ok "Upgrade notes.txt says so" ||
  fail "no note about Both (x86) in $data"
left=$( (cd "$WINEPREFIX/drive_c" && find "Program Files/Sheetlore" "Program Files (x86)/Sheetlore" "ProgramData/Sheetlore" -name "*.ini") 2>/dev/null | tr '\n' ';')
[ "$left" = "ProgramData/Sheetlore/PrintSet.ini;" ] && ok "one store is left, in ProgramData" || fail "stores: $left"
cp "$data/PrintSet.ini" "$work/store"

echo "== another build of the same version, both ways"
# Each build has its own product code: it must replace the installed build, not join it.
msiexec_ok "another build of 1.1" /i "$rebuilt_msi"
[ "$(installed_products)" = 1 ] && cmp -s "$program_files/Sheetlore.dll" "$work/rebuilt-x64/Sheetlore.dll" &&
  ok "one product installed, with the other build's files" ||
  fail "products installed: $(installed_products); the DLL is $(cmp -s "$program_files/Sheetlore.dll" "$work/rebuilt-x64/Sheetlore.dll" || echo not) the other build's"
msiexec_ok "the first build again" /i "$new_msi"
[ "$(installed_products)" = 1 ] && cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" &&
  ok "one product installed, with the first build's files" || fail "products installed: $(installed_products)"
papers_ok "after two builds of one version"

echo "== an older version over the newer one"
wine64 msiexec /i "$old_msi" /qn
rc=$?
[ $rc -ne 0 ] && cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" &&
  ok "0.9 refuses to install over the current version (msiexec exited $rc)" ||
  fail "0.9 over the current version: msiexec exited $rc"
papers_ok "after the refused downgrade"

echo "== repair"
rm -f "$program_files/Sheetlore.dll"
# Wine's msiexec does not implement /f (it looks the package's path up as a product); the
# same repair through /i with REINSTALL works on Windows and Wine alike.
msiexec_ok "repair" /i "$new_msi" REINSTALL=ALL REINSTALLMODE=omus
cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" && ok "the repair brought Sheetlore.dll back" ||
  fail "no Sheetlore.dll after the repair"
cmp -s "$data/PrintSet.ini" "$work/store" && ok "the repair left the paper store alone" ||
  fail "the repair changed the paper store"
probe "after the repair"

echo "== uninstall"
msiexec_ok "uninstall" /x "$new_msi"
[ "$(installed_products)" = 0 ] && ok "no product installed" || fail "products installed: $(installed_products)"
left=$( (cd "$WINEPREFIX/drive_c" && find "Program Files/Sheetlore" "Program Files (x86)/Sheetlore" "ProgramData/Sheetlore" -type f) 2>/dev/null | sort | tr '\n' ';')
[ "$left" = "ProgramData/Sheetlore/PrintSet.ini;ProgramData/Sheetlore/Upgrade notes.txt;" ] &&
  ok "only the store (and the upgrade's notes) are left" || fail "left behind: $left"
cmp -s "$data/PrintSet.ini" "$work/store" && ok "the store still holds its papers byte for byte" ||
  fail "the store changed in the uninstall"
wine64 reg query 'HKLM\Software\Sheetlore' /v StoreFile >/dev/null 2>&1 && fail "the StoreFile setting is left"
[ "$(wine64 reg query 'HKLM\Software\Classes\Sheetlore.ClsPrint' 2>&1 | grep -c CLSID)" = 0 ] &&
  ok "the ProgID is gone" || fail "the ProgID is still registered"

echo
[ "$failures" -eq 0 ] && echo "all upgrade checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

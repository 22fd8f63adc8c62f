#!/usr/bin/env bash
# The installer's whole life under Wine: an older version (0.9, its DLLs marked so that they
# differ from the build's) is installed and papers are stored in both paper stores; then the
# current version is installed over it. One product must stay installed, with the new
# binaries, a working registration and both stores byte for byte. A deleted Sheetlore.dll
# must come back with a repair (REINSTALL=ALL), an older version must refuse to install over the
# newer one, and an uninstall must remove everything but the stores that hold papers.
#   msi_upgrade_test.sh <repository> <x64 build dir> <x86 build dir>
set -u
repo=$1
x64_dir=$2
x86_dir=$3
. "$(dirname "$0")/test_support.sh"

program_files=$WINEPREFIX/drive_c/Program\ Files/Sheetlore
program_files_x86=$WINEPREFIX/drive_c/Program\ Files\ \(x86\)/Sheetlore
cleanup() {
  rm -rf "$work" "$program_files" "$program_files_x86"
}
trap cleanup EXIT

# The older version: the same binaries with a marker after their end, which Windows ignores.
for arch in x64 x86; do
  dir=$x64_dir
  [ "$arch" = x86 ] && dir=$x86_dir
  mkdir -p "$work/old-$arch"
  cp "$dir"/Sheetlore.dll "$dir"/sheetlore.exe "$dir"/*.debug "$work/old-$arch/"
  printf 'an older Sheetlore' >>"$work/old-$arch/Sheetlore.dll"
done
"$repo/tools/package" --no-build --x64 "$work/old-x64" --x86 "$work/old-x86" --version 0.9 \
  --out "$work/old" >"$work/log" 2>&1 &&
  "$repo/tools/package" --no-build --x64 "$x64_dir" --x86 "$x86_dir" --out "$work/new" >>"$work/log" 2>&1 ||
  { cat "$work/log"; echo "FAIL: tools/package"; exit 1; }
old_msi=$(winepath -w "$work"/old/Sheetlore-0.9.msi)
new_msi=$(winepath -w "$(ls "$work"/new/Sheetlore-*.msi)")

installed_products() {
  wine64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | grep -cE 'DisplayName +REG_SZ +Sheetlore$'
}
msiexec_ok() { # what, arguments...
  local what=$1
  shift
  wine64 msiexec "$@" /qn
  local rc=$?
  [ $rc -eq 0 ] && ok "$what: msiexec exited 0" || fail "$what: msiexec exited $rc"
}
cat >"$work/probe.vbs" <<'VBS'
On Error Resume Next
Set p = CreateObject("Sheetlore.ClsPrint")
If Err.Number = 0 Then WScript.Echo "created " & p.InchToCm(1) Else WScript.Echo "absent"
VBS
probe() { # when
  local script host64 host32
  script=$(winepath -w "$work/probe.vbs")
  host64=$(wine64 cscript //nologo "$script" | tr -d '\r')
  host32=$(wine cscript //nologo "$script" | tr -d '\r')
  [ "$host64" = "created 2.54" ] && [ "$host32" = "created 2.54" ] &&
    ok "both script hosts create Sheetlore.ClsPrint $1" || fail "$1: 64-bit host $host64, 32-bit host $host32"
}

echo "== the older version"
msiexec_ok "install 0.9" /i "$old_msi"
cmp -s "$program_files/Sheetlore.dll" "$work/old-x64/Sheetlore.dll" && ok "0.9's DLL is installed" ||
  fail "the installed DLL is not 0.9's"
wine64 "$program_files/sheetlore.exe" paper-store "Kept 64" 10 20 >/dev/null &&
  wine "$program_files_x86/sheetlore.exe" paper-store "Kept 32" 8.5 11 --inches >/dev/null ||
  fail "paper-store into the installed stores"
cp "$program_files/PrintSet.ini" "$work/store64" && cp "$program_files_x86/PrintSet.ini" "$work/store32"
[ "$(installed_products)" = 1 ] && ok "one product installed" || fail "products installed: $(installed_products)"

echo "== the current version over it"
msiexec_ok "upgrade" /i "$new_msi" /l*v "$(winepath -w "$work/upgrade.log")"
[ "$(installed_products)" = 1 ] && ok "one product installed after the upgrade" ||
  fail "products installed after the upgrade: $(installed_products)"
cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" &&
  cmp -s "$program_files_x86/Sheetlore.dll" "$x86_dir/Sheetlore.dll" &&
  ok "both DLLs are the new version's" || fail "the DLLs were not replaced"
cmp -s "$program_files/PrintSet.ini" "$work/store64" && cmp -s "$program_files_x86/PrintSet.ini" "$work/store32" &&
  ok "both paper stores are kept byte for byte" || fail "a paper store changed in the upgrade"
probe "after the upgrade"

echo "== an older version over the newer one"
wine64 msiexec /i "$old_msi" /qn
rc=$?
[ $rc -ne 0 ] && cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" &&
  ok "0.9 refuses to install over the current version (msiexec exited $rc)" ||
  fail "0.9 over the current version: msiexec exited $rc"

echo "== repair"
rm -f "$program_files/Sheetlore.dll"
# Wine's msiexec does not implement /f (it looks the package's path up as a product); the
# same repair through /i with REINSTALL works on Windows and Wine alike.
msiexec_ok "repair" /i "$new_msi" REINSTALL=ALL REINSTALLMODE=omus
cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" && ok "the repair brought Sheetlore.dll back" ||
  fail "no Sheetlore.dll after the repair"
cmp -s "$program_files/PrintSet.ini" "$work/store64" && ok "the repair left the paper store alone" ||
  fail "the repair changed the paper store"
probe "after the repair"

echo "== uninstall"
msiexec_ok "uninstall" /x "$new_msi"
[ "$(installed_products)" = 0 ] && ok "no product installed" || fail "products installed: $(installed_products)"
left=$( (cd "$WINEPREFIX/drive_c" && find "Program Files/Sheetlore" "Program Files (x86)/Sheetlore" -type f) 2>/dev/null | sort | tr '\n' ';')
[ "$left" = "Program Files (x86)/Sheetlore/PrintSet.ini;Program Files/Sheetlore/PrintSet.ini;" ] &&
  ok "only the two paper stores are left" || fail "left behind: $left"
cmp -s "$program_files/PrintSet.ini" "$work/store64" && cmp -s "$program_files_x86/PrintSet.ini" "$work/store32" &&
  ok "the stores still hold their papers byte for byte" || fail "a store changed in the uninstall"
[ "$(wine64 reg query 'HKLM\Software\Classes\Sheetlore.ClsPrint' 2>&1 | grep -c CLSID)" = 0 ] &&
  ok "the ProgID is gone" || fail "the ProgID is still registered"

echo
[ "$failures" -eq 0 ] && echo "all upgrade checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

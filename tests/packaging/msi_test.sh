#!/usr/bin/env bash
# The installer under Wine: builds Sheetlore-<version>.msi with tools/package --no-build,
# installs it with msiexec /i /qn, and checks the files under both Program Files folders, that
# its version, the files beside the x64 programs (README.txt, verify.cmd, the examples) and the
# x64 folder on the machine's PATH, that
# its registry entries are exactly those DllRegisterServer writes (both registry views), that
# 64-bit and 32-bit script hosts create Sheetlore.ClsPrint, that the one paper store is in
# ProgramData with the users' rights granted on its folder, named by the machine's setting, and
# used by both tools. Then msiexec /x /qn: creation fails in both hosts and no file, folder or
# registry key is left behind, but for the paper store that holds a paper.
#   msi_test.sh <repository> <x64 build dir> <x86 build dir>
set -u
repo=$1
x64_dir=$2
x86_dir=$3
. "$(dirname "$0")/../support/test_support.sh"

require_x86_build "$x86_dir"
saved_path=$(machine_path)
trap 'restore_machine_path "$saved_path"' EXIT
build_package "$repo" "$x64_dir" "$x86_dir"
msi=$(ls "$work"/dist/Sheetlore-*.msi)
msi_path=$(winepath -w "$msi")

echo "== the release's version"
version=$(sed -n 's/^project(Sheetlore VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
product_version=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductVersion" { print $2 }')
[ "$(basename "$msi")" = "Sheetlore-$version.msi" ] && [ "$product_version" = "$version" ] &&
  ok "Sheetlore-$version.msi carries ProductVersion $product_version" ||
  fail "$(basename "$msi") carries ProductVersion $product_version, the project is $version"

echo "== the order of the installer's actions"
# Windows stops an installation whose deferred custom actions (type bit 1024) lie outside
# InstallInitialize..InstallFinalize; Wine runs them anyway, so the tables are read here.
msiinfo export "$msi" InstallExecuteSequence | tr -d '\r' | tail -n +4 >"$work/sequence"
msiinfo export "$msi" CustomAction | tr -d '\r' | tail -n +4 >"$work/actions"
at() { awk -F'\t' -v a="$1" '$1 == a { print $3 }' "$work/sequence"; }
first=$(at InstallInitialize)
last=$(at InstallFinalize)
while IFS=$'\t' read -r action type _; do
  [ $((type & 1024)) -ne 0 ] || continue
  n=$(at "$action")
  [ "$n" -gt "$first" ] && [ "$n" -lt "$last" ] && ok "deferred $action runs inside the script ($n)" ||
    fail "deferred $action is at $n, outside $first..$last"
done <"$work/actions"
[ "$(at RemoveExistingProducts)" -gt "$(at InstallValidate)" ] && [ "$(at RemoveExistingProducts)" -lt "$first" ] &&
  ok "an older version is removed right after InstallValidate" || fail "RemoveExistingProducts at $(at RemoveExistingProducts)"
[ "$(at DropEmptyStore)" -lt "$(at RemoveFiles)" ] && ok "an empty store goes before RemoveFiles" ||
  fail "DropEmptyStore after RemoveFiles"
[ "$(at SaveOldStore64)" -gt "$(at InstallValidate)" ] && [ "$(at SaveOldStore32)" -lt "$(at RemoveExistingProducts)" ] &&
  [ "$(at MergeOldStores)" -gt "$(at InstallFiles)" ] &&
  ok "an older version's stores are copied aside before it goes, and merged after the files" ||
  fail "SaveOldStore at $(at SaveOldStore64)/$(at SaveOldStore32), MergeOldStores at $(at MergeOldStores)"

program_files=$WINEPREFIX/drive_c/Program\ Files/Sheetlore
program_files_x86=$WINEPREFIX/drive_c/Program\ Files\ \(x86\)/Sheetlore
data=$WINEPREFIX/drive_c/ProgramData/Sheetlore
rm -rf "$data"
keys=('CLSID\{188AD010-B752-4ADC-9E36-D06143AC4914}' 'Sheetlore.ClsPrint'
  'Interface\{5E8DBAC0-6E0E-4AF8-AF3F-8647E2E0543E}' 'TypeLib\{B0D81A92-2C42-4EA0-8E2A-775C03B6B053}')

# The class's registry entries in both views, with the DLLs' paths given as x64-dll/x86-dll.
# HELPDIR, one value for both architectures, holds the folder of whichever registration ran
# last (any process's): only its presence is compared.
# dump <x64 dll path> <x86 dll path>
dump() {
  local x64_dll=${1//\\/\\\\} x86_dll=${2//\\/\\\\}
  for loader in wine64 wine; do
    echo "[$loader]"
    for key in "${keys[@]}"; do
      "$loader" reg query "HKLM\\Software\\Classes\\$key" /s 2>&1 | tr -d '\r'
    done
  done | sed -e "s|$x64_dll|x64-dll|g" -e "s|$x86_dll|x86-dll|g" |
    awk '/\\HELPDIR$/ { print; helpdir = 1; next }
         helpdir && /REG_SZ/ { sub(/REG_SZ.*/, "REG_SZ    a folder"); helpdir = 0 }
         { print }'
}
cat >"$work/probe.vbs" <<'VBS'
On Error Resume Next
Set p = CreateObject("Sheetlore.ClsPrint")
If Err.Number = 0 Then WScript.Echo "created " & p.InchToCm(1) Else WScript.Echo "absent"
VBS
probe_script=$(winepath -w "$work/probe.vbs")
probe() { # expected, when
  local host64 host32
  host64=$(wine64 cscript //nologo "$probe_script" | tr -d '\r')
  host32=$(wine cscript //nologo "$probe_script" | tr -d '\r')
  [ "$host64" = "$1" ] && ok "64-bit host: $1 $2" || fail "64-bit host $2: $host64, expected $1"
  [ "$host32" = "$1" ] && ok "32-bit host: $1 $2" || fail "32-bit host $2: $host32, expected $1"
}

echo "== what DllRegisterServer writes"
build_x64=$(winepath -w "$x64_dir/Sheetlore.dll")
build_x86=$(winepath -w "$x86_dir/Sheetlore.dll")
wine64 regsvr32 /s "$build_x64" && wine regsvr32 /s "$build_x86" || fail "regsvr32 of the built DLLs"
dump "$build_x64" "$build_x86" >"$work/expected.reg"
wine64 regsvr32 /s /u "$build_x64"
wine regsvr32 /s /u "$build_x86"
grep -q "x64-dll" "$work/expected.reg" && grep -q "x86-dll" "$work/expected.reg" ||
  fail "regsvr32 registered no DLL: $(cat "$work/expected.reg")"
probe absent "before the installer runs"

echo "== msiexec /i"
msiexec_quiet "$work/install.log" /i "$msi_path"
[ $rc -eq 0 ] && ok "msiexec /i exited 0" || fail "msiexec /i exited $rc"
for folder in "$program_files" "$program_files_x86"; do
  for file in Sheetlore.dll sheetlore.exe; do
    [ -f "$folder/$file" ] || fail "$folder/$file is not installed"
  done
  [ -e "$folder/PrintSet.ini" ] && fail "$folder holds a PrintSet.ini: the store belongs in ProgramData"
done
[ -f "$data/PrintSet.ini" ] && ok "the one store is $data/PrintSet.ini" || fail "no store in $data"
# What the zip ships beside the programs, byte for byte as the zip holds it.
unzip -q "$work/dist/Sheetlore-$version.zip" -d "$work/unpacked"
for file in README.txt verify.cmd verify.vbs examples/hello.vbs examples/host.cpp examples/fleet/Detect-Papers.ps1; do
  cmp -s "$program_files/$file" "$work/unpacked/Sheetlore-$version/$file" || fail "$file is not installed as the zip holds it"
done
[ "$(cd "$program_files" && find examples -type f | wc -l)" = "$(cd "$work/unpacked/Sheetlore-$version" && find examples -type f | wc -l)" ] &&
  ok "README.txt, verify.cmd, verify.vbs and every example are installed" || fail "the installed examples differ from the zip's"
path_entries=$(machine_path | tr ';' '\n')
grep -qixF 'C:\Program Files\Sheetlore\' <<<"$path_entries" && grep -qiE '^(%SystemRoot%|C:\\windows)\\system32$' <<<"$path_entries" &&
  ok "the machine's PATH gains the x64 folder and keeps what it held" || fail "machine PATH: $(machine_path)"
cmp -s "$program_files/Sheetlore.dll" "$x64_dir/Sheetlore.dll" &&
  cmp -s "$program_files_x86/Sheetlore.dll" "$x86_dir/Sheetlore.dll" &&
  ok "x64 DLL under Program Files, x86 DLL under Program Files (x86)" || fail "the installed DLLs"
dump 'C:\Program Files\Sheetlore\Sheetlore.dll' 'C:\Program Files (x86)\Sheetlore\Sheetlore.dll' >"$work/installed.reg"
if diff -u "$work/expected.reg" "$work/installed.reg"; then
  ok "the installer's registry entries equal DllRegisterServer's, in both views"
else
  fail "the installer's registry entries differ from DllRegisterServer's"
fi
probe "created 2.54" "after msiexec /i"
# icacls ran for both paper stores and succeeded (Wine keeps no access lists to check). The log
# is ANSI or UTF-16 depending on the installer: dropping the zero bytes reads both.
tr -d '\r\0' <"$work/install.log" >"$work/install.txt"
grep -q "IcaclsExe.*icacls.exe" "$work/install.txt" && ok "FindIcacls set IcaclsExe to icacls.exe" ||
  fail "the log does not show where icacls.exe is"
for action in GrantUsersData; do
  grep -q "Action ended .*: $action. Return value 1." "$work/install.txt" &&
    ok "the installer ran $action successfully" || fail "$action did not succeed"
done

echo "== both tools use the one store"
setting=$(wine reg query 'HKLM\Software\Sheetlore' /v StoreFile /reg:64 2>&1 | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ "$setting" = 'C:\ProgramData\Sheetlore\PrintSet.ini' ] && ok "StoreFile names $setting" || fail "StoreFile: '$setting'"
for tool in "wine64:$program_files/sheetlore.exe" "wine:$program_files_x86/sheetlore.exe"; do
  store_line=$("${tool%%:*}" "${tool#*:}" --help | tr -d '\r' | grep '^Paper store:')
  [ "$store_line" = "Paper store: $setting" ] && ok "$store_line (${tool%%:*})" ||
    fail "sheetlore.exe names its store: $store_line"
done
wine64 "$program_files/sheetlore.exe" paper-store A5X 14.8 21 >/dev/null || fail "paper-store"
iconv -f UTF-16 -t UTF-8 "$data/PrintSet.ini" | tr -d '\r' | grep -qx 'A5X=A5X' &&
  ok "paper-store wrote the store in ProgramData" || fail "the store in ProgramData lacks A5X"
wine "$program_files_x86/sheetlore.exe" paper-show A5X >/dev/null && ok "the x86 tool reads it" ||
  fail "the x86 tool does not see A5X"
[ "$(head -c 2 "$data/PrintSet.ini" | od -An -tx1 | tr -d ' ')" = "fffe" ] ||
  fail "the installed PrintSet.ini lost its byte-order mark"

echo "== the installed verify.cmd"
# From the install folder, unattended; both hosts check the one store. (Wine's spooler does
# not keep forms, so some checks fail: verify_cmd tests what they report.)
(cd "$program_files" && wine64 cmd /c '.\verify.cmd' /unattended </dev/null) >"$work/verify.out" 2>&1
verify_output=$(tr -d '\r' <"$work/verify.out")
grep -qE '^[0-9]+ of 44 checks ran' <<<"$verify_output" &&
  [ "$(grep -c 'the paper store: C:\\ProgramData\\Sheetlore\\PrintSet.ini' <<<"$verify_output")" = 2 ] &&
  ok "the installed verify.cmd runs both hosts against the one store" ||
  { printf '%s\n' "$verify_output"; fail "the installed verify.cmd"; }

echo "== msiexec /x"
msiexec_quiet "$work/uninstall.log" /x "$msi_path"
[ $rc -eq 0 ] && ok "msiexec /x exited 0" || fail "msiexec /x exited $rc"
probe absent "after msiexec /x"
grep -qiF 'Sheetlore' <<<"$(machine_path)" && fail "the machine's PATH still names Sheetlore: $(machine_path)" ||
  ok "the machine's PATH no longer names Sheetlore"
# The store holds A5X and stays; the program folders go.
left=$( (cd "$WINEPREFIX/drive_c" && find "Program Files/Sheetlore" "Program Files (x86)/Sheetlore" "ProgramData/Sheetlore") 2>/dev/null | tr '\n' ';')
[ "$left" = "ProgramData/Sheetlore;ProgramData/Sheetlore/PrintSet.ini;" ] &&
  ok "nothing is left behind but the paper store that holds a paper" || fail "left behind: $left"
wine64 reg query 'HKLM\Software\Sheetlore' /v StoreFile >/dev/null 2>&1 && fail "the StoreFile setting is left"
rm -rf "$data"
echo "== an empty store goes with the product"
msiexec_quiet "$work/empty-install.log" /i "$msi_path"
[ $rc -eq 0 ] || fail "msiexec /i of the empty store exited $rc"
msiexec_quiet "$work/empty-uninstall.log" /x "$msi_path"
[ $rc -eq 0 ] || fail "msiexec /x of the empty store exited $rc"
[ ! -e "$data" ] && ok "the empty store and its folder are removed" || fail "left in ProgramData: $(ls "$data")"
left=$(for loader in wine64 wine; do for key in "${keys[@]}"; do
  "$loader" reg query "HKLM\\Software\\Classes\\$key" >/dev/null 2>&1 && echo "$loader: $key"
done; done)
[ -z "$left" ] && ok "no registry key left behind" || fail "registry keys left behind: $left"

rm -rf "$work"
echo
[ "$failures" -eq 0 ] && echo "all installer checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# The release package: tools/package --no-build from the x64 and x86 build directories, then
# the zip's contents, the empty UTF-16 paper stores, and under Wine the install scripts
# (per user and machine-wide): after each install both a 64-bit and a 32-bit script host
# create Sheetlore.ClsPrint; after each uninstall neither can.
#   package_test.sh <repository> <x64 build dir> <x86 build dir>
set -u
repo=$1
x64_dir=$2
x86_dir=$3
. "$(dirname "$0")/../support/test_support.sh"

require_x86_build "$x86_dir"
build_package "$repo" "$x64_dir" "$x86_dir"
version=$(sed -n 's/^project(Sheetlore VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
zip=$work/dist/Sheetlore-$version.zip
[ -f "$work/dist/Sheetlore-$version.msi" ] && ok "the MSI is written beside the zip" || fail "no MSI"

echo "== contents"
listing=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
expected=$(sed "s/^/Sheetlore-$version\//" <<'LIST' | sort
README.txt
examples/Hello.bas
examples/Hello.cs
examples/fleet/Detect-Papers.ps1
examples/fleet/Remediate-Papers.ps1
examples/fleet/startup-apply-papers.cmd
examples/hello.js
examples/hello.ps1
examples/hello.vbs
examples/host.cpp
folder-check.cmd
install-user.cmd
install.cmd
register.cmd
uninstall-user.cmd
uninstall.cmd
verify.cmd
verify.vbs
x64/PrintSet.ini
x64/Sheetlore.dll
x64/sheetlore.exe
x86/PrintSet.ini
x86/Sheetlore.dll
x86/sheetlore.exe
LIST
)
[ "$listing" = "$expected" ] && ok "the zip holds the expected files" ||
  { fail "the zip's files differ"; diff <(echo "$expected") <(echo "$listing"); }
unzip -q "$zip" -d "$work/unpacked"
root=$work/unpacked/Sheetlore-$version
for arch in x64 x86; do
  [ "$(od -An -tx1 "$root/$arch/PrintSet.ini" | tr -d ' \n')" = "fffe" ] &&
    ok "$arch/PrintSet.ini is empty UTF-16 LE with a byte-order mark" ||
    fail "$arch/PrintSet.ini is not an empty UTF-16 LE file"
done
cmp -s "$root/x64/Sheetlore.dll" "$x64_dir/Sheetlore.dll" && cmp -s "$root/x86/Sheetlore.dll" "$x86_dir/Sheetlore.dll" &&
  ok "each architecture's DLL is in its folder" || fail "the DLLs are not the built ones"
# The machine field of a PE file's header: 8664 for x64, 14c for x86.
pe_machine() {
  local header
  header=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
  od -An -tx2 -j $((header + 4)) -N 2 "$1" | tr -d ' '
}
for arch in x64 x86; do
  expected_machine=8664
  [ "$arch" = x86 ] && expected_machine=014c
  for binary in Sheetlore.dll sheetlore.exe; do
    machine=$(pe_machine "$root/$arch/$binary")
    [ "$machine" = "$expected_machine" ] && ok "$arch/$binary is built for $arch" ||
      fail "$arch/$binary has machine $machine"
  done
done

echo "== the release's version and what the readme tells"
# The tool's version resource: its strings, in UTF-16, hold the project's version as file and
# product version.
for arch in x64 x86; do
  resource=$(strings -el "$root/$arch/sheetlore.exe" | tr '\n' '|')
  [[ "$resource" == *"|FileVersion|$version|"* && "$resource" == *"|ProductVersion|$version|"* &&
    "$resource" == *"|OriginalFilename|sheetlore.exe|"* ]] &&
    ok "$arch/sheetlore.exe's version resource says $version" || fail "$arch/sheetlore.exe's version resource"
done
readme=$(tr -d '\r' <"$root/README.txt")
grep -qF "C:\Program Files\Sheetlore-$version" <<<"$readme" && ! grep -qE '@VERSION@|<version>' <<<"$readme" &&
  ok "the readme names the folder the zip unpacks into, Sheetlore-$version" ||
  fail "the readme's paths do not name Sheetlore-$version"
commands=$(wine64 "$root/x64/sheetlore.exe" --help | tr -d '\r' | sed -n '/^Commands:/,/^$/p' | awk 'NF > 1 { print $1 }')
[ "$(wc -l <<<"$commands")" -gt 15 ] || fail "sheetlore --help lists too few commands: $commands"
missing=$(for command in $commands --version; do grep -qE "sheetlore $command( |$)" <<<"$readme" || echo "$command"; done)
[ -z "$missing" ] && ok "the readme shows every command of --help" || fail "the readme lacks: $missing"
missing=$(for status in 0 1 2 3 4 5 6; do grep -qE "^ +$status  [a-z]" <<<"$readme" || echo "$status"; done)
[ -z "$missing" ] && ok "the readme explains every exit status, 0 to 6" || fail "the readme lacks exit statuses $missing"
grep -q '"format": "sheetlore-paper-library"' <<<"$readme" && ok "the readme shows the library file format" ||
  fail "the readme lacks the library file format"

echo "== stripped binaries, their debug information in the symbols zip"
grep -q "unsigned" "$work/log" && ok "without a certificate tools/package says the package is unsigned" ||
  fail "tools/package did not say it builds unsigned"
symbols=$work/dist/Sheetlore-$version-symbols.zip
listing=$(unzip -Z1 "$symbols" 2>&1 | grep -v '/$' | sort | tr '\n' ' ')
[ "$listing" = "x64/Sheetlore.dll.debug x64/sheetlore.exe.debug x86/Sheetlore.dll.debug x86/sheetlore.exe.debug " ] &&
  ok "the symbols zip holds one .debug file per binary" || fail "the symbols zip holds: $listing"
unzip -q "$symbols" -d "$work/symbols"
# The CRC-32 of a file, as the debug link records it: gzip's trailer holds it little-endian.
crc32() { gzip -c "$1" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' '; }
for arch in x64 x86; do
  prefix=x86_64-w64-mingw32
  [ "$arch" = x86 ] && prefix=i686-w64-mingw32
  for binary in Sheetlore.dll sheetlore.exe; do
    shipped=$root/$arch/$binary
    debug=$work/symbols/$arch/$binary.debug
    if "$prefix-objdump" -h "$shipped" | grep -q '\.debug_'; then
      fail "$arch/$binary still holds debug sections"
    else
      ok "$arch/$binary is stripped ($(stat -c %s "$shipped") bytes)"
    fi
    "$prefix-objdump" -h "$debug" | grep -q '\.debug_info' || fail "$arch/$binary.debug has no .debug_info"
    "$prefix-objcopy" --dump-section .gnu_debuglink="$work/link" "$shipped" "$work/copy" 2>/dev/null
    linked_name=$(tr '\0' '\n' <"$work/link" | head -n1)
    linked_crc=$(tail -c 4 "$work/link" | od -An -tx4 | tr -d ' ')
    [ "$linked_name" = "$binary.debug" ] && [ "$linked_crc" = "$(crc32 "$debug")" ] &&
      ok "$arch/$binary links to $binary.debug by name and checksum" ||
      fail "$arch/$binary links to '$linked_name' with CRC $linked_crc, the file has $(crc32 "$debug")"
  done
  # A crash address read back: DllRegisterServer's address resolves to its source line in the
  # shipped DLL once its .debug file lies beside it, and to nothing without it.
  mkdir -p "$work/crash-$arch"
  cp "$root/$arch/Sheetlore.dll" "$work/crash-$arch/"
  address=$("$prefix-nm" "$work/symbols/$arch/Sheetlore.dll.debug" | awk '$3 ~ /^_?DllRegisterServer$/ { print "0x" $1; exit }')
  without=$("$prefix-addr2line" -e "$work/crash-$arch/Sheetlore.dll" "$address")
  cp "$work/symbols/$arch/Sheetlore.dll.debug" "$work/crash-$arch/"
  with=$("$prefix-addr2line" -e "$work/crash-$arch/Sheetlore.dll" "$address")
  [ "$without" = "??:0" ] && [[ "$with" == */com/exports.cpp:[0-9]* ]] &&
    ok "$arch: $address resolves to $(basename "$with") with the symbols file, not without" ||
    fail "$arch: $address resolves to '$with' with the symbols file and '$without' without"
done

for text in install.cmd register.cmd README.txt examples/hello.vbs verify.cmd verify.vbs; do
  [ "$(grep -c $'\r$' "$root/$text")" -eq "$(wc -l <"$root/$text")" ] && ok "$text has CR LF line ends" ||
    fail "$text lacks CR LF line ends"
done

echo "== the install scripts under Wine"
cat >"$work/probe.vbs" <<'VBS'
On Error Resume Next
Set p = CreateObject("Sheetlore.ClsPrint")
If Err.Number = 0 Then WScript.Echo "created " & p.InchToCm(1) Else WScript.Echo "absent"
VBS
probe_script=$(winepath -w "$work/probe.vbs")
# probe <expected: created 2.54|absent> <what>: both script hosts, 64-bit and 32-bit
probe() {
  local host64 host32
  host64=$(wine64 cscript //nologo "$probe_script" | tr -d '\r')
  host32=$(wine cscript //nologo "$probe_script" | tr -d '\r')
  [ "$host64" = "$1" ] && ok "64-bit host: $1 $2" || fail "64-bit host $2: $host64, expected $1"
  [ "$host32" = "$1" ] && ok "32-bit host: $1 $2" || fail "32-bit host $2: $host32, expected $1"
}
run_script() { # script name
  (cd "$root" && wine64 cmd /c "$1") >"$work/script.log" 2>&1
  local rc=$?
  tr -d '\r' <"$work/script.log"
  [ $rc -eq 0 ] && ok "$1 exited 0" || fail "$1 exited $rc"
}
probe absent "before any install"

echo "== a folder that ordinary users can change"
# Wine's icacls is a stub that changes nothing, and Wine keeps a file's access list as its Unix
# mode: "other" write is what the access list then reports as Everyone's write access.
wine64 icacls "$(winepath -w "$root")" /grant '*S-1-5-32-545:(OI)(CI)M' >/dev/null 2>&1
chmod o+w "$root"
refused() { # script: exits 1 with the reason and the remedy, and registers nothing
  (cd "$root" && wine64 cmd /c "$1") >"$work/script.log" 2>&1
  local rc=$?
  [ $rc -ne 0 ] && grep -q "Everyone" "$work/script.log" && grep -q "Remedy: " "$work/script.log" &&
    ok "$1 refuses the folder, with the reason and the remedy" ||
    { tr -d '\r' <"$work/script.log"; fail "$1 in a folder Everyone can change exited $rc"; }
}
refused install.cmd
refused install-user.cmd
probe absent "after the refused installs"
wine64 reg query 'HKCU\Software\Classes\Sheetlore.ClsPrint' >/dev/null 2>&1 &&
  fail "install-user.cmd registered from the folder it refused"
run_script "install.cmd /lockdown"
[ "$(stat -c %A "$root" | cut -c9)" = - ] && ok "/lockdown took the others' write access away" ||
  fail "after /lockdown the folder's mode is $(stat -c %A "$root")"
wine64 "$root/x64/sheetlore.exe" folder-access "$(winepath -w "$root")" >"$work/access.log" 2>&1 &&
  ok "the folder reads back as changeable by administrators only" ||
  { tr -d '\r' <"$work/access.log"; fail "folder-access after /lockdown"; }
probe "created 2.54" "after install.cmd /lockdown"
run_script uninstall.cmd
# Wine's COM creates classes from the machine's keys only, and keeps one view of
# HKCU\Software\Classes for both architectures: per user, the keys are checked instead.
user_key='HKCU\Software\Classes\CLSID\{188AD010-B752-4ADC-9E36-D06143AC4914}\InprocServer32'
run_script install-user.cmd
user_server=$(wine64 reg query "$user_key" /ve 2>&1 | tr -d '\r')
[[ "$user_server" == *'\Sheetlore.dll'* ]] && wine64 reg query 'HKCU\Software\Classes\Sheetlore.ClsPrint\CLSID' >/dev/null 2>&1 &&
  ok "install-user.cmd wrote the class and the ProgID under HKCU" || fail "install-user.cmd: $user_server"
grep -qi "press any key" "$work/script.log" && fail "install-user.cmd from a command line waits for a key" ||
  ok "install-user.cmd from a command line does not wait for a key"
run_script uninstall-user.cmd
wine64 reg query "$user_key" >/dev/null 2>&1 && fail "uninstall-user.cmd left $user_key" ||
  ok "uninstall-user.cmd removed the class under HKCU"
# Double-clicked, Explorer starts cmd /c ""FULL PATH" ": the script then waits for a key before
# its window closes. Wine's cmd has no CMDCMDLINE of its own, so the test gives it Explorer's.
script_path=$(winepath -w "$root/install-user.cmd")
(cd "$root" && echo | CMDCMDLINE="C:\\Windows\\system32\\cmd.exe /c \"\"$script_path\" \"" wine64 cmd /c install-user.cmd) >"$work/script.log" 2>&1
grep -qi "press any key" "$work/script.log" && grep -q "installed for" "$work/script.log" &&
  ok "install-user.cmd started as Explorer starts it waits for a key after installing" ||
  { tr -d '\r' <"$work/script.log"; fail "install-user.cmd double-clicked does not wait for a key"; }
run_script uninstall-user.cmd
# Papers stored beside each DLL before install.cmd: they move to the one store in ProgramData,
# and a paper the two stores hold differently is kept twice, with a note.
data=$WINEPREFIX/drive_c/ProgramData/Sheetlore
rm -rf "$data"
wine64 "$root/x64/sheetlore.exe" paper-store Zip64 10 20 >/dev/null &&
  wine64 "$root/x64/sheetlore.exe" paper-store Same 30 40 >/dev/null &&
  wine "$root/x86/sheetlore.exe" paper-store Zip32 5 6 >/dev/null &&
  wine "$root/x86/sheetlore.exe" paper-store Same 31 41 >/dev/null || fail "paper-store beside the DLLs"
run_script install.cmd
probe "created 2.54" "after install.cmd"
setting=$(wine reg query 'HKLM\Software\Sheetlore' /v StoreFile /reg:64 2>&1 | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ "$setting" = 'C:\ProgramData\Sheetlore\PrintSet.ini' ] && ok "install.cmd names the one store: $setting" ||
  fail "StoreFile setting: '$setting'"
# The CSV's header row after its byte-order mark, then one row per paper.
papers64=$(wine64 "$root/x64/sheetlore.exe" papers --csv | tr -d '\r' | sed '1s/^\xef\xbb\xbf//' | cut -d, -f1,3 | tr '\n' ' ')
papers32=$(wine "$root/x86/sheetlore.exe" papers --csv | tr -d '\r' | sed '1s/^\xef\xbb\xbf//' | cut -d, -f1,3 | tr '\n' ' ')
[ "$papers64" = "paper,width Zip64,10 Same,30 Zip32,5 Same (x86),31 " ] && [ "$papers32" = "$papers64" ] &&
  ok "both tools see every paper in the one store: $papers64" || fail "papers: x64 '$papers64', x86 '$papers32'"
[ ! -e "$root/x64/PrintSet.ini" ] && [ ! -e "$root/x86/PrintSet.ini" ] && ok "the stores beside the DLLs moved" ||
  fail "a store beside a DLL is left"
grep -q '"Same (x86)"' "$data/Merge notes.txt" 2>/dev/null && ok "the merge notes name the paper kept twice" ||
  fail "no note about Same (x86) in $data"
inproc=$(wine64 reg query 'HKLM\Software\Classes\CLSID\{188AD010-B752-4ADC-9E36-D06143AC4914}\InprocServer32' /ve | tr -d '\r')
[[ "$inproc" == *'\x64\Sheetlore.dll'* ]] && ok "the 64-bit view names x64\\Sheetlore.dll" ||
  fail "64-bit registration: $inproc"
inproc=$(wine reg query 'HKLM\Software\Classes\CLSID\{188AD010-B752-4ADC-9E36-D06143AC4914}\InprocServer32' /ve | tr -d '\r')
[[ "$inproc" == *'\x86\Sheetlore.dll'* ]] && ok "the 32-bit view names x86\\Sheetlore.dll" ||
  fail "32-bit registration: $inproc"
run_script uninstall.cmd
probe absent "after uninstall.cmd"
wine64 reg query 'HKLM\Software\Sheetlore' /v StoreFile >/dev/null 2>&1 && fail "uninstall.cmd left the StoreFile setting"
[ -s "$data/PrintSet.ini" ] && ok "the papers stay in ProgramData after uninstall.cmd" || fail "the store in ProgramData is gone"
rm -rf "$data"

rm -rf "$work"
echo
[ "$failures" -eq 0 ] && echo "all package checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# The x64 and the x86 Sheetlore.dll registered side by side, machine-wide and per user, and
# unregistered in both orders: unregistering one architecture leaves the other's registration
# whole (its class, interface, ProgID and type library), and the second unregistration
# leaves nothing behind. The keys are read by reg.exe of each architecture, so each sees its
# own registry view.
#   registration_views_test.sh <x64 Sheetlore.dll> <x86 Sheetlore.dll> <work dir>
set -u
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
work=$3
. "$(dirname "$0")/../support/test_support.sh"
mkdir -p "$work"
# Copies, so that a rebuild meanwhile does not change what is registered.
cp "$1" "$work/Sheetlore64.dll" && cp "$2" "$work/Sheetlore32.dll" || exit 1
dll64=$(winepath -w "$work/Sheetlore64.dll")
dll32=$(winepath -w "$work/Sheetlore32.dll")
script=$(winepath -w "$work/create.vbs")
cat >"$work/create.vbs" <<'VBS'
On Error Resume Next
Set p = CreateObject("Sheetlore.ClsPrint")
If Err.Number = 0 Then WScript.Echo "created " & p.GetWindows() Else WScript.Echo "refused"
VBS

class='Software\Classes\CLSID\{188AD010-B752-4ADC-9E36-D06143AC4914}'
interface='Software\Classes\Interface\{5E8DBAC0-6E0E-4AF8-AF3F-8647E2E0543E}'
library='Software\Classes\TypeLib\{B0D81A92-2C42-4EA0-8E2A-775C03B6B053}'
progid='Software\Classes\Sheetlore.ClsPrint'

loader() { [ "$1" = x64 ] && echo "$wine64" || echo "$wine32"; }
other() { [ "$1" = x64 ] && echo x86 || echo x64; }
dll() { [ "$1" = x64 ] && echo "$dll64" || echo "$dll32"; }
syskind() { [ "$1" = x64 ] && echo win64 || echo win32; }
root() { [ "$1" = machine ] && echo HKLM || echo HKCU; }

# expect present|absent, architecture whose view is read, key
expect_key() {
  if WINEDEBUG=-all "$(loader "$2")" reg query "$3" >/dev/null 2>&1; then found=present; else found=absent; fi
  [ "$found" = "$1" ] || fail "$step: $3 is $found in the $2 view"
}
# The class of this architecture names its DLL.
expect_server() { # scope, arch
  server=$(WINEDEBUG=-all "$(loader "$2")" reg query "$(root "$1")\\$class\\InprocServer32" /ve 2>/dev/null | tr -d '\r' | grep -o '[A-Z]:\\.*')
  [ "$server" = "$(dll "$2")" ] || fail "$step: the $2 class names '$server'"
}
# Wine's COM creates from the machine's keys only; per user the keys are the check.
expect_creation() { # arch, created|refused
  result=$(WINEDEBUG=-all "$(loader "$1")" cscript //nologo "$script" | tr -d '\r')
  case $result in "$2"*) ;; *) fail "$step: a $1 host: $result (expected $2)" ;; esac
}
register() { # scope, arch, "" or /u
  if [ "$1" = machine ]; then flags="/s $3"; else flags="/s $3 /n /i:user"; fi
  # shellcheck disable=SC2086
  WINEDEBUG=-all "$(loader "$2")" regsvr32 $flags "$(dll "$2")" || fail "regsvr32 $flags $2"
}
expect_registered() { # scope, arch
  r=$(root "$1")
  expect_server "$1" "$2"
  expect_key present "$2" "$r\\$interface"
  expect_key present "$2" "$r\\$progid"
  [ "$1" = machine ] && expect_creation "$2" created
}

for scope in machine user; do
  r=$(root "$scope")
  for first in x64 x86; do
    second=$(other $first)
    step="$scope: both registered ($second last)"
    register $scope $first ""
    register $scope $second ""
    # Per user Wine gives both architectures one view: the class names the last DLL
    # registered, so the first one unregistered is the one registered first.
    [ $scope = machine ] && expect_registered $scope $first
    expect_registered $scope $second

    step="$scope: $first unregistered"
    register $scope $first /u
    [ $scope = machine ] && expect_creation $first refused
    expect_registered $scope $second
    [ $scope = machine ] && expect_key present x64 "$r\\$library\\1.1\\0\\$(syskind $second)"
    [ $scope = machine ] && expect_key absent x64 "$r\\$library\\1.1\\0\\$(syskind $first)"

    step="$scope: $second unregistered too"
    register $scope $second /u
    for view in x64 x86; do
      for key in "$class" "$interface" "$library" "$progid"; do
        expect_key absent $view "HKLM\\$key"
        expect_key absent $view "HKCU\\$key"
      done
    done
    [ $scope = machine ] && expect_creation x64 refused && expect_creation x86 refused
    [ "$failures" -eq 0 ] && ok "$scope, $first unregistered first"
  done
done
[ "$failures" -eq 0 ]

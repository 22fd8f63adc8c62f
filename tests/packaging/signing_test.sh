#!/usr/bin/env bash
# Signing: a throwaway certificate authority and code-signing certificate made with openssl,
# tools/package --no-build with them, then osslsigncode verify of every DLL, EXE and the MSI
# against that authority. A binary changed after signing must fail the check, and a signed
# DLL must still register and load under Wine.
#   signing_test.sh <repository> <x64 build dir> <x86 build dir>
set -u
repo=$1
x64_dir=$2
x86_dir=$3
. "$(dirname "$0")/../support/test_support.sh"
trap 'rm -rf "$work"' EXIT

echo "== a throwaway certificate authority and code-signing certificate"
cd "$work" || exit 1
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 3 -subj "/CN=Sheetlore Test CA" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>openssl.log &&
  openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Sheetlore Test Signer" 2>>openssl.log &&
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext &&
  openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signer.pem -days 3 \
    -extfile signer.ext 2>>openssl.log &&
  openssl pkcs12 -export -out signer.pfx -inkey signer.key -in signer.pem -certfile ca.pem \
    -passout pass:'pass word' 2>>openssl.log ||
  { cat openssl.log; echo "FAIL: openssl"; exit 1; }

SHEETLORE_SIGN_PFX=$work/signer.pfx SHEETLORE_SIGN_PASSWORD='pass word' \
  "$repo/tools/package" --no-build --x64 "$x64_dir" --x86 "$x86_dir" --out "$work/dist" >package.log 2>&1 ||
  { cat package.log; echo "FAIL: tools/package with a certificate"; exit 1; }
grep -q "signing with" package.log && ok "tools/package says it signs" || fail "package log: $(cat package.log)"
grep -q 'pass word' package.log && fail "the password shows in the log"
unzip -q dist/Sheetlore-*[0-9].zip -d unpacked

echo "== every signature verifies against the authority"
verify() { osslsigncode verify -CAfile "$work/ca.pem" -ignore-crl -in "$1" >"$work/verify.log" 2>&1; }
signed=("$work"/unpacked/*/x64/Sheetlore.dll "$work"/unpacked/*/x64/sheetlore.exe
  "$work"/unpacked/*/x86/Sheetlore.dll "$work"/unpacked/*/x86/sheetlore.exe "$work"/dist/Sheetlore-*.msi)
[ ${#signed[@]} -eq 5 ] || fail "expected 4 binaries and the MSI, found: ${signed[*]}"
for file in "${signed[@]}"; do
  what=${file#"$work"/}
  if verify "$file" && grep -q "Signer's certificate:" verify.log && grep -q "Subject: /CN=Sheetlore Test Signer" verify.log; then
    ok "$what is signed by the test signer and verifies"
  else
    fail "$what: $(tail -n 5 verify.log)"
  fi
done
# The MSI holds the signed binaries, not the unsigned ones of the build.
msiextract -C "$work/msi" "$work"/dist/Sheetlore-*.msi >/dev/null 2>&1
for arch in x64 x86; do
  in_msi=0
  while IFS= read -r -d '' extracted; do
    cmp -s "$extracted" "$work"/unpacked/*/$arch/Sheetlore.dll && in_msi=1
  done < <(find "$work/msi" -name Sheetlore.dll -print0)
  [ $in_msi -eq 1 ] && ok "the MSI installs the signed $arch DLL" || fail "the MSI lacks the signed $arch DLL"
done

echo "== a change after signing breaks the signature"
tampered=$work/tampered.dll
cp "$work"/unpacked/*/x64/Sheetlore.dll "$tampered"
# One byte in the middle of the code, which the signature's hash covers.
offset=$(($(stat -c %s "$tampered") / 3))
printf '\x90' | dd of="$tampered" bs=1 seek=$offset conv=notrunc status=none
cmp -s "$tampered" "$work"/unpacked/*/x64/Sheetlore.dll && fail "the byte was not changed"
verify "$tampered" && fail "a changed DLL still verifies" || ok "a changed DLL fails verification"
other_ca=$work/other.pem
openssl req -x509 -newkey rsa:2048 -nodes -keyout other.key -out "$other_ca" -days 3 \
  -subj "/CN=Another CA" 2>/dev/null
osslsigncode verify -CAfile "$other_ca" -ignore-crl -in "$work"/unpacked/*/x64/Sheetlore.dll >/dev/null 2>&1 &&
  fail "the DLL verifies against an authority that did not sign it" ||
  ok "another authority does not verify the DLL"

echo "== a signed DLL registers and loads"
signed_dll=$(winepath -w "$work"/unpacked/*/x64/Sheetlore.dll)
if wine64 regsvr32 /s "$signed_dll"; then
  printf 'Set p = CreateObject("Sheetlore.ClsPrint")\nWScript.Echo p.InchToCm(1)\n' >probe.vbs
  answer=$(wine64 cscript //nologo "$(winepath -w probe.vbs)" 2>&1 | tr -d '\r')
  [ "$answer" = "2.54" ] && ok "the signed x64 DLL answers InchToCm(1) = 2.54" || fail "probe: $answer"
  wine64 regsvr32 /s /u "$signed_dll"
else
  fail "regsvr32 of the signed DLL"
fi

echo
[ "$failures" -eq 0 ] && echo "all signing checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

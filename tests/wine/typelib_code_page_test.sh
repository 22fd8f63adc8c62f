#!/bin/sh
# The type library writer under other ANSI code pages than the Traditional Chinese one the
# build uses: where the code page can carry the default's bytes the library holds them exactly
# (the same file as the build's), where it cannot the writer fails and says why.
#   typelib_code_page_test.sh <wine loader> <typelib_writer.exe> <the build's Sheetlore.tlb> <work dir>
set -u
wine=$1
writer=$2
built=$3
work=$4
. "$(dirname "$0")/../support/test_support.sh"
mkdir -p "$work"
# CaptionName's default, "新增印表機精靈", in code page 950.
big5=$(printf '\267\163\274\127\246\114\252\355\276\367\272\353\306\106')

for locale in en_US.UTF-8 ru_RU.UTF-8 zh_CN.UTF-8; do
  library="$work/written-$locale.tlb"
  rm -f "$library"
  if ! LC_ALL=$locale WINEDEBUG=-all "$wine" "$writer" "$(winepath -w "$library")"; then
    fail "the writer failed under $locale"
  elif ! LC_ALL=C grep -aqF "$big5" "$library"; then
    fail "under $locale the library does not hold the default's code page 950 bytes"
  else
    ok "$locale"
  fi
done
# Byte for byte the build's library, where nothing else depends on the locale.
cmp "$built" "$work/written-en_US.UTF-8.tlb" || fail "en_US.UTF-8 wrote another file"

# Japanese (code page 932) cannot hold those bytes: no library, and a message naming the code page.
library="$work/written-ja_JP.UTF-8.tlb"
rm -f "$library"
message=$(LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all "$wine" "$writer" "$(winepath -w "$library")" 2>&1)
code=$?
printf '%s\n' "$message" | tr -d '\r'
[ "$code" -ne 0 ] || fail "the writer accepted code page 932"
printf '%s\n' "$message" | grep -q "code page 932 cannot carry" ||
  fail "the writer's message does not name the code page"
[ "$failures" -eq 0 ]

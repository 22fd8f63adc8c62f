#!/usr/bin/env bash
# The paper store of sheetlore.exe where a change meets the edges of the file system: a full
# disk, copies left by interrupted changes, another program holding the store or a leftover,
# two spellings of one folder, a folder that refuses new files, an import killed part-way.
# Each case judges what the tool reports against what the file then holds: a change reported
# done reads back, a refused one left the file's bytes as they were. Runs as root (tmpfs,
# chattr); the mount and the attribute are undone on exit.
#   store_faults_test.sh <wine> <sheetlore.exe> <store_worker.exe> <work dir> [import kills]
set -u
wine=$1 tool=$(realpath "$2") worker=$(realpath "$3") dir=$4
kills=${5:-30}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

rm -rf "$dir"
mkdir -p "$dir"
mounted=
immutable=
held=
cleanup() {
  [ -n "$immutable" ] && chattr -i "$immutable"
  [ -n "$held" ] && touch "$held.release"
  [ -n "$mounted" ] && umount "$mounted"
  rm -f "$WINEPREFIX/dosdevices/y:"
}
trap cleanup EXIT

# A folder with its own copy of the tool, and so its own store.
fresh() {
  rm -rf "$1" && mkdir -p "$1" && cp "$tool" "$1/sheetlore.exe"
}
# run <folder> <args...>: stdout in $out, stderr in $err, status in $rc.
run() {
  local folder=$1
  shift
  "$wine" "$folder/sheetlore.exe" "$@" >"$dir/out" 2>"$dir/err"
  rc=$?
  out=$(tr -d '\r' <"$dir/out")
  err=$(tr -d '\r' <"$dir/err")
}
winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# library <file> <prefix> <count>: a library file of count papers.
library() {
  {
    echo '{"format": "sheetlore-paper-library", "version": 1, "papers": ['
    for i in $(seq "$3"); do
      [ "$i" -gt 1 ] && echo ','
      echo "{\"name\": \"$2$i\", \"unit\": \"cm\", \"width\": $((10 + i % 50)), \"height\": 20}"
    done
    echo ']}'
  } >"$1"
}
# count <folder>: the number of stored papers ($rc non-zero when they cannot be listed), and
# how many of them read as 0 x 0.
count() {
  run "$1" papers --csv
  papers=$(($(printf '%s\n' "$out" | wc -l) - 1))
  empty=$(printf '%s\n' "$out" | grep -cE ',(cm|in),0,0,' || true)
}
# hold <file> <exclusive|nodelete>: another Wine process holds the file until release.
hold() {
  held=$1
  rm -f "$held.release"
  "$wine" "$worker" hold "$(winpath "$1")" "$2" "$(winpath "$1.release")" >"$dir/hold.log" 2>&1 &
  holder=$!
  for _ in $(seq 3000); do
    grep -q holding "$dir/hold.log" 2>/dev/null && return 0
    kill -0 "$holder" 2>/dev/null || break
    sleep 0.02
  done
  fail "the holder of $1 did not start: $(cat "$dir/hold.log")"
}
release() {
  touch "$held.release"
  wait "$holder"
  rm -f "$held.release"
  held=
}
leftovers() { find "$1" -name 'PrintSet.ini.pending-*' | wc -l; }

# --- A full disk: a change that does not fit is refused and leaves the file as it was. ---
full=$dir/full
mkdir -p "$full"
# The disk holds the tool and about 400 KiB more: the 32-bit tool is the larger one.
disk_kib=$(($(stat -c %s "$tool") / 1024 + 400))
if mount -t tmpfs -o size=${disk_kib}k tmpfs "$full" 2>/dev/null; then
  mounted=$full
  cp "$tool" "$full/sheetlore.exe" || fail "the tool does not fit on the ${disk_kib} KiB disk"
  library "$dir/150.json" Paper 150
  run "$full" paper-import "$(winpath "$dir/150.json")"
  [ "$rc" -eq 0 ] || fail "importing 150 papers on the small disk: $rc $err"
  size=$(stat -c %s "$full/PrintSet.ini")
  name=$(printf 'N%.0s' $(seq 1500))
  refused=0
  for spare in 0 $((size + 4096)) $((size + 8192)) $((2 * size + 16384)); do
    dd if=/dev/zero of="$full/filler" bs=4096 2>/dev/null
    truncate -s "-$spare" "$full/filler" 2>/dev/null || : >"$full/filler"
    before=$(md5sum <"$full/PrintSet.ini")
    run "$full" paper-store "$name-$spare" 10 20
    stored=$rc why=$err
    rm -f "$full/filler"
    count "$full"
    if [ "$stored" -eq 0 ]; then
      run "$full" paper-show "$name-$spare"
      [ "$rc" -eq 0 ] || fail "stored with $spare bytes spare, but it does not read back"
    elif [ "$stored" -eq 4 ]; then
      refused=$((refused + 1))
      [ "$(md5sum <"$full/PrintSet.ini")" = "$before" ] || fail "refused, but the file changed"
      printf '%s' "$why" | grep -q "nothing was changed" || fail "refused without why: $why"
    else
      fail "paper-store with $spare bytes spare exited $stored: $why"
    fi
    [ "$empty" -eq 0 ] || fail "$empty papers read 0 x 0 after a store with $spare bytes spare"
    [ "$(leftovers "$full")" -eq 0 ] || fail "a copy was left on the full disk"
  done
  [ "$refused" -gt 0 ] || fail "no store was refused on the full disk"
  ok "full disk: $papers papers, $refused changes refused, none cut"
  umount "$full" && mounted=
else
  fail "cannot mount a tmpfs (run as root)"
fi

# --- An import leaves the very bytes that storing its papers one at a time leaves. ---
same=$dir/same
library "$dir/wide.json" 標籤 8
library "$dir/plain.json" Plain 8
for start in absent ansi utf16; do
  prefix=標籤 lib=$dir/wide.json
  [ "$start" = ansi ] && prefix=Plain lib=$dir/plain.json
  for way in import one-by-one; do
    fresh "$same/$way"
    case $start in
    ansi) printf '; kept\r\n[PrintMain]\r\nOld=Old\r\n[Old]\r\nmMode=0\r\nW=1\r\n' >"$same/$way/PrintSet.ini" ;;
    utf16) { printf '\xff\xfe'; printf '[Old]\r\nW=1\r\n\r\n[PrintMain]\r\nOld=Old\r\n; 註\r\n' |
      iconv -f UTF-8 -t UTF-16LE; } >"$same/$way/PrintSet.ini" ;;
    esac
    if [ "$way" = import ]; then
      run "$same/$way" paper-import "$(winpath "$lib")"
      [ "$rc" -eq 0 ] || fail "importing into the $start store: $rc $err"
    else
      for i in $(seq 8); do
        run "$same/$way" paper-store "$prefix$i" $((10 + i % 50)) 20
        [ "$rc" -eq 0 ] || fail "paper-store $prefix$i into the $start store: $rc $err"
      done
    fi
  done
  cmp -s "$same/import/PrintSet.ini" "$same/one-by-one/PrintSet.ini" ||
    fail "the import into the $start store left other bytes than storing one paper at a time"
  # Then every paper replaced, a comment and a key of another program in one paper's section.
  for way in import one-by-one; do
    python3 - "$same/$way/PrintSet.ini" "${prefix}5" <<'PY'
import sys
path, name = sys.argv[1], sys.argv[2]
raw = open(path, "rb").read()
utf16 = raw.startswith(b"\xff\xfe")
text = raw[2:].decode("utf-16-le") if utf16 else raw.decode("latin-1")
text = text.replace(f"[{name}]\r\n", f"[{name}]\r\n; kept\r\nOther=1\r\n")
open(path, "wb").write(b"\xff\xfe" + text.encode("utf-16-le") if utf16 else text.encode("latin-1"))
PY
    if [ "$way" = import ]; then
      sed 's/"height": 20/"height": 25/' "$lib" >"$dir/taller.json"
      run "$same/$way" paper-import "$(winpath "$dir/taller.json")" --replace
      [ "$rc" -eq 0 ] || fail "replacing in the $start store: $rc $err"
    else
      for i in $(seq 8); do
        run "$same/$way" paper-store "$prefix$i" $((10 + i % 50)) 25
      done
    fi
  done
  cmp -s "$same/import/PrintSet.ini" "$same/one-by-one/PrintSet.ini" ||
    fail "the replace in the $start store left other bytes than storing one paper at a time"
  python3 -c 'import sys; raw = open(sys.argv[1], "rb").read()
sys.exit(b"Other=1" not in raw and "Other=1".encode("utf-16-le") not in raw)' \
    "$same/import/PrintSet.ini" || fail "the replace in the $start store lost another program's line"
done
ok "an import's bytes are those of one paper at a time, added or replaced"

# --- Leftovers of older versions are set aside, never put back. ---
left=$dir/left
fresh "$left"
library "$dir/30.json" Old 30
run "$left" paper-import "$(winpath "$dir/30.json")"
cp "$left/PrintSet.ini" "$left/PrintSet.ini.saved" # an interrupted change's copy
library "$dir/corp.json" Corp 3
rm "$left/PrintSet.ini"
run "$left" paper-import "$(winpath "$dir/corp.json")" # a freshly deployed store
cp "$left/PrintSet.ini" "$dir/deployed.ini"
run "$left" paper-show Corp1
[ "$rc" -eq 0 ] || fail "paper-show Corp1 after a fresh deployment: $rc $err"
cmp -s "$left/PrintSet.ini" "$dir/deployed.ini" || fail "the deployed store was overwritten"
[ -f "$left/PrintSet.ini.saved.set-aside-1" ] || fail "the old copy was not set aside"
run "$left" doctor
printf '%s' "$out" | grep -q "PrintSet.ini.saved.set-aside-1" || fail "doctor does not name it"
: >"$left/PrintSet.ini.saved" # a copy cut to nothing
count "$left"
[ "$papers" -eq 3 ] || fail "an empty copy changed the store: $papers papers"
rm "$left/PrintSet.ini"
cp "$dir/deployed.ini" "$left/PrintSet.ini.saved" # a deleted store
count "$left"
[ "$papers" -eq 0 ] && [ ! -f "$left/PrintSet.ini" ] || fail "a deleted store came back"
ok "leftovers set aside: $(ls "$left" | grep -c set-aside) files"

# --- A leftover held open without delete sharing cannot undo a completed change. ---
cp "$dir/deployed.ini" "$left/PrintSet.ini"
cp "$dir/deployed.ini" "$left/PrintSet.ini.saved"
cp "$dir/deployed.ini" "$left/PrintSet.ini.pending-4242-1"
hold "$left/PrintSet.ini.saved" nodelete
run "$left" paper-store Survivor 12 34
[ "$rc" -eq 0 ] || fail "paper-store Survivor while a leftover is held: $rc $err"
release
hold "$left/PrintSet.ini.pending-4242-1" nodelete
run "$left" paper-store Survivor2 12 34
release
run "$left" paper-show Survivor
[ "$rc" -eq 0 ] || fail "Survivor was undone once the leftover was released"
run "$left" paper-show Survivor2
[ "$rc" -eq 0 ] || fail "Survivor2 was undone once the leftover was released"
ok "held leftovers undo nothing"

# --- A store another program holds exclusively is an error, never an empty store. ---
hold "$left/PrintSet.ini" exclusive
for command in papers "paper-show Corp1" "paper-delete Corp1" "paper-export $(winpath "$dir/lib.json")"; do
  run "$left" $command
  [ "$rc" -eq 1 ] && printf '%s' "$err" | grep -q "cannot be read" ||
    fail "$command on a held store exited $rc: $err"
done
[ -f "$dir/lib.json" ] && fail "paper-export wrote a library of a store it could not read"
run "$left" doctor
printf '%s' "$out" | grep -q "the paper store cannot be read" || fail "doctor: $out"
release
ok "an exclusively held store cannot be read, and says so"

# --- Two spellings of one folder share one lock. ---
two=$dir/two-spellings-of-one-folder
fresh "$two"
ln -sfn "$two" "$WINEPREFIX/dosdevices/y:"
library "$dir/base.json" Base 200
run "$two" paper-import "$(winpath "$dir/base.json")"
names=$("$wine" "$worker" lock-name "$(winpath "$two")\PrintSet.ini" | tr -d '\r')
names="$names
$("$wine" "$worker" lock-name 'y:\printset.INI' | tr -d '\r')"
distinct=$(printf '%s\n' "$names" | sort -u | grep -c '^Global.Sheetlore.ProfileFile')
[ "$distinct" -eq 1 ] && [ "$(printf '%s\n' "$names" | wc -l)" -eq 4 ] ||
  fail "lock names of one file: $(printf '%s' "$names" | tr '\n' ' ')"
library "$dir/a.json" Left 60
library "$dir/b.json" Right 60
"$wine" "$two/sheetlore.exe" paper-import "$(winpath "$dir/a.json")" >"$dir/a.log" 2>&1 &
first=$!
"$wine" 'Y:\sheetlore.exe' paper-import "$(winpath "$dir/b.json")" >"$dir/b.log" 2>&1
second=$?
wait "$first"
[ $? -eq 0 ] && [ "$second" -eq 0 ] || fail "the imports through two spellings: $(cat "$dir/a.log" "$dir/b.log")"
count "$two"
[ "$papers" -eq 320 ] && [ "$empty" -eq 0 ] || fail "two spellings: $papers papers, $empty empty"
ok "two spellings: $papers papers"

# --- A folder that refuses new files: changes made on the file itself, still checked. ---
locked=$dir/locked
fresh "$locked"
run "$locked" paper-import "$(winpath "$dir/corp.json")"
cp "$locked/PrintSet.ini" "$locked/PrintSet.ini.saved"
if chattr +i "$locked" 2>/dev/null; then
  immutable=$locked
  run "$locked" paper-store Plain 1 2
  [ "$rc" -eq 0 ] || fail "paper-store in a folder that refuses new files: $rc $err"
  run "$locked" paper-show Plain
  [ "$rc" -eq 0 ] || fail "Plain does not read back"
  run "$locked" doctor
  printf '%s' "$out" | grep -q "store.changes_protected.*no: this user cannot create files" || fail "doctor does not say unprotected"
  chattr -i "$locked" && immutable=
  ok "a folder that refuses new files"
else
  fail "chattr +i is not available here"
fi

# --- An import killed part-way leaves all of its papers or none. ---
killed=$dir/killed
fresh "$killed"
run "$killed" paper-import "$(winpath "$dir/corp.json")"
library "$dir/300.json" Bulk 300
RANDOM=7
for kill in $(seq "$kills"); do
  "$wine" "$killed/sheetlore.exe" paper-import "$(winpath "$dir/300.json")" --replace \
    >/dev/null 2>&1 &
  pid=$!
  sleep "0.$(printf '%03d' $((RANDOM % 900)))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  count "$killed"
  if [ "$rc" -ne 0 ] || [ "$empty" -ne 0 ] || { [ "$papers" -ne 3 ] && [ "$papers" -ne 303 ]; }; then
    fail "after import kill $kill: $papers papers, $empty empty, status $rc"
    break
  fi
  [ "$papers" -eq 303 ] && rm "$killed/PrintSet.ini" && cp "$dir/deployed.ini" "$killed/PrintSet.ini"
done
ok "imports killed $kills times: all or none each time"

echo "store_faults: $failures failures"
[ "$failures" -eq 0 ]

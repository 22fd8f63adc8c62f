#!/usr/bin/env bash
# Kills a process that stores, overwrites and deletes papers in a loop, again and again, and
# checks the store after every kill: no name listed twice, every listed paper one whole
# version, no paper stored before the loops lost. The kill moments come from a seeded random
# generator and fall after the worker reports that its loop runs; only the invariants are
# judged, never timings.
#   store_crash_test.sh <wine> <store_worker.exe> <Sheetlore.dll> <work dir> [kills] [seed]
set -uo pipefail
wine=$1 worker=$2 dll=$3 dir=$4
kills=${5:-100}
seed=${6:-11}

rm -rf "$dir"
mkdir -p "$dir"
cp "$dll" "$dir/Sheetlore.dll"
: >"$dir/PrintSet.ini" # installed empty, as the package installs it
dll_w=$("$wine" winepath -w "$dir/Sheetlore.dll" 2>/dev/null | tr -d '\r')

"$wine" "$worker" keep "$dll_w" | tr -d '\r' || { echo "FAIL: storing the kept papers"; exit 1; }

RANDOM=$seed
for kill in $(seq "$kills"); do
  log=$dir/loop-$kill.log
  "$wine" "$worker" loop "$dll_w" "$kill" >"$log" 2>&1 &
  pid=$!
  # The worker checks the store before its loop: wait for that, however long it takes.
  until grep -q looping "$log" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      # WINEDEBUG=-all hides a crash report, so the exit status and a second look at the same
      # store tell a crash apart from a store the check refused.
      echo "FAIL: after kill $((kill - 1)) the worker stopped before its loop with status $status:"
      tr -d '\r' <"$log"
      cp "$dir/PrintSet.ini" "$dir/PrintSet.ini.at-failure"
      echo "the same store checked again:"
      "$wine" "$worker" check "$dll_w" | tr -d '\r'
      exit 1
    fi
    sleep 0.02
  done
  sleep "0.$(printf '%03d' $((RANDOM % 300)))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  rm -f "$log"
done

"$wine" "$worker" check "$dll_w" | tr -d '\r' || { echo "FAIL: the final check"; exit 1; }
echo "store_crash: $kills kills, the store held after every one"

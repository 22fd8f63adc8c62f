#!/usr/bin/env bash
# Several processes store and delete papers in one PrintSet.ini at the same time, each with
# names of its own; afterwards every paper added and not deleted must be listed and complete.
#   store_concurrency_test.sh <wine> <store_worker.exe> <Sheetlore.dll> <work dir> [processes] [papers]
set -uo pipefail
wine=$1 worker=$2 dll=$3 dir=$4
processes=${5:-4}
papers=${6:-40}

rm -rf "$dir"
mkdir -p "$dir"
cp "$dll" "$dir/Sheetlore.dll"
dll_w=$("$wine" winepath -w "$dir/Sheetlore.dll" 2>/dev/null | tr -d '\r')

prefixes=()
pids=()
for p in $(seq "$processes"); do
  prefixes+=("P$p")
  "$wine" "$worker" add "$dll_w" "P$p" "$papers" >"$dir/worker-$p.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  if ! wait "${pids[$i]}"; then
    echo "FAIL: worker $((i + 1)) failed"
    cat "$dir/worker-$((i + 1)).log"
    status=1
  fi
done
"$wine" "$worker" check-added "$dll_w" "$papers" "${prefixes[@]}" | tr -d '\r' || status=1
exit $status

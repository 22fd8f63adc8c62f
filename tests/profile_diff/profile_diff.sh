#!/bin/sh
# Replays random profile scripts on the simulated profile files and on Wine's kernel32 and
# fails on the first difference.
#   profile_diff.sh <profile_replay.exe> [emulator]
# Environment: PROFILE_DIFF_SEEDS (default 40 seeds) and PROFILE_DIFF_SEQUENCES (sequences
# per seed, default 10); SHEETLORE_NATIVE_BUILD, a native build directory of this tree
# (default: <directory of the exe>/profile-diff-native, configured and built on first use).
# Run inside the private Wine environment: eval "$(tools/wine-env)".
set -eu

replay_exe=$1
emulator=${2:-wine64}
repo=$(cd "$(dirname "$0")/../.." && pwd)
native_build=${SHEETLORE_NATIVE_BUILD:-$(dirname "$replay_exe")/profile-diff-native}
seeds=${PROFILE_DIFF_SEEDS:-40}
sequences=${PROFILE_DIFF_SEQUENCES:-10}

if [ ! -f "$native_build/CMakeCache.txt" ]; then
  generator=Ninja
  command -v ninja >/dev/null 2>&1 || generator="Unix Makefiles"
  cmake -S "$repo" -B "$native_build" -G "$generator" >/dev/null
fi
cmake --build "$native_build" -j2 --target profile_replay_native profile_script_generator >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seed=1
while [ "$seed" -le "$seeds" ]; do
  "$native_build/tests/profile_diff/profile_script_generator" "$seed" "$sequences"
  seed=$((seed + 1))
done >"$work/script.txt"

"$native_build/tests/profile_diff/profile_replay_native" <"$work/script.txt" >"$work/sim.txt"
"$emulator" "$replay_exe" <"$work/script.txt" >"$work/wine.txt"

operations=$(grep -vc '^#' "$work/script.txt")
if cmp -s "$work/sim.txt" "$work/wine.txt"; then
  echo "profile_diff: $seeds seeds, $operations commands: simulation and Wine agree"
  exit 0
fi
echo "profile_diff: the simulation and Wine differ (- simulation, + Wine)"
diff -u "$work/sim.txt" "$work/wine.txt" | head -40
first=$(diff "$work/sim.txt" "$work/wine.txt" | sed -n '1s/^\([0-9]*\).*/\1/p')
sequence=$(head -n "$first" "$work/sim.txt" | grep '^#' | tail -1)
echo "first difference in: $sequence; its script:"
awk -v want="$sequence" '/^#/ { on = ($0 == want) } on' "$work/script.txt"
exit 1

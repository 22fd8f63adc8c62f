# Sourced by the packaging and Wine test scripts after `set -u`: a scratch folder in $work (a
# new one unless the script set it), ok and fail (each failure counted in $failures, which the
# script's last line turns into its status), the check that the x86 build exists, and the
# release package built from the two build folders.
work=${work:-$(mktemp -d)}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

require_x86_build() { # x86 build dir
  [ -f "$1/Sheetlore.dll" ] || { echo "FAIL: no x86 build in $1 (tools/build x86)"; exit 1; }
}

# tools/package --no-build from the build folders into $work/dist; the test ends when it fails.
build_package() { # repository, x64 build dir, x86 build dir
  "$1/tools/package" --no-build --x64 "$2" --x86 "$3" --out "$work/dist" >"$work/log" 2>&1 ||
    { cat "$work/log"; echo "FAIL: tools/package"; exit 1; }
}

# The machine's PATH as the registry holds it (%SystemRoot% unexpanded), and its restoration
# after an installer test: Wine's msiexec leaves a ";" behind when it removes an entry.
environment_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
machine_path() {
  wine64 reg query "$environment_key" /v PATH 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*SZ *//p'
}
restore_machine_path() { # saved value
  [ -n "$1" ] && wine64 reg add "$environment_key" /v PATH /t REG_EXPAND_SZ /d "$1" /f >/dev/null 2>&1
}

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

# msiexec_quiet <log file> <msiexec arguments...>: msiexec with /qn and a verbose log; sets rc.
# Exit status 1618 means another installation still holds the installer (its last process is
# still ending); that is retried a bounded number of times and said, never taken for a result.
# Any other failure prints the end of the log, so the reason is in the test's output.
msiexec_quiet() {
  local log=$1 tries
  shift
  for tries in $(seq 60); do
    wine64 msiexec "$@" /qn /l*v "$(winepath -w "$log")" >/dev/null 2>&1
    rc=$?
    [ $rc -eq 1618 ] || break
    echo "note: msiexec $1: another installation is running (1618), try $tries"
    sleep 1
  done
  [ $rc -eq 0 ] || { echo "msiexec $* exited $rc; the log ends:"; tr -d '\r\0' <"$log" | tail -n 15; }
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

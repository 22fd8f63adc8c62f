#!/usr/bin/env bash
# The Windows workflow checked with check_workflow.py: the file in the tree passes, and copies
# broken the ways a runner (or a rename in the tree) would break it each fail with their own
# message. No runner is involved: see the README's section on Windows CI for what only one shows.
#   workflow_test.sh <repository>
set -u
repo=$1
workflow=$repo/.github/workflows/windows.yml
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$repo/tests/support/test_support.sh"
# Debian's Python with its yaml module: the PATH may hold another Python without it.
check() { /usr/bin/python3 "$repo/tests/workflow/check_workflow.py" "$repo" "$@"; }

if output=$(check "$workflow" 2>&1); then
  ok "the workflow passes: $output"
else
  fail "the workflow fails its check:"
  printf '%s\n' "$output"
fi

# broken <what> <expected message> <sed or perl expression> [--no-run]
broken() {
  local what=$1 expected=$2 expression=$3
  shift 3
  perl -0pe "$expression" "$workflow" >"$work/broken.yml"
  if cmp -s "$workflow" "$work/broken.yml"; then
    fail "$what: the expression changed nothing (the workflow moved on; update the test)"
    return
  fi
  if output=$(check "$work/broken.yml" "$@" 2>&1); then
    fail "$what: the broken copy passes"
  elif grep -qF -- "$expected" <<<"$output"; then
    ok "$what fails: $(grep -F -- "$expected" <<<"$output" | head -n1)"
  else
    fail "$what: fails for another reason: $output"
  fi
}

broken "a colon and a blank in a step's name" "does not parse" \
  's/- name: Release package[^\n]*/- name: Release package (no MSI: wixl is not there)/' --no-run
broken "a key given twice" "given twice" 's/(\n(\s+)runs-on: windows-2022)/$1$1/' --no-run
broken "no trigger" "no \`on\` trigger" 's/\non:\n(  \S.*\n)+/\n/' --no-run
broken "a step with run and uses" "needs exactly one of run or uses" \
  's/(\n(\s+)- name: GoogleTest sources\n)/$1$2  uses: actions\/checkout\@v4\n/' --no-run
broken "a step with neither" "needs exactly one of run or uses" 's/\n\s+run: git clone[^\n]*//' --no-run
broken "with beside run" "with without uses" \
  's/(\n(\s+)- name: GoogleTest sources\n)/$1$2  with:\n$2    fetch-depth: 1\n/' --no-run
broken "a job without runs-on" "job core: no runs-on" 's/\n    runs-on: ubuntu[^\n]*//' --no-run
broken "a misspelt step key" "unknown key 'shel'" 's/shell: cmd/shel: cmd/' --no-run
broken "a shell no runner knows" "neither a known shell" 's/shell: cmd/shell: command.com/' --no-run
broken "msys2 before its setup" "before a msys2/setup-msys2 step" \
  's/(\n(\s+)- uses: msys2\/setup-msys2\@v2\n(\2  .*\n)+)((\2- .*\n)(\2  .*\n)+)/\n$4$1/' --no-run
broken "an unquoted variable in an MSYS2 block" "shellcheck" \
  's/ninja -C "out\/\$1"/ninja -C out\/\$1/' --no-run
broken "a syntax error in a bash block" "shellcheck" 's/( done\n)/ done fi\n/' --no-run
broken "a script that is not in the tree" "tools/packaging is not an executable script" \
  's/tools\/package --no-build/tools\/packaging --no-build/' --no-run
broken "a CMake variable nothing reads" "no CMakeLists.txt reads SHEETLORE_GTEST" \
  's/SHEETLORE_GOOGLETEST_SOURCE/SHEETLORE_GTEST/' --no-run
broken "an install script that is not in the tree" "packaging/instal.cmd is not in the tree" \
  's/call install\.cmd/call instal.cmd/' --no-run
broken "a switch verify.cmd does not take" "verify.cmd does not take /jsonfile" \
  's/(verify\.cmd[^\n]*) \/json /$1 \/jsonfile /' --no-run
broken "an option tools/package refuses" "unknown argument --no-installer" \
  's/--no-build --no-msi/--no-build --no-installer/'
broken "a package folder that is not where the zip unpacks" "hands on no package folder" \
  's/out\/verify\/Sheetlore-\*/out\/verify\/Sheetlore-x-*/'

echo
[ "$failures" -eq 0 ] && echo "all workflow checks passed" || echo "$failures failed"
[ "$failures" -eq 0 ]

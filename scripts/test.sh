#!/usr/bin/env bash
# Builds everything and runs every test: the portable engine and compiler natively, the
# same engine tests and the extension's end-to-end tests under Wine, the set-up script's
# python checks, and a short run of each fuzzer on its seed corpus.
#
#   scripts/test.sh            set up the machine if needed, build, test
#   VOSKO_SKIP_SETUP=1 ...     skip the set-up script (it is idempotent but needs root)
#   VOSKO_SKIP_FUZZ=1 ...      skip the fuzz tree
set -Eeuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# The set-up exits 3 only where no 32-bit code can run at all (the kernel refuses it and
# user-mode emulation cannot be set up): the 32-bit product is then still built and checked,
# and the Windows tests run on the 64-bit build alone.  Everywhere else the Windows tests run
# on the 32-bit build (the product users get) and on the 64-bit build (the code stays 64-bit
# clean).
ia32=1
if [[ -z ${VOSKO_SKIP_SETUP:-} ]]; then
  sudo_=(); [[ $(id -u) -eq 0 ]] || sudo_=(sudo)
  rc=0; "${sudo_[@]}" bash scripts/setup.sh || rc=$?
  if [[ $rc -eq 3 ]]; then ia32=0; elif [[ $rc -ne 0 ]]; then exit "$rc"; fi
elif [[ ! -x /usr/lib/wine/wine ]]; then
  ia32=0
fi
windows=(win32 win64)
[[ $ia32 -eq 1 ]] || windows=(win64)

jobs=$(nproc 2>/dev/null || echo 2)
section() { printf '\n==== %s ====\n' "$*"; }

passed=0
failed=0
# Adds the counts of a ctest run ("100% tests passed, 0 tests failed out of 57").
count_ctest() {
  local log=$1 line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [[ -z $line ]]; then failed=$((failed + 1)); return; fi
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# Builds a preset; the product's own code fails on a warning (VOSKO_WERROR), and a warning
# anywhere else in the tree counts as a failed check.
log=$(mktemp)
build() {
  local preset=$1 rc=0
  shift
  cmake --preset "$preset" -DVOSKO_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs" "$@" 2>&1 | tee "$log" | grep -vE '^\[[0-9]+/[0-9]+\] ' || rc=${PIPESTATUS[0]}
  [[ $rc -eq 0 ]] || exit "$rc"
  if grep -q 'warning:' "$log"; then
    echo "the $preset build printed warnings"
    failed=$((failed + 1))
  fi
}

section "native build"
build native

section "windows builds (${windows[*]})"
build win32
if [[ $ia32 -eq 0 ]]; then
  echo "this machine runs no 32-bit code: the Windows tests run on the 64-bit build only"
fi
[[ ${windows[*]} == *win64* ]] && build win64

section "native tests"
ctest --preset native -j "$jobs" 2>&1 | tee "$log" | grep -vE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' || true
count_ctest "$log"

section "the 32-bit DLL as the host sees it"
if bash scripts/check-dll.sh build/win32/src/vosko.dll; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

bash scripts/wine-prefix.sh build/wineprefix-null null
export VOSKO_WINEPREFIX=$root/build/wineprefix-null
for tree in "${windows[@]}"; do
  section "tests under Wine ($tree build)"
  start=$(date +%s)
  ctest --preset "$tree" -j "$jobs" 2>&1 | tee "$log" || true
  count_ctest "$log"
  echo "($tree suites: $(($(date +%s) - start)) s)"
done

section "rescom: the Windows build writes what the native one writes"
if bash scripts/check-rescom-wine.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

section "python checks"
if python3 -m unittest discover -s src/resources -p 'test_*.py' >"$log" 2>&1; then
  n=$(grep -Eo '^Ran [0-9]+' "$log" | grep -Eo '[0-9]+' || echo 0)
  echo "python: $n tests passed"
  passed=$((passed + n))
else
  cat "$log"
  failed=$((failed + 1))
fi

section "native tests under the address and undefined-behaviour sanitizers"
build sanitize
ctest --preset sanitize -j "$jobs" 2>&1 | tee "$log" | grep -vE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' || true
count_ctest "$log"

if [[ -z ${VOSKO_SKIP_FUZZ:-} && -f scripts/fuzz.sh ]]; then
  section "fuzzers (short runs on their seed corpora)"
  build fuzz
  if bash scripts/fuzz.sh --short; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
fi
rm -f "$log"

section "summary"
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# The long soak: the extension opened, used (Rescan, Compile, Export, Paste, New, Options,
# About) and closed ROUNDS times in one host process under Wine, and beside it the control
# program (a list view with two image lists of 105 icons each, a status bar and two fonts
# made and destroyed as often), whose growth is Wine's own.
#
#   scripts/soak.sh [ROUNDS]      (default 200; the Windows build in build/win32, or the
#                                  test program VOSKO_SOAK_PROGRAM names, its vosko.dll beside it)
#
# Prints kernel handles, GDI objects, USER objects (windows), the objects the library made
# and has not released, and private bytes after the 10-round warm-up and at the end, for
# both; then the growth per round and the extension's growth beyond the control's. Fails
# when any count grew or private memory grew more than 1 MB beyond the control's.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
rounds=${1:-200}
tests=${VOSKO_SOAK_PROGRAM:-$repo/build/win32/tests/wine/vosko_wine_tests.exe}
[[ -f $tests ]] || { echo "$0: build the Windows tests first ($tests)" >&2; exit 2; }
export VOSKO_SOAK_ROUNDS=$rounds
export VOSKO_SOAK_COMPILER=real  # the short soak in the suite stands a finished thread in for it

run() {  # gtest filter, extra arguments...
    local filter=$1
    shift
    bash "$here/wine-run.sh" "$tests" --gtest_filter="$filter" "$@" 2>/dev/null | tr -d '\r'
}

start=$(date +%s)
failed=0
soak=$(run 'SoakTest.*') || failed=1
soak_time=$(($(date +%s) - start))
control=$(run 'SoakControl.*' --gtest_also_run_disabled_tests)

field() {  # output, line (after-warm-up|end), name
    echo "$1" | awk -v line="$2" -v name="$3" '$1 == "soak" && $2 == line {
        for (i = 3; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == name) print kv[2] } }' | tail -1
}

measured=$((rounds - 10))
printf '%s rounds (%s measured after a warm-up of 10) in %s s\n\n' "$rounds" "$measured" "$soak_time"
printf '%-10s %-14s %14s %14s %14s %12s\n' program figure after-warm-up end growth per-round
for program in extension control; do
    out=$soak
    [[ $program == control ]] && out=$control
    for name in handles gdi user made private; do
        [[ $program == control && $name == made ]] && continue
        before=$(field "$out" after-warm-up "$name")
        after=$(field "$out" end "$name")
        growth=$((after - before))
        printf '%-10s %-14s %14s %14s %14s %12s\n' "$program" "$name" "$before" "$after" "$growth" \
            "$(awk -v g="$growth" -v n="$measured" 'BEGIN { printf "%.1f", g / n }')"
        [[ $program == extension && $name =~ ^(gdi|user|made)$ && $growth -ne 0 ]] && failed=1
        [[ $program == extension && $name == handles && $growth -gt 8 ]] && failed=1
        [[ $name == private ]] && eval "${program}_private=$growth"
    done
done
difference=$((extension_private - control_private))
printf '\nprivate memory beyond the control: %s bytes (%s KB a round; the limit is 1 MB in all)\n' \
    "$difference" "$(awk -v g="$difference" -v n="$measured" 'BEGIN { printf "%.1f", g / n / 1024 }')"
((difference <= 1048576)) || failed=1
if ((failed)); then
    echo "$soak" | grep -E '(Failure|FAILED)' | sort | uniq -c | head -5
    echo "soak FAILED"
    exit 1
fi
echo "soak passed"

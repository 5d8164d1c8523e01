#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz tree on its seed corpus (fuzz/corpus/<target>/).
#
#   scripts/fuzz.sh --short           a few seconds per target, all well under two minutes
#   scripts/fuzz.sh --long SECONDS    SECONDS per target
#   scripts/fuzz.sh ... TARGET...     only the named targets
#
# Builds the fuzz tree first unless VOSKO_FUZZ_NO_BUILD is set.  New inputs go to a scratch
# corpus, never into the repository; a crash, leak or failed check leaves its input in
# build/fuzz/findings/ and makes the script exit non-zero.
set -Eeuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

mode=short
seconds=
targets=()
while [[ $# -gt 0 ]]; do
  case $1 in
    --short) mode=short; shift ;;
    --long) mode=long; seconds=${2:?--long needs SECONDS}; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done

if [[ -z ${VOSKO_FUZZ_NO_BUILD:-} ]]; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
fi

bin=build/fuzz/fuzz
if [[ ${#targets[@]} -eq 0 ]]; then
  for exe in "$bin"/*_fuzz; do [[ -x $exe ]] && targets+=("$(basename "$exe")"); done
fi
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "fuzz: no fuzz targets built in $bin" >&2
  exit 1
fi
if [[ $mode == short ]]; then
  # Share 72 seconds among the targets, at most 10 and at least 3 each.
  seconds=$((72 / ${#targets[@]}))
  ((seconds > 10)) && seconds=10
  ((seconds < 3)) && seconds=3
fi

findings=$root/build/fuzz/findings
mkdir -p "$findings"
# The targets write their scratch files under TMPDIR: keep them in memory when we can.
if [[ -d /dev/shm && -w /dev/shm ]]; then scratch=$(mktemp -d -p /dev/shm); else scratch=$(mktemp -d); fi
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch/tmp
mkdir -p "$TMPDIR"

failed=0
for t in "${targets[@]}"; do
  corpus=fuzz/corpus/$t
  work=$scratch/$t
  mkdir -p "$work"
  seeds=()
  [[ -d $corpus ]] && seeds=("$corpus")
  log=$scratch/$t.log
  if "$bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$t-" "$work" "${seeds[@]}" >"$log" 2>&1; then
    runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || echo '?')
    echo "fuzz: $t: $runs executions in ${seconds}s, no finding"
  else
    echo "fuzz: $t: FINDING (input saved under $findings/)" >&2
    tail -n 40 "$log" >&2
    failed=1
  fi
done
exit $failed

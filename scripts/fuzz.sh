#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz tree on its seed corpus (fuzz/corpus/<target>/).
#
#   scripts/fuzz.sh --short           a few seconds per target, all well under two minutes
#   scripts/fuzz.sh --long SECONDS    SECONDS per target
#   scripts/fuzz.sh --runs N          N executions per target (a campaign; with --long, at
#                                     most SECONDS each)
#   scripts/fuzz.sh ... --merge       then add the new inputs that reach new code to the seed
#                                     corpus (libFuzzer's -merge=1 picks a minimal set)
#   scripts/fuzz.sh ... TARGET...     only the named targets
#
# Builds the fuzz tree first unless VOSKO_FUZZ_NO_BUILD is set.  Without --merge new inputs go
# to a scratch corpus, never into the repository.  A crash, a leak, a failed check or any
# sanitizer report in the output is a finding: its input is left in build/fuzz/findings/ and
# the script exits non-zero.  A target's own libFuzzer options (a -max_len) come from
# fuzz/<target>.options.
set -Eeuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

mode=short
seconds=
runs=
merge=0
targets=()
while [[ $# -gt 0 ]]; do
  case $1 in
    --short) mode=short; shift ;;
    --long) mode=long; seconds=${2:?--long needs SECONDS}; shift 2 ;;
    --runs) mode=runs; runs=${2:?--runs needs N}; shift 2 ;;
    --merge) merge=1; shift ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
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
if [[ $mode == short && -z $runs ]]; then
  # Share 72 seconds among the targets, at most 10 and at least 3 each.
  seconds=$((72 / ${#targets[@]}))
  ((seconds > 10)) && seconds=10
  ((seconds < 3)) && seconds=3
fi

# What the sanitizers and libFuzzer print when they find something.  The trees are built so
# that every report also stops the program; the log is checked as well, so that a report can
# never pass as "no finding".
reports='runtime error:|ERROR: [A-Za-z]*Sanitizer|SUMMARY: [A-Za-z]*Sanitizer|WARNING: [A-Za-z]*Sanitizer|ERROR: libFuzzer|==[0-9]+== *ERROR'
# A smaller quarantine than ASan's 256 MB: far fewer page faults per input, and a use after
# free within an input or the inputs before it is still caught.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

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
  # The target's own libFuzzer options, if it has any: fuzz/TARGET.options holds "[libfuzzer]"
  # and then "name = value" lines (a -max_len that keeps inputs as long as they need to be).
  options=()
  if [[ -f fuzz/$t.options ]]; then
    while IFS='=' read -r key value; do
      key=${key//[[:space:]]/}
      value=${value//[[:space:]]/}
      [[ -z $key || $key == \[* || $key == \#* ]] && continue
      options+=("-$key=$value")
    done <"fuzz/$t.options"
  fi
  limit=()
  [[ -n $runs ]] && limit+=(-runs="$runs")
  [[ -n $seconds ]] && limit+=(-max_total_time="$seconds")
  rc=0
  "$bin/$t" "${options[@]}" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$t-" "$work" "${seeds[@]}" >"$log" 2>&1 || rc=$?
  if [[ $rc -eq 0 ]] && ! grep -Eq "$reports" "$log"; then
    final_stat() { grep -Eo "stat::$1: *[0-9]+" "$log" | grep -Eo '[0-9]+$' || echo '?'; }
    cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1)
    edges=$(grep -Eo '\(([0-9]+) inline 8-bit counters\)' "$log" | grep -Eo '[0-9]+' | head -n 1 || echo '?')
    echo "fuzz: $t: $(final_stat number_of_executed_units) executions," \
      "$(final_stat average_exec_per_sec)/s, $cov (of $edges edges), no finding"
    if [[ $merge -eq 1 ]]; then
      mkdir -p "$corpus"
      before=$(find "$corpus" -type f | wc -l)
      "$bin/$t" "${options[@]}" -merge=1 "$corpus" "$work" >"$log.merge" 2>&1 || { tail -n 20 "$log.merge" >&2; failed=1; }
      echo "fuzz: $t: seed corpus $before -> $(find "$corpus" -type f | wc -l) files, $(cat "$corpus"/* | wc -c) bytes"
    fi
  else
    echo "fuzz: $t: FINDING (exit code $rc; input saved under $findings/)" >&2
    grep -E -m 5 "$reports" "$log" >&2 || true
    tail -n 40 "$log" >&2
    failed=1
  fi
done
exit $failed

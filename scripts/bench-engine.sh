#!/usr/bin/env bash
# Benchmarks the quote engine over a generated quote file (100 MB unless VOSKO_BENCH_MB says
# otherwise; made once in the temporary folder) and prints each pass in MB/s (10^6 bytes per
# second of quote file read) and as a ratio to a plain buffered copy of the same bytes.
#
#   scripts/bench-engine.sh [extra Google Benchmark options]
#
# Targets on the 2-core development machine: script writing >= 300 MB/s, counting >= 600 MB/s.
set -Eeuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

cmake --preset native >/dev/null
cmake --build --preset native -j 2 --target engine_bench >/dev/null
json=$(mktemp)
trap 'rm -f "$json"' EXIT
build/native/bench/engine_bench --benchmark_format=json --benchmark_out="$json" \
  --benchmark_out_format=json "$@" >/dev/null

python3 - "$json" <<'PY'
import json, sys
runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("run_type", "iteration") == "iteration"}
def rates(run):
    # Wall-clock rate as measured, and the rate by CPU time, which tells what the pass costs
    # when other work shares the two cores.
    wall = run["bytes_per_second"]
    return wall, wall * run["real_time"] / run["cpu_time"]
copy_wall, copy_cpu = rates(runs["BM_PlainCopy"])
labels = [("BM_PlainCopy", "plain buffered copy", None), ("BM_ScriptWrite", "script writing", 300),
          ("BM_Count", "counting (rescan)", 600), ("BM_Export", "export", None)]
print(f"{'':22s} {'wall clock':>22s}   {'by CPU time':>22s}")
for key, label, target in labels:
    if key not in runs:
        continue
    wall, cpu = rates(runs[key])
    line = f"{label:22s} {wall / 1e6:8.1f} MB/s {wall / copy_wall:5.2f} x copy   {cpu / 1e6:8.1f} MB/s {cpu / copy_cpu:5.2f} x copy"
    if target:
        line += f"   target {target} MB/s: {'met' if wall / 1e6 >= target else 'not met'} on the wall clock"
    print(line)
PY

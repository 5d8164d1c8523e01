#!/usr/bin/env bash
# Times the command-line tool natively on generated quotes (not a test):
#   1. `vosko compile` of about 10 MB and 100 MB of quote files, against `strfile` (fortune-mod)
#      indexing the same quotes and `cat` copying the quote files, with the peak memory of each
#      compile: it should not grow with the size of the quotes;
#   2. `vosko list` of a folder of 10,000 small quote files.
#
#   scripts/bench-cli.sh [SIZES_MB...]      (default 10 100; VOSKO_BENCH_RUNS, default 3)
#
# Goals: the compile no slower than strfile and within 3 times cat, its memory flat; the list
# under a second.
#
# Measured on the 2-core development machine (load 2 to 5 from other builds), 100 MB in 300
# files: vosko compile 0.83-0.95 s (0.82 s CPU), strfile 1.14-1.16 s, cat 0.05 s; the compile's
# peak 4.3 MB at 10 MB and 4.4 MB at 100 MB (4.9 and 12.9 MB while the compiler kept the index
# in memory); vosko list of 10,000 files 0.21-0.25 s.  Of the compile's processor time, reading
# and classifying the quotes is about 0.12 s, writing the script 0.3 s and the compiler's two
# readings of it 0.4 s: cat's 0.05 s is out of reach while the script is the interface.
set -Eeuo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
sizes=("${@:-10 100}")
read -r -a sizes <<<"${sizes[*]}"
runs=${VOSKO_BENCH_RUNS:-3}
strfile=$(command -v strfile || echo /usr/games/strfile)
[[ -x $strfile ]] || { echo "strfile not found (Debian package fortune-mod)" >&2; exit 1; }

cmake --preset native >/dev/null
cmake --build --preset native --target vosko_cli >/dev/null
vosko=$root/build/native/tools/vosko/vosko

work=$(mktemp -d "${TMPDIR:-/tmp}/cli-bench.XXXXXX")
[[ -n ${VOSKO_BENCH_KEEP:-} ]] || trap 'rm -rf "$work"' EXIT

# Seconds, peak resident kilobytes and processor seconds (user and system) of one run of a
# command, as "SECONDS KB CPU": the processor time is the fairer figure on a busy machine.  From
# /usr/bin/time, else from getrusage in a small python wrapper (python's own size would count
# too, since the child is forked from it before it execs, so that figure is an upper bound).
measure() {
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$@" >/dev/null
    read -r secs kb user sys <"$work/time"
    echo "$secs $kb $(python3 -c "print(round($user + $sys, 2))")"
    return
  fi
  python3 - "$@" <<'PY'
import resource, subprocess, sys, time
start = time.perf_counter()
subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)
elapsed = time.perf_counter() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{elapsed:.3f} {usage.ru_maxrss} {usage.ru_utime + usage.ru_stime:.2f}")
PY
}
# The fastest of $runs runs (its memory with it).
best_of() {
  local best="" line
  for ((i = 0; i < runs; i++)); do
    line=$(measure "$@")
    if [[ -z $best ]] || python3 -c "import sys; sys.exit(0 if ${line%% *} < ${best%% *} else 1)"; then best=$line; fi
  done
  echo "$best"
}

# Quote files of about 330 kB each, and the same quotes in strfile's form.
generate() { python3 scripts/bench-quotes.py "$1" "$2"; }

echo "== vosko compile, strfile and cat on the same quotes; best of $runs runs each"
for size in "${sizes[@]}"; do
  dir=$work/$size
  generate "$dir" "$size"
  bytes=$(cat "$dir"/quotes/*.lsq | wc -c)
  compile=$(best_of "$vosko" compile -o "$dir/rquotes.pms" "$dir/quotes")
  index=$(best_of "$strfile" -s "$dir/strfile.txt" "$dir/strfile.dat")
  copy=$(best_of sh -c 'cat "$1"/quotes/*.lsq > "$1/copy"' sh "$dir")
  python3 - "$bytes" "$compile" "$index" "$copy" <<'PY'
import sys
size = int(sys.argv[1]) / 1e6
(compile_s, compile_kb, compile_cpu), (index_s, index_kb, index_cpu), (copy_s, _, copy_cpu) = (
    (max(float(a), 0.001), int(b), max(float(c), 0.01)) for a, b, c in (x.split() for x in sys.argv[2:5]))
print(f"{size:6.1f} MB: vosko compile {compile_s:.2f} s ({compile_cpu:.2f} s CPU), peak {compile_kb / 1024:.1f} MB; "
      f"strfile {index_s:.2f} s ({index_cpu:.2f} s CPU), peak {index_kb / 1024:.1f} MB; "
      f"cat {copy_s:.2f} s ({copy_cpu:.2f} s CPU)")
print(f"          compile / strfile {compile_s / index_s:.2f} (CPU {compile_cpu / index_cpu:.2f}; goal: at most 1), "
      f"compile / cat {compile_s / copy_s:.2f} (CPU {compile_cpu / copy_cpu:.2f}; goal: at most 3)")
PY
  rm -rf "$dir"
done

echo "== vosko list of 10,000 quote files"
python3 - "$work/list" <<'PY'
import os, sys
folder = sys.argv[1]
os.makedirs(folder)
for i in range(10000):
    with open(f"{folder}/f{i:05d}.lsq", "wb") as f:
        f.write(f"## a small collection\r\n@@TITLE=Collection {i:05d}\r\n@@AUTHOR=Author {i % 97}\r\n"
                f"One quote\r\n\r\nAnother quote\r\n".encode())
PY
list=$(best_of "$vosko" list --format tsv "$work/list")
read -r secs kb cpu <<<"$list"
echo "10,000 files: vosko list $secs s ($cpu s CPU), peak $((kb / 1024)) MB (goal: under 1 s)"

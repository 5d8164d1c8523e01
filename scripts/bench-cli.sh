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

# Seconds and peak resident kilobytes of one run of a command, as "SECONDS KB", through
# getrusage of the child: the same measure whether or not /usr/bin/time is installed.
measure() {
  python3 - "$@" <<'PY'
import resource, subprocess, sys, time
start = time.perf_counter()
subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)
elapsed = time.perf_counter() - start
print(f"{elapsed:.3f} {resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss}")
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

# Quote files as users write them (directives, comments, double quotes, CR LF) in files of about
# 330 kB, and the same quotes in strfile's form, one "%" line after each.
generate() {
  python3 - "$1" "$2" <<'PY'
import os, random, sys
folder, size_mb = sys.argv[1], int(sys.argv[2])
random.seed(1994)
words = ("the a quote of time and life is not what we do say when you are all but never "
         "always man woman love work day night world \"truth\" mind it's wisdom").split()
lines = [" ".join(random.choice(words) for _ in range(random.randint(4, 14))) for _ in range(5000)]
files = max(1, size_mb * 3)
per_file = size_mb * 1000 * 1000 // files
os.makedirs(f"{folder}/quotes")
with open(f"{folder}/strfile.txt", "wb") as plain:
    for i in range(files):
        out = [f"## generated\r\n@@TITLE=Collection {i:04d}\r\n@@AUTHOR=Nobody\r\n@@END=  -- anon\r\n\r\n"]
        size = len(out[0])
        while size < per_file:
            quote = random.sample(lines, random.randint(1, 5))
            text = "\r\n".join(quote) + "\r\n\r\n"
            out.append(text)
            size += len(text)
            plain.write(("\n".join(quote) + "\n-- anon\n%\n").encode())
        with open(f"{folder}/quotes/q{i:04d}.lsq", "wb") as f:
            f.write("".join(out).encode())
PY
}

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
(compile_s, compile_kb), (index_s, index_kb), (copy_s, _) = (
    (max(float(a), 0.001), int(b)) for a, b in (x.split() for x in sys.argv[2:5]))
print(f"{size:6.1f} MB: vosko compile {compile_s:.3f} s, peak {compile_kb / 1024:.1f} MB; "
      f"strfile {index_s:.3f} s, peak {index_kb / 1024:.1f} MB; cat {copy_s:.3f} s")
print(f"          compile / strfile {compile_s / index_s:.2f} (goal: at most 1), "
      f"compile / cat {compile_s / copy_s:.2f} (goal: at most 3)")
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
echo "10,000 files: vosko list ${list%% *} s, peak $(( ${list##* } / 1024 )) MB (goal: under 1 s)"

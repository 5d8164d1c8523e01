#!/usr/bin/env bash
# Times a whole compile three ways on the same generated quotes (not a test):
#   1. the DLL under Wine, driven as the host drives it (Compile pressed on every row: script,
#      batch file, rescom.exe, copy into the home directory, the closing message);
#   2. the engine and the compiler's core natively, in one process (script, then compile);
#   3. strfile (fortune-mod) indexing the same quotes.
# Prints the times, the ratios and the peak memory of 1 and 2.
#
#   scripts/bench-compile.sh [SIZE_MB] [FILES] [BUILD_DIR]
#       (default 100 MB in 300 quote files; build/win32, or build/win64 where 32-bit code
#       cannot run)
set -Eeuo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
size_mb=${1:-100}
files=${2:-300}
build=${3:-}
if [[ -z $build ]]; then
  build=$root/build/win32
  [[ -f /var/lib/vosko-setup/wine32-runtime.stamp ]] || build=$root/build/win64
fi
strfile=$(command -v strfile || echo /usr/games/strfile)
[[ -x $strfile ]] || { echo "strfile not found (Debian package fortune-mod)" >&2; exit 1; }

cmake --build "$build" --target vosko vosko_compile_bench >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target compile_pipeline_bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/compile-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/quotes" "$work/native"
cp "$build/src/vosko.dll" "$build/tests/wine/vosko_compile_bench.exe" "$work"/
to_windows() { printf 'Z:%s' "${1//\//\\}"; }

# Quote files as users write them (directives, comments, double quotes, CR LF), and the same
# quotes in strfile's form, one "%" line after each.
python3 - "$work" "$size_mb" "$files" "$(to_windows "$work/quotes")" <<'PY'
import random, sys
work, size_mb, files, folder = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
random.seed(1994)
words = ("the a quote of time and life is not what we do say when you are all but never "
         "always man woman love work day night world \"truth\" mind it's wisdom").split()
lines = [" ".join(random.choice(words) for _ in range(random.randint(4, 14))) for _ in range(5000)]
per_file = size_mb * 1000 * 1000 // files
with open(f"{work}/strfile.txt", "wb") as plain:
    for i in range(files):
        out = [f"## generated\r\n@@TITLE=Collection {i:04d}\r\n@@AUTHOR=Nobody\r\n@@END=  -- anon\r\n\r\n"]
        size = len(out[0])
        while size < per_file:
            quote = random.sample(lines, random.randint(1, 5))
            text = "\r\n".join(quote) + "\r\n\r\n"
            out.append(text)
            size += len(text)
            plain.write(("\n".join(quote) + "\n-- anon\n%\n").encode())
        with open(f"{work}/quotes/q{i:04d}.lsq", "wb") as f:
            f.write("".join(out).encode())
with open(f"{work}/home/Tarno.pm", "wb") as f:
    f.write(f"[Vosko]\r\nQuoteFolder={folder}\r\nViewOption=3\r\nVoskoVersion=1.10\r\n".encode())
PY
quote_bytes=$(cat "$work"/quotes/*.lsq | wc -c)

ms() { echo $(( ($2 - $1) / 1000000 )); }

echo "== $((quote_bytes / 1000000)) MB in $files quote files"
dll_out=$("$root/scripts/wine-run.sh" "$work/vosko_compile_bench.exe" "$(to_windows "$work/home")")
echo "$dll_out" | sed 's/^/dll:    /'
dll_s=$(sed -nE 's/^compile: .* in ([0-9.]+) s$/\1/p' <<<"$dll_out")

native_out=$(build/native/bench/compile_pipeline_bench "$work/quotes" "$work/native")
echo "$native_out" | sed 's/^/native: /'
native_s=$(sed -nE 's/^engine \+ rescom: .* in ([0-9.]+) s .*/\1/p' <<<"$native_out")
cmp -s "$work/native/rquotes.rsc" "$work/home/rquotes.pms" && echo "native: the same compiled file as the DLL's"

start=$(date +%s%N)
"$strfile" -s "$work/strfile.txt" "$work/strfile.dat"
end=$(date +%s%N)
strfile_s=$(python3 -c "print($(ms "$start" "$end") / 1000)")
echo "strfile: $(stat -c %s "$work/strfile.txt") bytes in $strfile_s s"

python3 - "$dll_s" "$native_s" "$strfile_s" <<'PY'
import sys
dll, native, strfile = (max(float(x), 0.001) for x in sys.argv[1:4])
print(f"DLL under Wine / engine + rescom natively: {dll / native:.2f} (goal: at most 1.5)")
print(f"DLL under Wine / strfile:                  {dll / strfile:.2f} (goal: at most 1)")
print(f"engine + rescom / strfile:                 {native / strfile:.2f}")
PY

#!/usr/bin/env bash
# Speed of our resource compiler against strfile (Debian's fortune-mod), measured in one run.
#
#   scripts/bench-rescom.sh [SIZE_MB]      (default 100)
#
# Generates a resource script of about SIZE_MB megabytes in the script writer's layout (CR LF,
# header comments, one "text x { ... };" block per quote) and the same quotes in strfile's input
# format (quotes separated by "%" lines). Then times `rescom` compiling the script and `strfile`
# indexing the quotes, best of three runs each, and prints throughput, peak memory and the ratio.
# strfile reads every byte and writes an index; rescom reads the script twice (index pass, write
# pass) and writes every text, so this compares the whole job of each tool.
set -Eeuo pipefail
export LC_ALL=C

SIZE_MB=${1:-100}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(dirname "$HERE")
RESCOM=${RESCOM:-$ROOT/build/native/rescom/rescom}
STRFILE=$(command -v strfile || echo /usr/games/strfile)

[[ -x $STRFILE ]] || { echo "strfile not found: apt-get install fortune-mod" >&2; exit 1; }
if [[ ! -x $RESCOM ]]; then
    cmake --preset native >/dev/null
    cmake --build --preset native --target rescom >/dev/null
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/rescom-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

python3 - "$WORK" "$SIZE_MB" <<'EOF'
import random, sys
work, size_mb = sys.argv[1], int(sys.argv[2])
random.seed(1994)
words = ("the a quote of time and life is not what we do say when you are all but "
         "never always man woman love work day night world \"truth\" mind it's C:\\q").split()
target = size_mb * 1000 * 1000
with open(f"{work}/rquotes.r", "wb") as script, open(f"{work}/quotes", "wb") as plain:
    script.write(b"\r\n##   Generated for the benchmark\r\n\r\n"
                 b"headers off       #  Ignore this command\r\n"
                 b"symbols off       #  Ignore this command.\r\n")
    written = 0
    lines = [" ".join(random.choice(words) for _ in range(random.randint(3, 14)))
             for _ in range(5000)]
    while written < target:
        quote = random.sample(lines, random.randint(1, 6))
        block = "\r\ntext x\r\n   {\r\n"
        for line in quote:
            block += '   "' + line.replace('"', '\\"') + '\\n",\r\n'
        block += "   };\r\n"
        data = block.encode()
        script.write(data)
        written += len(data)
        plain.write(("\n".join(quote) + "\n%\n").encode())
EOF

best_ms() {  # best wall time of three runs, in milliseconds; the command's output is dropped
    local best=0 start end ms
    for _ in 1 2 3; do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        (( best == 0 || ms < best )) && best=$ms
    done
    echo "$best"
}

peak_kb() {  # peak resident memory of one run, when GNU time is there
    if [[ -x /usr/bin/time ]]; then
        /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1
    else
        echo "?"
    fi
}

script_bytes=$(stat -c %s "$WORK/rquotes.r")
plain_bytes=$(stat -c %s "$WORK/quotes")
rescom_ms=$(best_ms "$RESCOM" "$WORK/rquotes.r")
strfile_ms=$(best_ms "$STRFILE" -s "$WORK/quotes" "$WORK/quotes.dat")
report=$("$RESCOM" "$WORK/rquotes.r")
rescom_kb=$(peak_kb "$RESCOM" "$WORK/rquotes.r")
strfile_kb=$(peak_kb "$STRFILE" -s "$WORK/quotes" "$WORK/quotes.dat")

python3 - "$script_bytes" "$plain_bytes" "$rescom_ms" "$strfile_ms" "$rescom_kb" "$strfile_kb" "$report" <<'EOF'
import sys
sb, pb, rms, sms = (int(x) for x in sys.argv[1:5])
rkb, skb, report = sys.argv[5], sys.argv[6], sys.argv[7]
rms, sms = max(rms, 1), max(sms, 1)
print(f"rescom : {sb/1e6:8.1f} MB script  {rms:6d} ms  {sb/1e3/rms:7.1f} MB/s  peak {rkb} KB")
print(f"strfile: {pb/1e6:8.1f} MB quotes  {sms:6d} ms  {pb/1e3/sms:7.1f} MB/s  peak {skb} KB")
print(f"         {report}")
print(f"time ratio rescom/strfile on the same quotes: {rms/sms:.2f} "
      f"({'no slower' if rms <= sms else 'slower'} than strfile)")
EOF

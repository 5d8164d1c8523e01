#!/usr/bin/env bash
# Times the catalog scan under Wine: generates N quote files, each with a compile record in
# the settings file, opens the extension on them and prints how long the list took.
#
#   scripts/bench-scan.sh [BUILD_DIR] [N...]     (default build/win32, or build/win64
#                                                where 32-bit code cannot run; 1000 5000 10000)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-}
[[ $# -gt 0 ]] && shift
counts=("$@")
[[ ${#counts[@]} -gt 0 ]] || counts=(1000 5000 10000)
if [[ -z $build ]]; then
  build=$root/build/win32
  [[ -f /var/lib/vosko-setup/wine32-runtime.stamp ]] || build=$root/build/win64
fi
# shellcheck source=scripts/bench-lib.sh
source "$root/scripts/bench-lib.sh"
bench_prepare "$build" vosko_scan_bench

for n in "${counts[@]}"; do
  run=$work/run-$n
  mkdir -p "$run/home" "$run/quotes"
  : >"$run/home/filetype.pm"  # the host's file-type list: without it start-up shows a message
  python3 - "$run" "$n" "$(to_windows "$run/quotes")" <<'PY'
import os, sys
view = os.environ.get("VOSKO_BENCH_VIEW", "3")
run, n, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
records = []
for i in range(n):
    name = f"quotes{i:05d}.lsq"
    with open(f"{run}/quotes/{name}", "wb") as f:
        f.write(f"## generated\r\n@@TITLE=Collection {i}\r\n@@AUTHOR=Author {i % 97}\r\n\r\nA quote.\r\n\r\nAnother one.\r\n".encode())
    records.append(f"{name}=07EA,0C,05,0E,{i % 60:02X},{i % 300:x}\r\n")
with open(f"{run}/home/Tarno.pm", "wb") as f:
    f.write(f"[Vosko]\r\nQuoteFolder={folder}\r\nViewOption={view}\r\nVoskoVersion=1.10\r\n[VoskoFiles]\r\n".encode())
    f.write("".join(records).encode())
PY
  echo "== $n quote files"
  "$root/scripts/wine-run.sh" "$work/vosko_scan_bench.exe" "$(to_windows "$run/home")"
done

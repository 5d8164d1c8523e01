#!/usr/bin/env bash
# The extension on hostile settings files and quote folders, under Wine on the 64-bit build:
#   records   Tarno.pm with 100,000 [VoskoFiles] records, a folder of 20,000 quote files of
#             which 1,000 are held open without sharing (as another program holding them
#             would), so that they cannot be opened
#   garbage   Tarno.pm of 5 MB of binary garbage (it names no quote folder, so the quote
#             files are in the home directory, the default folder)
#   small     2,000 quote files (100 held), 10,000 records
# Prints how long start-up, the list and closing took and which messages came up, then
# checks that closing kept every record the settings file held.
#
#   scripts/scale.sh [BUILD_DIR] [CASE...]     (default build/win64; records garbage small)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/win64}
[[ $# -gt 0 ]] && shift
cases=("$@")
[[ ${#cases[@]} -gt 0 ]] || cases=(records garbage small)
# shellcheck source=scripts/bench-lib.sh
source "$root/scripts/bench-lib.sh"
bench_prepare "$build" vosko_scale_bench

for case in "${cases[@]}"; do
  case $case in
    records) files=20000 held=1000 records=100000 ;;
    garbage) files=20000 held=1000 records=garbage ;;
    small) files=2000 held=100 records=10000 ;;
    *) echo "unknown case $case" >&2; exit 2 ;;
  esac
  run=$work/$case
  mkdir -p "$run/home"
  if [[ $records == garbage ]]; then ln -s home "$run/quotes"; else mkdir -p "$run/quotes"; fi
  : >"$run/home/filetype.pm"  # the host's file-type list: without it start-up shows a message
  python3 - "$run" "$files" "$held" "$records" "$(to_windows "$run/quotes")" "${VOSKO_SCALE_VIEW:-0}" <<'PY'
import os, random, sys
run, files, held, records, folder, view = sys.argv[1:]
files, held = int(files), int(held)
step = files // held
with open(f"{run}/hold.txt", "w") as hold:
    for i in range(files):
        name = f"quotes{i:05d}.lsq"
        with open(f"{run}/quotes/{name}", "wb") as f:
            f.write(f"## generated\r\n@@TITLE=Collection {i}\r\n@@AUTHOR=Author {i % 97}\r\n\r\nA quote.\r\n\r\nAnother.\r\n".encode())
        if i % step == step - 1:
            hold.write(folder + "\\" + name + "\r\n")
settings = f"{run}/home/Tarno.pm"
if records == "garbage":
    random.seed(23)
    with open(settings, "wb") as f:
        f.write(random.randbytes(5 * 1024 * 1024))
else:
    with open(settings, "wb") as f:
        f.write(f"[Vosko]\r\nQuoteFolder={folder}\r\nViewOption={view}\r\nVoskoVersion=1.10\r\n[VoskoFiles]\r\n".encode())
        # The folder's files first, then records of files long gone.
        f.write("".join(f"quotes{i:05d}.lsq=07EA,0C,05,0E,{i % 60:02X},{i % 300:x}\r\n"
                        for i in range(int(records))).encode())
PY
  cp "$run/home/Tarno.pm" "$run/before.pm"
  echo "== $case: $files quote files, $held held open, settings: $records"
  "$root/scripts/wine-run.sh" "$work/vosko_scale_bench.exe" "$(to_windows "$run/home")" "$run/hold.txt" 2>/dev/null
  python3 - "$run/before.pm" "$run/home/Tarno.pm" <<'PY'
import sys
def records(path):
    out, inside = {}, False
    for line in open(path, "rb").read().split(b"\n"):
        line = line.strip()
        if line.startswith(b"["):
            inside = line.lower() == b"[voskofiles]"
        elif inside and b"=" in line:
            key, value = line.split(b"=", 1)
            out.setdefault(key.strip().lower(), value.strip())
    return out
before, after = records(sys.argv[1]), records(sys.argv[2])
lost = [k for k, v in before.items() if after.get(k) != v]
print(f"records: {len(before)} before, {len(after)} after closing, {len(lost)} lost or changed")
sys.exit(1 if lost else 0)
PY
done

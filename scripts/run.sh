#!/usr/bin/env bash
# Builds the extension and opens it in the stand-in host on a copy of the bundled sample
# quote folder. With a display it opens a window there; without one it runs under Xvfb
# and saves a screenshot, printing its path.
#
#   scripts/run.sh [--screenshot FILE.png] [voskohost options...]
set -Eeuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

shot=""
if [[ ${1:-} == --screenshot ]]; then shot=$2; shift 2; fi

# Where the kernel runs no 32-bit code (the set-up exits 3), the 64-bit build of the same
# sources is shown under wine64.
tree=win32
if [[ -z ${VOSKO_SKIP_SETUP:-} ]]; then
  sudo_=(); [[ $(id -u) -eq 0 ]] || sudo_=(sudo)
  rc=0; "${sudo_[@]}" bash scripts/setup.sh || rc=$?
  if [[ $rc -eq 3 ]]; then tree=win64; elif [[ $rc -ne 0 ]]; then exit "$rc"; fi
elif [[ ! -x /usr/lib/wine/wine ]]; then
  tree=win64
fi
cmake --preset "$tree" >/dev/null
cmake --build --preset "$tree" -j "$(nproc 2>/dev/null || echo 2)" --target vosko voskohost >/dev/null

# A home mailbox of its own, with the sample quotes as the quote folder.
run_dir=$root/build/run
home=$run_dir/home
quotes=$run_dir/quotes
mkdir -p "$home" "$quotes"
cp -n samples/quotes/*.lsq "$quotes"/ 2>/dev/null || true
cp "build/$tree/src/vosko.dll" "build/$tree/host/voskohost.exe" "$run_dir"/

to_windows() { printf 'Z:%s' "${1//\//\\}"; }
# The mail client keeps its list of file types there; without one every start says so.
[[ -f $home/filetype.pm ]] || : >"$home/filetype.pm"
if [[ ! -f $home/Tarno.pm ]]; then
  printf '[Vosko]\r\nQuoteFolder=%s\r\nViewOption=3\r\nVoskoVersion=1.10\r\n' "$(to_windows "$quotes")" >"$home/Tarno.pm"
fi

args=(--home "$(to_windows "$home")" "$@")
if [[ -n ${DISPLAY:-} && -z $shot ]]; then
  # shellcheck source=scripts/wine-env.sh
  source scripts/wine-env.sh
  use_wine_prefix "$root/build/wineprefix-x11" x11
  exec wine "$run_dir/voskohost.exe" "${args[@]}"
fi
shot=${shot:-$root/build/screenshots/vosko.png}
mkdir -p "$(dirname "$shot")"
bash scripts/screenshot.sh "$shot" -- "$run_dir/voskohost.exe" "${args[@]}"
echo "screenshot: $shot"

# shellcheck shell=bash
# Shared by the benchmark scripts that run programs of bench/wine under Wine (sourced).

# bench_prepare BUILD_DIR PROGRAM...: builds vosko.dll and the named bench programs, and copies
# them into a fresh folder, named in $work and removed on exit unless VOSKO_BENCH_KEEP is set.
bench_prepare() {
  local build=$1 program
  shift
  cmake --build "$build" --target vosko "$@" >/dev/null
  work=$(mktemp -d "${TMPDIR:-/tmp}/vosko-bench.XXXXXX")
  [[ -n ${VOSKO_BENCH_KEEP:-} ]] || trap 'rm -rf "$work"' EXIT
  cp "$build/src/vosko.dll" "$work"/
  for program in "$@"; do cp "$build/bench/wine/$program.exe" "$work"/; done
}

# A Linux path as Wine's drive Z: names it.
to_windows() { printf 'Z:%s' "${1//\//\\}"; }

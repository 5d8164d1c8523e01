# shellcheck shell=bash
# Sourced by the scripts that start Windows programs under Wine.
#
#   use_wine_prefix PREFIXDIR null|x11 [force]
#
# Makes the prefix once (under a lock, so parallel callers make it once; with
# "force" even when one exists, for a prefix that must be made again) and
# exports what every Wine start here needs: the prefix, quiet debug output,
# no Mono/Gecko installers, and a crash that ends the program instead of
# waiting in the debugger.  Overrides the caller gives come last and win.
use_wine_prefix() {
    local prefix=$1 mode=$2 force=${3:-}
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    if [[ ! -f $prefix/.vosko-prefix || -n $force ]]; then
        mkdir -p "$(dirname "$prefix")"
        (
            flock 9
            "$here/wine-prefix.sh" "$prefix" "$mode"
        ) 9>"$prefix.lock"
    fi
    export WINEPREFIX=$prefix
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
}

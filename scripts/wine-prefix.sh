#!/usr/bin/env bash
# Creates a Wine prefix for running Vosko's 32-bit test programs.
#
#   scripts/wine-prefix.sh PREFIXDIR [null|x11]
#
#   null (default)  Graphics=null: windows exist and work but nothing is
#                   drawn and no X server is needed.  Used by ctest.
#   x11             the normal X11 driver, Wine's fonts copied into the
#                   prefix.  Used for screenshots under Xvfb.
#
# PREFIXDIR belongs in the build tree (build/wineprefix-null, ...), never in
# ~/.wine.  The prefix is created once: a stamp file inside marks it done,
# and a later call returns at once.  A directory left half made by an
# interrupted run is removed and made again.  Prints nothing on success.
#
# A prefix made before the 32-bit Wine runtime was in place (see
# scripts/setup.sh) can never run 32-bit programs.  The stamp records
# whether the runtime was there; a prefix stamped "win32=no" is made again
# once the runtime has appeared, and with the runtime present a prefix
# without its 32-bit side is an error.
set -Eeuo pipefail

usage() { echo "usage: $0 PREFIXDIR [null|x11]" >&2; exit 2; }
[[ $# -ge 1 && $# -le 2 ]] || usage
mode=${2:-null}
[[ $mode == null || $mode == x11 ]] || usage

[[ -n $1 ]] || usage
mkdir -p "$(dirname -- "$1")"
prefix=$(cd "$(dirname -- "$1")" && pwd)/$(basename -- "$1")
home_wine=
[[ -n ${HOME:-} ]] && home_wine=$(cd "$HOME" 2>/dev/null && pwd -P)/.wine
if [[ $prefix == / || $prefix == "$home_wine" || $prefix == "${HOME:-/nonexistent}/.wine" ]] ||
    [[ -e $prefix && -n $home_wine && $prefix -ef $home_wine ]]; then
    echo "$0: refusing to use $prefix as a prefix; put it in the build tree" >&2
    exit 2
fi

# The 32-bit loader; scripts/setup.sh installs it only where it can run.
have_win32=no
[[ -x /usr/lib/wine/wine ]] && have_win32=yes

stamp=$prefix/.vosko-prefix
if [[ -f $stamp ]]; then
    made_as=$(sed -n 's/^mode=//p' "$stamp")
    made_win32=$(sed -n 's/^win32=//p' "$stamp")
    if [[ $made_as != "$mode" ]]; then
        echo "$0: $prefix was made for '$made_as', not '$mode'" >&2
        exit 1
    fi
    if [[ $made_win32 == yes || $have_win32 == no ]]; then
        exit 0
    fi
    # Made before the 32-bit runtime existed: make it again.
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
    rm -f "$stamp"
fi

if [[ -e $prefix ]]; then
    # Half made by an interrupted run: remove it, but only if it is a prefix
    # (or empty), so that a wrong argument cannot delete anything else.
    if [[ -f $prefix/system.reg || -d $prefix/drive_c || -z $(ls -A "$prefix") ]]; then
        rm -rf "$prefix"
    else
        echo "$0: $prefix exists and is not a Wine prefix" >&2
        exit 1
    fi
fi

log=$(mktemp /tmp/vosko-wine-prefix.XXXXXX.log)
trap 'rm -f "$log"' EXIT
fail() {
    echo "$0: $* (prefix $prefix)" >&2
    tail -n 30 "$log" >&2 || true
    exit 1
}
trap 'fail "command failed: $BASH_COMMAND"' ERR

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# wineboot needs no display in null mode; a stale DISPLAY would only slow
# it down while it tries to reach that X server.
[[ $mode == null ]] && unset DISPLAY

start=$(date +%s.%N)
mkdir -p "$prefix"
wineboot -i >>"$log" 2>&1 || fail "wineboot -i failed"

if [[ $have_win32 == yes && ! -f $prefix/drive_c/windows/syswow64/user32.dll ]]; then
    fail "the prefix has no 32-bit Windows side although the 32-bit loader is installed"
fi

# No crash dialog: a crashing test program must end, not wait for a click.
# Graphics=null: windows are created and behave, nothing is drawn.
# One reg.exe run sets both.
regfile=$prefix/drive_c/vosko-settings.reg
{
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
    if [[ $mode == null ]]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n\r\n'
    fi
} >"$regfile"
wine reg import 'C:\vosko-settings.reg' >>"$log" 2>&1 || fail "cannot import the prefix settings"
rm -f "$regfile"

case $mode in
x11)
    fonts=$prefix/drive_c/windows/Fonts
    mkdir -p "$fonts"
    # Wine does not look in /usr/share/wine/fonts for a new prefix's fonts.
    cp -f /usr/share/wine/fonts/* "$fonts/" 2>>"$log" || fail "cannot copy /usr/share/wine/fonts"
    ;;
esac

# The desktop process started by wineboot still uses the old driver: stop
# the server so that the next program starts with the settings above, and
# wait until it has written the registry out.
wineserver -k >>"$log" 2>&1 || true
wineserver -w >>"$log" 2>&1 || true

if ! grep -q '^"ShowCrashDialog"=dword:00000000' "$prefix/user.reg"; then
    fail "ShowCrashDialog=0 did not reach user.reg"
fi
if [[ $mode == null ]] && ! grep -q '^"Graphics"="null"' "$prefix/user.reg"; then
    fail "Graphics=null did not reach user.reg"
fi

end=$(date +%s.%N)
{
    echo "mode=$mode"
    echo "win32=$have_win32"
    echo "created=$(date -Is)"
    echo "seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')"
    echo "wine=$(wine --version 2>/dev/null || echo unknown)"
} >"$stamp.tmp"
mv "$stamp.tmp" "$stamp"

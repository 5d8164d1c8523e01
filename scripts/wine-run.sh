#!/usr/bin/env bash
# Runs a Windows test program under Wine; ctest uses it as the
# CMAKE_CROSSCOMPILING_EMULATOR of the Windows build.
#
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
#
# Prefix: $WINEPREFIX if set, else $VOSKO_WINEPREFIX, else
# <repo>/build/wineprefix-null.  A missing prefix is made first (null
# graphics driver, see wine-prefix.sh); a lock keeps parallel ctest jobs
# from making it twice.  Arguments are passed unchanged: Wine maps the
# Linux file system to drive Z:, so Linux paths work as they are.
#
# The exit code is the program's.  126 means the program could not be run
# at all: a 32-bit program on a machine without a working 32-bit Wine
# runtime (scripts/setup.sh installs it where the kernel allows).
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
prefix=${WINEPREFIX:-${VOSKO_WINEPREFIX:-$repo/build/wineprefix-null}}

program=$1
if [[ ! -f $program ]]; then
    echo "$0: no such program: $program" >&2
    exit 126
fi

# PE machine type: 0x014c is i386.  Without the 32-bit loader, Wine fails
# on such a program with a message that does not say why.
pe_machine() {
    local off
    off=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    [[ -n $off ]] || return 0
    od -An -t x2 -j $((off + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}
if [[ ! -x /usr/lib/wine/wine && $(pe_machine "$program") == 014c ]]; then
    echo "$0: $program is a 32-bit Windows program and this machine has no" \
        "32-bit Wine runtime (scripts/setup.sh; exit code 3 there means the kernel cannot run 32-bit code)" >&2
    exit 126
fi

# A prefix made before the 32-bit loader was in place cannot run 32-bit programs:
# wine-prefix.sh makes it again when asked.
remake=""
if [[ -f $prefix/.vosko-prefix && -x /usr/lib/wine/wine ]] && ! grep -qx 'win32=yes' "$prefix/.vosko-prefix"; then
    remake=force
fi
# shellcheck source=scripts/wine-env.sh
source "$here/wine-env.sh"
use_wine_prefix "$prefix" null $remake

# A 64-bit program starts with wine64 itself: plain wine would first start the 32-bit
# loader (about half a second more under emulation).
if [[ $(pe_machine "$program") == 8664 ]]; then
    exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"

#!/usr/bin/env bash
# Runs a Windows program under Wine on an X server and saves a screenshot.
#
#   scripts/screenshot.sh OUT.png [--wait SECONDS] -- PROGRAM.exe [ARGS...]
#
# Without $DISPLAY it starts its own Xvfb (1280x1024x24, first free display
# from :99 up) and stops it afterwards.  The prefix is
# $VOSKO_WINEPREFIX_X11 or <repo>/build/wineprefix-x11 (x11 driver, Wine's
# fonts copied in; made on first use).  The program is started in the
# background; once something is drawn, the screen is captured after --wait
# seconds more (default 4), each top-level window by itself over the root
# window's image, then every process of that prefix is ended.  Xvfb has no
# window manager: windows have no frames and stay where the program puts them.
set -euo pipefail

usage() {
    echo "usage: $0 OUT.png [--wait SECONDS] -- PROGRAM.exe [ARGS...]" >&2
    exit 2
}

[[ $# -ge 3 ]] || usage
out=$1
shift
wait_s=4
while [[ $# -gt 0 && $1 != -- ]]; do
    case $1 in
    --wait)
        [[ $# -ge 2 && $2 =~ ^[0-9]+([.][0-9]+)?$ ]] || usage
        wait_s=$2
        shift 2
        ;;
    *) usage ;;
    esac
done
[[ ${1:-} == -- && $# -ge 2 ]] || usage
shift
program=$1
[[ -f $program ]] || { echo "$0: no such program: $program" >&2; exit 2; }

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
prefix=${VOSKO_WINEPREFIX_X11:-$repo/build/wineprefix-x11}
work=$(mktemp -d /tmp/vosko-screenshot.XXXXXX)
xvfb_pid=
wine_pid=
wine_started=0

cleanup() {
    if ((wine_started)); then
        WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
        [[ -z $wine_pid ]] || wait "$wine_pid" 2>/dev/null || true
        WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]]; then
    # Xvfb refuses a display whose lock file exists; try the next one.
    for n in $(seq 99 199); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            [[ -S /tmp/.X11-unix/X$n ]] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.05
        done
        if [[ -S /tmp/.X11-unix/X$n ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
            export DISPLAY=:$n
            break
        fi
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    done
    [[ -n ${DISPLAY:-} ]] || { echo "$0: could not start Xvfb" >&2; cat "$work/xvfb.log" >&2; exit 1; }
fi

# shellcheck source=scripts/wine-env.sh
source "$here/wine-env.sh"
use_wine_prefix "$prefix" x11

wine_started=1
wine "$@" >"$work/program.log" 2>&1 &
wine_pid=$!
# A 32-bit program under user-mode emulation can take many seconds to show its first
# window: wait (up to two minutes) until the screen holds more than one colour, then give
# it --wait seconds to finish drawing.
for _ in $(seq 120); do
    kill -0 "$wine_pid" 2>/dev/null || break
    colours=$(xwd -root -silent | xwdtopnm 2>/dev/null | ppmhist -noheader 2>/dev/null | wc -l)
    ((colours > 1)) && break
    sleep 1
done
sleep "$wait_s"

if ! kill -0 "$wine_pid" 2>/dev/null; then
    rc=0
    wait "$wine_pid" || rc=$?
    wine_pid=
    echo "$0: note: the program had already exited (code $rc) before the capture" >&2
    tail -n 20 "$work/program.log" >&2
fi

# Under Xvfb without a window manager, an image of the root window shows black where a
# Wine window (a dialog, a message box) lies over another window, although that window's
# own image is right: so every viewable top-level window is captured by itself and pasted
# over the root's image, from the bottom of the stack to the top.
capture() {
    local id info x y w h screen_w screen_h
    xwd -root -silent | xwdtopnm 2>/dev/null >"$work/screen.pnm"
    read -r screen_w screen_h < <(xwininfo -root | awk -F: '/^ *Width/{w=$2} /^ *Height/{h=$2} END{print w+0, h+0}')
    while read -r id; do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        grep -q 'Map State: IsViewable' <<<"$info" || continue
        read -r x y w h < <(awk -F: '/Absolute upper-left X/{x=$2} /Absolute upper-left Y/{y=$2}
            /^ *Width/{w=$2} /^ *Height/{h=$2} END{print x+0, y+0, w+0, h+0}' <<<"$info")
        # Only windows wholly on the screen can be read; the others keep the root's image.
        ((w > 1 && h > 1 && x >= 0 && y >= 0 && x + w <= screen_w && y + h <= screen_h)) || continue
        xwd -id "$id" -silent 2>/dev/null | xwdtopnm 2>/dev/null >"$work/window.pnm" || continue
        pnmpaste "$work/window.pnm" "$x" "$y" "$work/screen.pnm" >"$work/next.pnm" 2>/dev/null || continue
        mv "$work/next.pnm" "$work/screen.pnm"
    done < <(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p' | tac)  # listed top first
    pnmtopng "$work/screen.pnm"
}

mkdir -p "$(dirname -- "$out")"
capture >"$out.tmp"
mv "$out.tmp" "$out"

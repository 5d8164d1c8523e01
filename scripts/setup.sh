#!/usr/bin/env bash
# Prepares a Debian 12 (amd64) machine to build and test Vosko:
#   - native tool chain and test libraries (cmake, ninja, g++, GoogleTest,
#     Google Benchmark, clang + libFuzzer runtime, python3),
#   - the i686 mingw-w64 cross tool chain (gcc, g++, windres), and the
#     x86_64 one for the win64 test tree,
#   - Wine with a 32-bit loader that can run 32-bit GUI code, Xvfb and the
#     tools used for screenshots (xwd, netpbm), Wine's fonts,
#   - where the kernel runs no 32-bit x86 code: qemu-user (from
#     bookworm-backports) registered with binfmt_misc for i386 ELF files, and a
#     small library that gives the emulated loader's fault handlers the trap
#     number qemu leaves out (scripts/wine-trapno.c),
#   - fortune-mod (its strfile is a benchmark reference).
#
# Run as root.  Idempotent: every step is skipped when already done, so a
# second run takes a few seconds.  Prints nothing on success; on failure it
# names the step and shows the end of the log.
#
# The full log and the duration of each step go to $VOSKO_SETUP_STATE
# (default /var/lib/vosko-setup): setup.log and timings.
#
#   scripts/setup.sh                 install and verify
#   scripts/setup.sh -v              same, printing each step's duration
#   scripts/setup.sh --remove-wine32 remove the unpacked 32-bit Wine runtime
#
# Exit codes: 0 done; 1 a step failed; 3 this machine can run no 32-bit x86
# code at all: the kernel refuses it and binfmt_misc cannot be set up for
# qemu-user (a container without the right to mount it, say).
# VOSKO_SETUP_SKIP_WIN32=1 installs the packages only and leaves out the
# 32-bit runtime and its check.
set -Eeuo pipefail
export DEBIAN_FRONTEND=noninteractive
export LC_ALL=C

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
STATE_DIR=${VOSKO_SETUP_STATE:-/var/lib/vosko-setup}
CACHE_DIR=${VOSKO_SETUP_CACHE:-/var/cache/vosko-setup}
LOG=$STATE_DIR/setup.log
VERBOSE=0
ACTION=install
case ${1:-} in
'') ;;
-v) VERBOSE=1 ;;
--remove-wine32) ACTION=remove ;;
*) echo "usage: $0 [-v | --remove-wine32]" >&2; exit 2 ;;
esac

APT_PACKAGES=(
    cmake ninja-build g++ python3
    googletest libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
    libz-mingw-w64
    # The win64 tree (cmake/mingw-x86_64.cmake): the Windows tests built for
    # wine64, for kernels that cannot run 32-bit code.
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 libwine fonts-wine
    xvfb x11-apps netpbm
    # screenshot.sh lists the windows it captures one by one (xwininfo).
    x11-utils
    fortune-mod
    # scripts/release.sh packs and checks the release zip.
    zip unzip
    # chmcmd compiles the help file vosko.chm; chmls lists it for its check.
    fp-utils
    # Adds the fault-number library to the emulated 32-bit loader.
    patchelf
    # Loaded at run time by the 64-bit x11 driver (explorer.exe draws the
    # desktop); without --no-install-recommends apt would also pull in
    # wine32:i386, which cannot be installed here (see below).
    libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1
    libxcomposite1 libxxf86vm1
)

# The 32-bit half of Wine is unpacked from Debian's i386 packages instead
# of being installed: the i386 security index does not download on these
# machines, and the version skew that follows makes apt want to remove many
# amd64 packages.  Unpacking only the files is enough for the loader.
I386_WINE_PACKAGES=(wine32 libwine)
I386_LIB_PACKAGES=(
    libc6 libfreetype6 libpng16-16 libbrotli1 zlib1g libfontconfig1 libexpat1
    # x11 driver
    libx11-6 libxcb1 libxau6 libxdmcp6 libbsd0 libmd0 libxext6 libxrender1
    libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1 libxcomposite1
    libxxf86vm1
)
WINE32_STAMP=$STATE_DIR/wine32-runtime.stamp
WINE32_FILES=$STATE_DIR/wine32-runtime.files
OVERRIDES="mscoree,mshtml=;winedbg.exe=d"

# ---------------------------------------------------------------- helpers
current_step=start
step_start=0

die() {
    echo "setup.sh: FAILED in step '$current_step': $*" >&2
    if [[ -s $LOG ]]; then
        echo "---- last lines of $LOG ----" >&2
        tail -n 40 "$LOG" >&2
    fi
    exit 1
}
trap 'die "command failed (line $LINENO): $BASH_COMMAND"' ERR

begin() {
    current_step=$1
    step_start=$(date +%s.%N)
    echo "== $(date -Is) $current_step" >>"$LOG"
}

end() {
    local now secs
    now=$(date +%s.%N)
    secs=$(awk -v a="$step_start" -v b="$now" 'BEGIN { printf "%.1f", b - a }')
    printf '%s\t%s\t%ss\n' "$(date -Is)" "$current_step${1:+ ($1)}" "$secs" >>"$STATE_DIR/timings"
    if ((VERBOSE)); then
        printf '%-28s %6ss\n' "$current_step${1:+ ($1)}" "$secs" >&2
    fi
}

run() { "$@" >>"$LOG" 2>&1; }

# apt-get update fails as a whole when one index does not download (the
# i386 security index, or a third-party source this machine cannot reach);
# the indexes that matter still arrive, so the failure is only logged.
apt_update() {
    run apt-get update || echo "(apt-get update reported errors; going on)" >>"$LOG"
}

# ------------------------------------------------------------------ steps
[[ $(id -u) -eq 0 ]] || { echo "setup.sh: run as root" >&2; exit 1; }
mkdir -p "$STATE_DIR" "$CACHE_DIR"
: >"$LOG"

install_packages() {
    begin "apt packages"
    local missing=() p
    declare -A state=()
    while read -r p status; do
        state[$p]=$status
    done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${APT_PACKAGES[@]}" 2>/dev/null || true)
    for p in "${APT_PACKAGES[@]}"; do
        [[ ${state[$p]:-} == installed ]] || missing+=("$p")
    done
    if ((${#missing[@]} == 0)); then
        end skipped
        return
    fi
    apt_update
    run apt-get install -y --no-install-recommends "${missing[@]}" ||
        die "apt-get install ${missing[*]}"
    end "${#missing[@]} installed"
}

# Path of the zlib1.dll that the 32-bit Wine side loads (its user32 needs it).
i386_zlib_target=/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll
mingw_zlib_source() {
    local f
    for f in /usr/i686-w64-mingw32/lib/zlib1.dll /usr/i686-w64-mingw32/bin/zlib1.dll; do
        [[ -f $f ]] && { echo "$f"; return 0; }
    done
    f=$(dpkg -L libz-mingw-w64 2>/dev/null | grep -m1 '/i686-w64-mingw32/.*zlib1\.dll$' || true)
    [[ -n $f && -f $f ]] && { echo "$f"; return 0; }
    return 1
}

# Removes every file that install_wine32_runtime copied into /usr (none of
# them belongs to an installed package), leaving wine64 as it was.
remove_wine32_runtime() {
    if [[ -f $WINE32_FILES ]]; then
        # Files shared with the amd64 packages (Wine's data files) stay.
        local owned
        owned=$(mktemp)
        sed -n 's|^/||p' /var/lib/dpkg/info/*.list | sort -u >"$owned"
        sort -u "$WINE32_FILES" | comm -23 - "$owned" | sed 's|^|/|' |
            xargs -r -d '\n' rm -f
        rm -f "$owned"
        find /usr/lib/i386-linux-gnu -depth -type d -empty -delete 2>/dev/null || true
    fi
    rm -f "$WINE32_STAMP" "$WINE32_FILES" "$STATE_DIR"/wine-check-*.stamp
}

# Can this kernel execute 32-bit x86 code?  Some kernels are built or booted
# with IA-32 emulation off: a 32-bit ELF then fails with "Exec format
# error", and the 32-bit user code segment that Wine's WoW64 mode would
# switch to is missing as well, so no 32-bit Windows program can run.
# The probe is a three-instruction static i386 program (exit(0) through
# int 0x80), assembled with the host binutils.
kernel_runs_ia32() {
    local dir rc=0
    dir=$(mktemp -d /tmp/vosko-ia32-probe.XXXXXX)
    # shellcheck disable=SC2016 # assembly text, nothing to expand
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $0, %%ebx\n int $0x80\n' >"$dir/p.s"
    if ! as --32 -o "$dir/p.o" "$dir/p.s" >>"$LOG" 2>&1 ||
        ! ld -m elf_i386 -o "$dir/p" "$dir/p.o" >>"$LOG" 2>&1; then
        rm -rf "$dir"
        die "cannot assemble the i386 probe (binutils)"
    fi
    "$dir/p" >>"$LOG" 2>&1 || rc=$?
    rm -rf "$dir"
    return $rc
}

# A loader this machine cannot execute would make Wine's own tools (wineboot)
# fail for 64-bit programs too: take out anything an earlier run unpacked.
remove_unrunnable_loader() {
    if [[ -f $WINE32_FILES || -e /usr/lib/wine/wine ]] && ! dpkg -S /usr/lib/wine/wine >/dev/null 2>&1; then
        remove_wine32_runtime
        rm -f /usr/lib/wine/wine
    fi
}

no_ia32() {
    remove_unrunnable_loader
    cat >&2 <<MSG
setup.sh: this machine cannot run 32-bit x86 code: the kernel has IA-32
  emulation disabled (a 32-bit ELF fails with "Exec format error"; kernel
  $(uname -r)), and user-mode emulation cannot stand in: ${1:-unknown reason}.
  Everything else is installed, and 64-bit Windows programs, GUI included,
  run under wine64 (checked above).
  (VOSKO_SETUP_SKIP_WIN32=1 leaves this step out and exits 0.)
MSG
    exit 3
}

# ------------------------------------------------ 32-bit code by emulation
# Some kernels here refuse 32-bit code (IA-32 emulation off; 32-bit code
# segments fault too, so no WoW64 mode helps).  qemu-user can run the 32-bit
# loader instead, registered with binfmt_misc for i386 ELF files.  The
# backports build: bookworm's qemu 7.2 takes 45-72 s to start each 32-bit Wine
# process (Wine's address-space reservation is ~135,000 mmap calls there).
BINFMT=/proc/sys/fs/binfmt_misc
QEMU=/usr/bin/qemu-i386
QEMU_MIN_MAJOR=10
BACKPORTS_SOURCE=/etc/apt/sources.list.d/vosko-backports.sources
TRAPNO_LIB=/usr/lib/i386-linux-gnu/libvosko-trapno.so
IA32_EMULATED=0
# The i386 ELF magic and mask that Debian's own qemu-user-binfmt registers.
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

qemu_major() {
    local v
    v=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
    v=${v#*:}
    echo "${v%%.*}"
}

# The registration's stamp: the qemu binary it was made with.  With flag F the
# kernel keeps the file it opened at registration, so an upgraded qemu needs a
# new registration.
qemu_stamp() { stat -c '%i %Y %s' "$QEMU" 2>/dev/null; }

binfmt_registered() {
    [[ -f $BINFMT/vosko-qemu-i386 ]] && grep -qx enabled "$BINFMT/vosko-qemu-i386" &&
        grep -qx "interpreter $QEMU" "$BINFMT/vosko-qemu-i386" &&
        [[ -f $STATE_DIR/binfmt.stamp && $(cat "$STATE_DIR/binfmt.stamp") == "$(qemu_stamp)" ]]
}

setup_ia32_emulation() {
    begin "32-bit code by emulation"
    if [[ ! -f $BINFMT/register ]]; then
        mount -t binfmt_misc binfmt_misc "$BINFMT" >>"$LOG" 2>&1 || true
    fi
    if binfmt_registered; then
        IA32_EMULATED=1
        end "registered"
        return
    fi
    # Registered by an earlier run but stale (qemu upgraded): probe without it.
    if [[ -f $BINFMT/vosko-qemu-i386 ]]; then echo -1 >"$BINFMT/vosko-qemu-i386"; fi
    if kernel_runs_ia32; then
        end "kernel runs it"
        return
    fi
    if [[ ! -f $BINFMT/register ]]; then
        ia32_missing="binfmt_misc is not available and cannot be mounted"
        remove_unrunnable_loader
        end "impossible"
        return
    fi
    local major
    major=$(qemu_major || echo 0)
    if ((major < QEMU_MIN_MAJOR)); then
        if [[ ! -f $BACKPORTS_SOURCE ]]; then
            printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' \
                'Suites: bookworm-backports' 'Components: main' \
                'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' >"$BACKPORTS_SOURCE"
        fi
        apt_update
        run apt-get install -y -t bookworm-backports --no-install-recommends qemu-user ||
            die "apt-get install -t bookworm-backports qemu-user"
        major=$(qemu_major || echo 0)
        ((major >= QEMU_MIN_MAJOR)) || die "qemu-user $major.x installed; $QEMU_MIN_MAJOR or later is needed"
    fi
    # P keeps argv[0], O hands qemu the open binary, F opens qemu now, so the
    # registration works inside any mount namespace.
    printf ':vosko-qemu-i386:M::%s:%s:%s:POF' "$I386_MAGIC" "$I386_MASK" "$QEMU" >"$BINFMT/register" ||
        die "cannot register $QEMU with binfmt_misc"
    qemu_stamp >"$STATE_DIR/binfmt.stamp"
    kernel_runs_ia32 || die "32-bit programs still do not run with $QEMU registered"
    IA32_EMULATED=1
    end "qemu $major registered"
}

# qemu-user delivers fault signals to 32-bit programs with the trap number
# missing (-1), and 32-bit Wine classifies faults by it: every access
# violation would become an illegal instruction.  scripts/wine-trapno.c wraps
# Wine's fault handlers to fill the number in; it is made a needed library of
# the 32-bit loader.  Built freestanding with the 64-bit gcc against the
# unpacked i386 libc, so no i386 development packages are needed.
install_trapno_library() {
    begin "32-bit fault numbers"
    local src=$HERE/wine-trapno.c sum
    sum=$(sha256sum <"$src" | cut -c1-64)
    if [[ -f $TRAPNO_LIB && -f $STATE_DIR/trapno.stamp && $(cat "$STATE_DIR/trapno.stamp") == "$sum" ]] &&
        readelf -d /usr/lib/wine/wine | grep -q 'NEEDED.*\[libvosko-trapno\.so\]'; then
        end skipped
        return
    fi
    local tmp
    tmp=$(mktemp -d /tmp/vosko-trapno.XXXXXX)
    run gcc -m32 -O2 -fPIC -ffreestanding -nostdlib -shared -Wall -Wextra -Werror \
        -Wl,-soname,libvosko-trapno.so -o "$tmp/libvosko-trapno.so" "$src" \
        /usr/lib/i386-linux-gnu/libc.so.6 || { rm -rf "$tmp"; die "cannot build $src"; }
    install -m 644 "$tmp/libvosko-trapno.so" "$TRAPNO_LIB"
    rm -rf "$tmp"
    grep -qx "${TRAPNO_LIB#/}" "$WINE32_FILES" 2>/dev/null || echo "${TRAPNO_LIB#/}" >>"$WINE32_FILES"
    if ! readelf -d /usr/lib/wine/wine | grep -q 'NEEDED.*\[libvosko-trapno\.so\]'; then
        run patchelf --add-needed libvosko-trapno.so /usr/lib/wine/wine ||
            die "patchelf --add-needed on /usr/lib/wine/wine"
    fi
    /usr/lib/wine/wine --version >>"$LOG" 2>&1 || die "the 32-bit loader does not start with $TRAPNO_LIB"
    echo "$sum" >"$STATE_DIR/trapno.stamp"
    end
}

wine32_runtime_ok() {
    local version=$1
    [[ -f $WINE32_STAMP && $(cat "$WINE32_STAMP") == "$version" ]] &&
        [[ -x /usr/lib/wine/wine && -f /usr/lib/i386-linux-gnu/wine/i386-windows/user32.dll ]] &&
        [[ -f $i386_zlib_target ]]
}

install_wine32_runtime() {
    begin "32-bit wine runtime"
    local version
    version=$(dpkg-query -W -f='${Version}' wine64)
    if wine32_runtime_ok "$version"; then
        end skipped
        return
    fi
    kernel_runs_ia32 || no_ia32 "32-bit programs do not start"

    # i386 is added only for the download and taken out again: left in,
    # every later apt-get update would fail on the i386 security index.
    local added_arch=0
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        run dpkg --add-architecture i386
        added_arch=1
    fi
    if ! compgen -G '/var/lib/apt/lists/*_binary-i386_Packages*' >/dev/null; then
        apt_update
    fi

    local debs=$CACHE_DIR/i386-debs root=$CACHE_DIR/i386-root
    rm -rf "$debs" "$root"
    mkdir -p "$debs" "$root"
    local want=() p
    for p in "${I386_WINE_PACKAGES[@]}"; do want+=("$p:i386=$version"); done
    for p in "${I386_LIB_PACKAGES[@]}"; do want+=("$p:i386"); done
    local fetched=1
    if ! (cd "$debs" && run apt-get download "${want[@]}"); then
        # The package lists may predate the i386 architecture or the
        # installed wine version: refresh them once and try again.
        apt_update
        (cd "$debs" && run apt-get download "${want[@]}") || fetched=0
    fi
    if ((added_arch)); then
        run dpkg --remove-architecture i386
    fi
    ((fetched)) || die "apt-get download of the i386 packages (wanted wine $version)"

    local deb
    for deb in "$debs"/*.deb; do
        run dpkg-deb -x "$deb" "$root"
    done

    # /lib is a symlink to /usr/lib here: copying a real lib/ directory over
    # it would replace the link, so everything goes under usr/lib instead.
    if [[ -d $root/lib ]]; then
        mkdir -p "$root/usr/lib"
        cp -a "$root/lib/." "$root/usr/lib/"
        rm -rf "${root:?}/lib"
    fi
    # Configuration and documentation belong to the installed amd64
    # packages; the 32-bit wineserver must not replace the 64-bit one.
    rm -rf "${root:?}/etc" "$root/usr/share/doc" "$root/usr/share/doc-base" \
        "$root/usr/share/man" "$root/usr/share/lintian" "$root/usr/share/bug"
    rm -f "$root"/usr/lib/wine/wineserver* "$root"/usr/bin/wineserver*

    # libwine's install script gives the 32-bit side a zlib1.dll marked as a
    # Wine builtin; do the same from the mingw-w64 build of zlib.
    local zsrc zdst=$root$i386_zlib_target
    zsrc=$(mingw_zlib_source) || die "no i686 zlib1.dll found (package libz-mingw-w64)"
    mkdir -p "$(dirname "$zdst")"
    rm -f "$zdst"
    cp "$zsrc" "$zdst"
    { printf 'Wine builtin DLL'; head -c 16 /dev/zero; } |
        dd of="$zdst" bs=1 seek=64 conv=notrunc status=none

    [[ -x $root/usr/lib/wine/wine ]] || die "wine32 package did not provide usr/lib/wine/wine"
    (cd "$root" && find usr ! -type d | sort) >"$WINE32_FILES"
    cp -a "$root/usr/." /usr/
    rm -rf "$root" "$debs"

    if ! /usr/lib/wine/wine --version >>"$LOG" 2>&1; then
        # Leave wine64 usable rather than a loader that cannot start.
        remove_wine32_runtime
        die "/usr/lib/wine/wine --version does not run; the unpacked files were removed again"
    fi
    echo "$version" >"$WINE32_STAMP"
    end "$(wc -l <"$WINE32_FILES") files"
}

# Runs scripts/wine-check.c, a GUI-subsystem program, in a throwaway prefix
# with the null graphics driver: as a 64-bit build (wine64 alone) and, once
# the 32-bit runtime is in, as a 32-bit build.  A Wine that lacks its 32-bit
# GUI support can exit 0 and print nothing under WINEDEBUG=-all, so both the
# exit code and the program's own marker line are checked.
verify_wine_gui() {
    local bits=$1 cc
    case $bits in
    32) cc=i686-w64-mingw32-gcc ;;
    64) cc=x86_64-w64-mingw32-gcc-posix ;;
    esac
    begin "verify $bits-bit GUI"
    local src=$HERE/wine-check.c stamp=$STATE_DIR/wine-check-$bits.stamp
    local sum
    sum="$(dpkg-query -W -f='${Version}' wine64) $(sha256sum <"$src" | cut -c1-64)"
    if [[ $bits == 32 ]]; then
        sum+=" $(cat "$WINE32_STAMP" "$STATE_DIR/trapno.stamp" 2>/dev/null || true) $(qemu_stamp)"
    fi
    if [[ -f $stamp && $(cat "$stamp") == "$sum" ]]; then
        end skipped
        return
    fi
    local work
    work=$(mktemp -d /tmp/vosko-wine-check.XXXXXX)

    run "$cc" -O1 -Wall -static -mwindows -DWINE_CHECK_BITS="$bits" \
        -o "$work/wine-check.exe" "$src" -lcomctl32 ||
        die "cannot compile $src with $cc"

    local t0 t1
    t0=$(date +%s.%N)
    "$HERE/wine-prefix.sh" "$work/prefix" null >>"$LOG" 2>&1 ||
        die "cannot create a Wine prefix (scripts/wine-prefix.sh)"
    t1=$(date +%s.%N)
    printf '%s\t%s\t%ss\n' "$(date -Is)" "  of which: prefix creation" \
        "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }')" >>"$STATE_DIR/timings"

    local out rc=0
    # A 64-bit program starts with wine64 itself: plain wine would first
    # start the 32-bit loader, where one is installed.
    local loader=wine
    [[ $bits == 64 ]] && loader=/usr/lib/wine/wine64
    out=$(cd "$work" && WINEPREFIX="$work/prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="$OVERRIDES" timeout 120 "$loader" "$work/wine-check.exe" 2>>"$LOG") || rc=$?
    out=${out//$'\r'/}
    printf 'wine-check (%s-bit) exit code %s, output:\n%s\n' "$bits" "$rc" "$out" >>"$LOG"
    WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$work/prefix" wineserver -w >/dev/null 2>&1 || true
    rm -rf "$work"
    if [[ $rc -ne 0 ]] || ! grep -qx 'wine-check: ok' <<<"$out"; then
        echo "setup.sh: the $bits-bit Wine GUI runtime does NOT work." >&2
        echo "  wine-check.exe exited with $rc and printed: ${out:-<nothing>}" >&2
        echo "  (log: $LOG)" >&2
        exit 1
    fi
    echo "$sum" >"$stamp"
    end
}

if [[ $ACTION == remove ]]; then
    current_step="remove 32-bit wine runtime"
    remove_wine32_runtime
    exit 0
fi
install_packages
# Emulation first: once the 32-bit loader is installed, Wine's own tools
# (wineboot in a new prefix) start it too.
ia32_missing=""
if [[ ${VOSKO_SETUP_SKIP_WIN32:-0} != 1 ]]; then
    setup_ia32_emulation
fi
verify_wine_gui 64
if [[ ${VOSKO_SETUP_SKIP_WIN32:-0} != 1 ]]; then
    [[ -z $ia32_missing ]] || no_ia32 "$ia32_missing"
    install_wine32_runtime
    if ((IA32_EMULATED)); then install_trapno_library; fi
    verify_wine_gui 32
fi
current_step="done"

#!/usr/bin/env bash
# Checks that the Windows rescom.exe, run under Wine, writes byte for byte what the native
# rescom writes, and exits and reports the same, over a set of scripts: the writer's layout with
# CR LF, every escape, Ctrl-Z, bytes 0xFF, empty texts, script errors, a replaced output and a
# large generated script.
#
#   scripts/check-rescom-wine.sh
#
# Builds both (presets native and win32, target rescom). Where this machine cannot run 32-bit
# programs (scripts/wine-run.sh exits 126), the same sources are also built for 64-bit Windows
# (x86_64-w64-mingw32, same flags) and that program is compared instead, so the Windows side
# of the code (C runtime, file replacement) is still exercised; the output says which one ran.
# Exit code 0 when everything matched.
set -Eeuo pipefail
export LC_ALL=C

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(dirname "$HERE")
cd "$ROOT"

cmake --preset native >/dev/null
cmake --build --preset native --target rescom >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target rescom >/dev/null
NATIVE=$ROOT/build/native/rescom/rescom
WINDOWS=$ROOT/build/win32/rescom/rescom.exe
echo "rescom.exe (32-bit): $(stat -c %s "$WINDOWS") bytes"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/rescom-wine.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

probe_rc=0
"$HERE/wine-run.sh" "$WINDOWS" --help >/dev/null 2>&1 || probe_rc=$?
if [[ $probe_rc -eq 126 ]]; then
    if ! command -v x86_64-w64-mingw32-g++ >/dev/null; then
        echo "32-bit Windows programs cannot run here and there is no 64-bit mingw: not checked" >&2
        exit 1
    fi
    echo "32-bit programs cannot run on this machine: checking the same sources built for 64-bit Windows"
    out=$ROOT/build/rescom-win64
    mkdir -p "$out"
    objs=()
    for src in "$ROOT"/rescom/*.cpp; do
        obj=$out/$(basename "${src%.cpp}").o
        x86_64-w64-mingw32-g++ -std=c++20 -Os -ffunction-sections -fdata-sections \
            -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I"$ROOT/rescom" -c "$src" -o "$obj"
        objs+=("$obj")
    done
    x86_64-w64-mingw32-g++ -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections \
        -o "$out/rescom.exe" "${objs[@]}"
    WINDOWS=$out/rescom.exe
elif [[ $probe_rc -ne 0 ]]; then
    echo "rescom.exe --help failed under Wine (exit $probe_rc)" >&2
    exit 1
fi

# The scripts: each file cases/NAME.r.
mkdir -p "$WORK/cases"
python3 - "$WORK/cases" <<'EOF'
import random, sys
d = sys.argv[1]
crlf = lambda s: s.replace("\n", "\r\n")
cases = {
    "writer": crlf("\n##   command \"ResCom RQUOTES.R\" then\n##   ending with \\n wherever\n\n"
                   "headers off       #  Ignore this command\nsymbols off       #  Ignore this command.\n"
                   "\ntext x\n   {\n   \"Thought of the day:\\n\",\n   \"Be \\\"brief\\\".\\n\",\n"
                   "   \"       Short\\n\",\n   \"-- anon\\n\",\n   };\n"),
    "escapes": 'text x { "\\n\\t\\r\\a\\b\\f\\v\\\\\\"\\\'\\x41\\x4g\\xg\\101\\1011\\7\\377 C:\\q\\xff" }\n',
    "empty_texts": 'text x {} text x {""} text x {"\\n"};\r\n\x1a\x1a',
    "raw_bytes": b'text x {"caf\xe9 \xff\x80 \x1a a\rb"}\r\n'.decode("latin-1"),
    "errors": 'text x {"a",,"b"}\nproof\n"stray"\ntext {"\\400"}\ntext y {"\\0"\n',
    "nothing": "",
}
random.seed(7)
big = []
for i in range(20000):
    lines = ["".join(random.choice('abc "\\xyz#') for _ in range(random.randint(0, 60)))
             .replace("\\", "\\\\").replace('"', '\\"') for _ in range(random.randint(0, 5))]
    big.append("\r\ntext x\r\n   {\r\n" + "".join(f'   "{l}\\n",\r\n' for l in lines) + "   };\r\n")
cases["large"] = "".join(big)
for name, text in cases.items():
    open(f"{d}/{name}.r", "wb").write(text.encode("latin-1"))
EOF

failures=0
check() {  # check NAME: compile cases/NAME.r with both programs and compare everything
    local name=$1 n w
    mkdir -p "$WORK/native" "$WORK/windows"
    cp "$WORK/cases/$name.r" "$WORK/native/$name.r"
    cp "$WORK/cases/$name.r" "$WORK/windows/$name.r"
    for side in native windows; do  # an older output to replace (or, on errors, to keep)
        printf 'previous' >"$WORK/$side/$name.rsc"
    done
    n=0; (cd "$WORK/native" && "$NATIVE" "$name.r" >"$name.txt") || n=$?
    w=0; (cd "$WORK/windows" && "$HERE/wine-run.sh" "$WINDOWS" "$name.r" >"$name.txt" 2>/dev/null) || w=$?
    tr -d '\r' <"$WORK/windows/$name.txt" >"$WORK/windows/$name.lf"
    if [[ $n -ne $w ]]; then
        echo "FAIL $name: exit code native $n, Windows $w"; failures=$((failures + 1))
    elif ! cmp -s "$WORK/native/$name.rsc" "$WORK/windows/$name.rsc"; then
        echo "FAIL $name: compiled files differ"; failures=$((failures + 1))
    elif ! cmp -s "$WORK/native/$name.txt" "$WORK/windows/$name.lf"; then
        echo "FAIL $name: reports differ"; failures=$((failures + 1))
    elif [[ -e $WORK/windows/$name.rsc.tmp ]]; then
        echo "FAIL $name: temporary file left behind"; failures=$((failures + 1))
    else
        echo "ok   $name: exit $n, $(stat -c %s "$WORK/native/$name.rsc") bytes, $(head -n 1 "$WORK/native/$name.txt")"
    fi
}
for case in "$WORK"/cases/*.r; do
    check "$(basename "${case%.r}")"
done
[[ $failures -eq 0 ]] && echo "native and Windows builds agree" || exit 1

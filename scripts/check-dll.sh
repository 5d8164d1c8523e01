#!/usr/bin/env bash
# Checks the built vosko.dll as the host will see it: a 32-bit PE that exports FORMINIT by
# its plain name and imports only Windows' own DLLs (the C++ runtime is linked in).
#   scripts/check-dll.sh [build/win32/src/vosko.dll]
set -Eeuo pipefail
dll=${1:-build/win32/src/vosko.dll}
dump=$(i686-w64-mingw32-objdump -p "$dll")
fail() { echo "check-dll: $dll: $*" >&2; exit 1; }

grep -q 'file format pei-i386' <<<"$(i686-w64-mingw32-objdump -f "$dll")" || fail "not a 32-bit PE"
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&/^[ \t]*\[/{print $NF;next} on{exit}' <<<"$dump")
[[ $exports == FORMINIT ]] || fail "exports '$exports', want exactly FORMINIT"
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|OLE32|OLEAUT32|LZ32|ADVAPI32|SHLWAPI|msvcrt)\.dll$'
while read -r name; do
  [[ ${name^^} =~ ${allowed^^} ]] || fail "imports $name, which is not a Windows system DLL"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
grep -q 'RESOURCECOMPILER' < <(strings -el "$dll") || fail "no RESOURCECOMPILER resource"
echo "check-dll: $dll exports FORMINIT and imports only system DLLs"

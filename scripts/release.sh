#!/usr/bin/env bash
# Builds what a mail-client user installs: build/release/vosko-<version>/ and its zip, with
# the 32-bit vosko.dll, its help file vosko.chm, the form fact file vosko.fff and README.txt
# (Windows line ends), then checks that the zip holds them all and that its DLL is the 32-bit
# one the client can load.
#   scripts/release.sh
set -Eeuo pipefail
cd "$(dirname "$0")/.."
version=1.10
name=vosko-$version
out=build/release
folder=$out/$name

nice -n 5 cmake --preset win32 >/dev/null
nice -n 5 cmake --build --preset win32 -j2 --target vosko

rm -rf "$folder" "$out/$name.zip"
mkdir -p "$folder"
cp build/win32/src/vosko.dll "$folder/VOSKO.DLL"
# The Help buttons open the DLL's own name with .CHM.
cp build/win32/src/vosko.chm "$folder/VOSKO.CHM"
# The client and Windows editors expect CR LF.
for file in vosko.fff README.txt; do
  target=$file
  [[ $file == vosko.fff ]] && target=VOSKO.FFF
  sed 's/\r$//; s/$/\r/' "package/$file" >"$folder/$target"
done
# No licence file is shipped: the repository has none yet.
(cd "$out" && rm -f "$name.zip" && zip -q -X -r "$name.zip" "$name")

# The zip's own DLL, not the build tree's, is the one checked.
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
unzip -q "$out/$name.zip" -d "$check"
for file in VOSKO.DLL VOSKO.CHM VOSKO.FFF README.txt; do
  [[ -s $check/$name/$file ]] || { echo "release: $file is missing from the zip" >&2; exit 1; }
done
[[ $(head -c 4 "$check/$name/VOSKO.CHM") == ITSF ]] ||
  { echo "release: VOSKO.CHM in the zip is not a compiled help file" >&2; exit 1; }
scripts/check-dll.sh "$check/$name/VOSKO.DLL"
unzip -l "$out/$name.zip"
echo "release: $out/$name.zip"

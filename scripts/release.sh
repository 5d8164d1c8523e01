#!/usr/bin/env bash
# Builds what a mail-client user installs: build/release/vosko-<version>/ and its zip, with
# the 32-bit vosko.dll, the form fact file vosko.fff and README.txt (Windows line ends),
# then checks that the DLL inside the zip is the 32-bit one the client can load.
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
scripts/check-dll.sh "$check/$name/VOSKO.DLL"
unzip -l "$out/$name.zip"
echo "release: $out/$name.zip"

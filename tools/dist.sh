#!/usr/bin/env bash
# Builds the Windows preset and packs the portable folder and its zip:
# build/dist/kelvane/ and build/dist/kelvane.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows >/dev/null
cmake --build --preset windows --target kelvane -j"${JOBS:-2}"
out=build/dist/kelvane
rm -rf build/dist
mkdir -p "$out/icon"
cp build/windows/app/kelvane.exe "$out/"
cp resources/icon/*.ico "$out/icon/"
# The readme is kept in UTF-8 here and ships in the system code page.
iconv -f UTF-8 -t CP932 resources/readme.txt | sed 's/$/\r/' >"$out/readme.txt"
(cd build/dist && zip -qr kelvane.zip kelvane)
echo "dist: build/dist/kelvane.zip"

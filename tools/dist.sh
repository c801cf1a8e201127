#!/usr/bin/env bash
# Builds the Windows preset and packs the portable folder and its zip:
# build/dist/kelvane/ and build/dist/kelvane.zip.
#   --no-build        pack what $KELVANE_BUILD (default build/windows) holds
#   --out <folder>    put kelvane/ and kelvane.zip there instead of build/dist
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
dist=build/dist
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --out) dist="$2"; shift ;;
    *) echo "usage: tools/dist.sh [--no-build] [--out <folder>]" >&2; exit 2 ;;
  esac
  shift
done
bin="${KELVANE_BUILD:-build/windows}"
if [ $build = 1 ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target kelvane kelvane-update -j"${JOBS:-2}"
fi
out="$dist/kelvane"
rm -rf "$out" "$dist/kelvane.zip"
mkdir -p "$out/icon/light"
cp "$bin/app/kelvane.exe" "$bin/tools/update/kelvane-update.exe" "$out/"
cp resources/icon/*.ico "$out/icon/"
cp resources/icon/light/*.ico "$out/icon/light/"
# For Wine users: links from the system faces to the Japanese font package.
cp resources/wine-fonts.reg "$out/"
# The readme is kept in UTF-8 here and ships in the system code page.
iconv -f UTF-8 -t CP932 resources/readme.txt | sed 's/$/\r/' >"$out/readme.txt"
(cd "$dist" && zip -qr kelvane.zip kelvane)
echo "dist: $dist/kelvane.zip"

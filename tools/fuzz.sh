#!/usr/bin/env bash
# Builds the libFuzzer targets (tag reader, text list reader, ini reader) with clang and
# AddressSanitizer, seeds them with the corpus and runs each.
#   tools/fuzz.sh --short     a fixed, short number of runs (CI)
#   tools/fuzz.sh [RUNS]      longer runs by hand (default 200000)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=200000
if [ "${1:-}" = "--short" ]; then runs=20000; elif [ -n "${1:-}" ]; then runs=$1; fi
CXX=${CXX_FUZZ:-clang++-14}
command -v "$CXX" >/dev/null || CXX=clang++
out=build/fuzz
mkdir -p "$out"

flags=(-std=c++17 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -w)
common=(library/MP3Tag.cpp library/Id3v2Tag.cpp library/TextList.cpp platform/common/ErrorText.cpp platform/common/FileStamp.cpp
        platform/posix/FileSystem.cpp platform/posix/LocaleCompare.cpp
        platform/posix/LocaleLead.cpp platform/posix/LocaleText.cpp platform/common/FindEntries.cpp platform/common/ProfileFile.cpp
        platform/common/Unicode.cpp)

for target in fuzz_tag_reader fuzz_text_list fuzz_profile_file; do
  echo "fuzz: building $target"
  "$CXX" "${flags[@]}" "tests/fuzz/$target.cpp" "${common[@]}" -o "$out/$target"
  seeds="$out/$target-corpus"
  mkdir -p "$seeds"
  cp -n tests/data/corpus/taglib/* "$seeds/" 2>/dev/null || true
  [ "$target" = fuzz_tag_reader ] && cp -n tests/data/id3v2/*.mp3 "$seeds/" || true
  # A settings file is a few hundred bytes; inputs as long as a tag block
  # only make each run slower, not the search wider.
  max_len=65536
  [ "$target" = fuzz_profile_file ] && max_len=8192
  echo "fuzz: $target, $runs runs"
  "$out/$target" -runs="$runs" -max_len="$max_len" -timeout=10 -rss_limit_mb=1024 -seed=1 "$seeds" \
    >"$out/$target.log" 2>&1 || { tail -50 "$out/$target.log"; exit 1; }
  tail -2 "$out/$target.log"
done
echo "fuzz: passed"

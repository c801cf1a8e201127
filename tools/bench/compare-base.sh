#!/usr/bin/env bash
# The library's speed against an older commit's, side by side in one run:
#   tools/bench/compare-base.sh [--base=<commit>] [--rounds=n] [--native] <tracks>
# builds kelvane-bench of that commit once (from its own sources, beside this
# build), then runs it and this build's in alternation, each round on a fresh
# library, and prints the best cold build and unchanged update of each and
# their ratio. Under Wine (the Win32 code) unless --native is given.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BASE=24ebf52 ROUNDS=3 PRESET=windows
while [ $# -gt 1 ]; do
  case "$1" in
    --base=*) BASE="${1#--base=}" ;;
    --rounds=*) ROUNDS="${1#--rounds=}" ;;
    --native) PRESET=native ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
TRACKS="${1:?usage: tools/bench/compare-base.sh [--base=<commit>] [--rounds=n] [--native] <tracks>}"

sha="$(git -C "$ROOT" rev-parse --verify -q "$BASE^{commit}")" || { echo "no commit $BASE" >&2; exit 77; }
dir="$ROOT/build/$PRESET/compare-base/$sha"
exe=kelvane-bench && [ "$PRESET" = windows ] && exe=kelvane-bench.exe
old="$dir/src/build/$PRESET/tools/bench/$exe"
if [ ! -f "$old" ]; then
  echo "building kelvane-bench of ${sha:0:7} in $dir (once)" >&2
  mkdir -p "$dir/src"
  git -C "$ROOT" archive "$sha" | tar -x -C "$dir/src"
  (cd "$dir/src" && cmake --preset "$PRESET" >/dev/null &&
    cmake --build --preset "$PRESET" -j"${JOBS:-2}" --target kelvane-bench >"$dir/bench-build.log" 2>&1)
fi
(cd "$ROOT" && { [ -f "build/$PRESET/CMakeCache.txt" ] || cmake --preset "$PRESET" >/dev/null; } &&
  cmake --build --preset "$PRESET" -j"${JOBS:-2}" --target kelvane-bench >/dev/null)
new="$ROOT/build/$PRESET/tools/bench/$exe"

run() {  # <bench> -> "cold unchanged" in seconds
  local out
  if [ "$PRESET" = windows ]; then
    out="$("$ROOT/tools/wine-run.sh" "$1" --dir 'Z:\dev\shm' --targets-only --rounds 1 "$TRACKS" || true)"
  else
    out="$("$1" --dir /dev/shm --targets-only --rounds 1 "$TRACKS" || true)"
  fi
  local c u
  c="$(sed -nE 's/.*cold build of the whole library +([0-9.]+) s +floor.*/\1/p' <<<"$out")"
  u="$(sed -nE 's/.*update, nothing changed, track check on +([0-9.]+) s +floor.*/\1/p' <<<"$out")"
  echo "${c:-1e9} ${u:-1e9}"
}

best_old_c=1e9 best_old_u=1e9 best_new_c=1e9 best_new_u=1e9
min() { awk -v a="$1" -v b="$2" 'BEGIN {print (a + 0 < b + 0) ? a : b}'; }
for round in $(seq 1 "$ROUNDS"); do
  read -r c u < <(run "$old")
  best_old_c="$(min "$best_old_c" "$c")" best_old_u="$(min "$best_old_u" "$u")"
  read -r c u < <(run "$new")
  best_new_c="$(min "$best_new_c" "$c")" best_new_u="$(min "$best_new_u" "$u")"
  echo "round $round: old cold $best_old_c s, unchanged $best_old_u s; new cold $best_new_c s, unchanged $best_new_u s" >&2
done
awk -v n="$TRACKS" -v oc="$best_old_c" -v ou="$best_old_u" -v nc="$best_new_c" -v nu="$best_new_u" -v base="${sha:0:7}" 'BEGIN {
  printf "%d tracks, best of each (%s against this build)\n", n, base
  printf "  cold build         %9.3f s against %9.3f s  %5.2fx\n", nc, oc, nc / oc
  printf "  unchanged update   %9.3f s against %9.3f s  %5.2fx\n", nu, ou, nu / ou
}'

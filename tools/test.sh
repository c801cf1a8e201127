#!/usr/bin/env bash
# Runs every test: native unit tests (under AddressSanitizer and UBSan), the
# Windows build's tests under Wine (including the end-to-end tests on a
# virtual desktop), and short fuzzing runs. Installs what it needs first.
set -uo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
  tools/setup.sh || exit 1
elif sudo -n true 2>/dev/null; then
  sudo tools/setup.sh || exit 1
else
  echo "test: not root and no sudo; assuming tools/setup.sh has been run" >&2
fi

status=0
summary=()
run() {
  local name=$1; shift
  echo "=== $name"
  if "$@"; then summary+=("$name: passed"); else summary+=("$name: FAILED"); status=1; fi
}

JOBS=${JOBS:-2}
run "layering" tools/check-layers.sh
run "native build" bash -c "cmake --preset native-asan >/dev/null && cmake --build --preset native-asan -j$JOBS"
run "native tests" ctest --preset native-asan
run "windows build" bash -c "cmake --preset windows >/dev/null && cmake --build --preset windows -j$JOBS"
run "windows tests (Wine)" ctest --preset windows
if [ -x tools/fuzz.sh ]; then
  run "fuzzing (short)" tools/fuzz.sh --short
fi

echo
echo "=== summary"
printf '%s\n' "${summary[@]}"
exit $status

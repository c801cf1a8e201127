#!/usr/bin/env bash
# Runs one Windows program under Wine and passes its exit code through.
# CMake uses this as the cross-compiling emulator, so ctest runs test exes with it:
#   tools/wine-run.sh <program.exe> [args...]
# The prefix is prepared once; a private Xvfb is started when there is no display.
# Runs sharing a prefix take turns (a lock), because the end of each run stops that
# prefix's wineserver so that no stray Windows process outlives it.
set -u
if [ $# -lt 1 ]; then
  echo "usage: $0 <program.exe> [args...]" >&2
  exit 2
fi

# shellcheck source=tools/wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

kv_prefix_prepare || exit 125

exec 8>"$WINEPREFIX.run.lock"
flock -x 8

trap 'kv_wine_cleanup' EXIT
trap 'exit 130' INT TERM

kv_xvfb_start || exit 125

wine "$@"
rc=$?
# Let the program's own children end before the wineserver is stopped.
exit $rc

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
# Bounded, so that a lock that is never released fails this run instead of
# hanging every run after it.
flock -w 900 -x 8 || { kv_log "waited 15 minutes for $WINEPREFIX.run.lock"; exit 125; }
kv_wineserver_stop || exit 125

trap 'kv_wine_cleanup' EXIT
trap 'exit 130' INT TERM

kv_xvfb_start || exit 125

wine "$@" 8>&-
rc=$?
# Let Wine wind down by itself first (about two seconds once the last program has
# ended): stopping it while its services are still starting can leave one behind.
timeout 10 wineserver -w >/dev/null 2>&1
exit $rc

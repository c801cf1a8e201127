# shellcheck shell=bash
# For the stories of kelvane-update on its own under Wine, as a scheduled task
# runs it (sourced): $work holds App, Lists and Music and goes at the end.
set -u
: "${KELVANE_SOURCE:=$(cd "$(dirname "$0")/../.." && pwd)}"
: "${KELVANE_BUILD:=$KELVANE_SOURCE/build/windows}"
TOOL="$KELVANE_BUILD/tools/update/kelvane-update.exe"
[ -f "$TOOL" ] || { echo "missing $TOOL"; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/App" "$work/Lists" "$work/Music"

# A Linux path as Wine names it.
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
# The tool with these arguments, given two minutes at most (124: it hung).
tool() { timeout 120 "$KELVANE_SOURCE/tools/wine-run.sh" "$TOOL" "$@"; }

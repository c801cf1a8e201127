#!/usr/bin/env bash
# The face on a Western system once more, in a prefix of what a Linux user has
# after the README: the font packages and wine-fonts.reg, nothing else of ours
# but the virtual desktop the stories run on.
export KELVANE_BARE_PREFIX=1
: "${KELVANE_E2E_WINEPREFIX:=${KELVANE_BUILD:-$(cd "$(dirname "$0")/../.." && pwd)/build/windows}/wineprefix-e2e-bare-en_US}"
export KELVANE_E2E_WINEPREFIX
. "$(dirname "$0")/test_face_en.sh"

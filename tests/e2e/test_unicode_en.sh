#!/usr/bin/env bash
# Names in every script on a Western system (code page 1252): Japanese, Korean,
# Cyrillic and an emoji are not the code page's, Latin-1 is.
export KELVANE_LANG=en_US.UTF-8
. "$(dirname "$0")/lib.sh"
UNI_ACP=1252
. "$(dirname "$0")/unicode_story.sh"

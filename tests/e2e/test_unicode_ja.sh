#!/usr/bin/env bash
# Names in every script on a Japanese system (code page 932): Korean, Latin-1
# accents and an emoji are not the code page's, Japanese and Cyrillic are.
. "$(dirname "$0")/lib.sh"
UNI_ACP=932
. "$(dirname "$0")/unicode_story.sh"

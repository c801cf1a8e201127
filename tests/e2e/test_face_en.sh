#!/usr/bin/env bash
# The face on a Western system (code page 1252): Japanese captions read as
# Japanese, and a CP1252 library's Latin-1 names as the user wrote them.
export KELVANE_LANG=en_US.UTF-8
. "$(dirname "$0")/lib.sh"
FACE_ACP=1252
E2E_TAG_CHARSET=CP1252
FACE_ARTISTS="Beyoncé|Sigur Rós"
FACE_ALBUMS="Ágætis byrjun|Dangerously in Love"
face_library() {
  e2e_make_mp3 "$MUSIC/b1.mp3" "Crazy in Love" "Beyoncé" "Dangerously in Love"
  e2e_make_mp3 "$MUSIC/s1.mp3" "Svefn-g-englar" "Sigur Rós" "Ágætis byrjun"
  printf '%s\\%s.mp3\r\n' "$WMUSIC" b1 "$WMUSIC" s1 >"$LISTS/Mix.m3u"
}
. "$(dirname "$0")/face_story.sh"

#!/usr/bin/env bash
# The face on a Japanese system (code page 932): the same story, nothing changed.
. "$(dirname "$0")/lib.sh"
FACE_ACP=932
FACE_ARTISTS="Beta|日本の歌手"
FACE_ALBUMS="First|Second"
face_library() {
  e2e_make_mp3 "$MUSIC/b1.mp3" "Song B1" "Beta" "First"
  e2e_make_mp3 "$MUSIC/j1.mp3" "歌" "日本の歌手" "Second"
  printf '%s\\%s.mp3\r\n' "$WMUSIC" b1 "$WMUSIC" j1 >"$LISTS/Mix.m3u"
}
. "$(dirname "$0")/face_story.sh"

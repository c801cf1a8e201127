#!/usr/bin/env bash
# Runs the same session with two builds of kelvane.exe on the same library and
# compares, byte for byte, every file each leaves in its folder (kelvane.ini,
# playlist.log, playlist\ with its caches, indexes and generated playlists) and
# the command lines the player was handed. For a change that must keep the
# files as they are (the face, the code page handling):
#   tools/compare-runs.sh <reference kelvane.exe> [kelvane.exe, default: this build's]
# The session: the tray's right click, "プレイリスト更新" and its OK, a playlist and
# an artist double-clicked, the options dialog's OK, "終了". KELVANE_LANG picks
# the system (default en_US.UTF-8, code page 1252; the library's tags are CP1252
# there and Shift-JIS under ja_JP). Exit code 0 when both runs left the same bytes.
set -u
export KELVANE_LANG="${KELVANE_LANG:-en_US.UTF-8}"
REFERENCE="${1:?usage: tools/compare-runs.sh <reference kelvane.exe> [kelvane.exe]}"
. "$(dirname "$0")/../tests/e2e/lib.sh"
CANDIDATE="${2:-$KELVANE_BIN/kelvane.exe}"

e2e_setup
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Lists"
mkdir -p "$MUSIC" "$LISTS"
case "$KELVANE_LANG" in
  ja_JP*) artists=("日本の歌手" "Owl's Band" "Beta") ;;
  *) export E2E_TAG_CHARSET=CP1252; artists=("Beyoncé" "Owl's Band" "Sigur Rós") ;;
esac
e2e_make_mp3 "$MUSIC/a.mp3" "Song A" "${artists[0]}" "Album; One"
e2e_make_mp3 "$MUSIC/b.mp3" "Song B" "${artists[1]}" "Album: Two"
e2e_make_mp3 "$MUSIC/c.mp3" "Song C" "${artists[2]}" "Album; One"
WMUSIC="$(e2e_winpath "$MUSIC")"
printf '%s\\%s.mp3\r\n' "$WMUSIC" a "$WMUSIC" b "$WMUSIC" c >"$LISTS/Mix.m3u"
printf '%s\\%s.mp3\r\n' "$WMUSIC" b >"$LISTS/Owl's.m3u"
# A program whose face is Shift-JIS handed to the ANSI calls shows its captions
# as the system's code page reads those bytes: that is how the reference's
# windows are found on a system that is not Japanese.
as_shown() {  # <utf-8 text> <ansi|face>
  if [ "$2" = face ] || [ "$(e2e_probe acp)" = 932 ]; then printf '%s' "$1"; return; fi
  printf '%s' "$1" | iconv -f UTF-8 -t CP932 |
    python3 -c 'import sys; b = sys.stdin.buffer.read(); sys.stdout.write("".join(bytes([c]).decode("cp1252", errors="ignore") or chr(c) for c in b))'
}

# The playlist window from a right click on whichever button the tray shows.
show_frame() {
  local icon
  for icon in Play Stop Eject Next; do
    e2e_click_icon "$icon" 3 2>/dev/null && e2e_wait_shown - "$TITLE" 1 5 >/dev/null && return 0
  done
  return 1
}

session() {  # <kelvane.exe> <result folder> <ansi|face>
  TITLE="$(as_shown 'Kelvane - プレイリストウインドウ' "$3")"
  OPTIONS="$(as_shown 'Kelvane - 設定' "$3")"
  export E2E_FRAME_TITLE="$TITLE"
  rm -rf "$E2E_APP_DIR"
  e2e_copy_kelvane
  cp "$1" "$E2E_APP_DIR/kelvane.exe"
  printf '[Setting]\r\nPlayerPath=%s\r\nCorrectPath=1\r\nPlayListPath=%s\r\nAutoHide=0\r\nCheckMP3OnUpdate=1\r\n' \
    "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
  : >"$E2E_JOURNAL"
  e2e_start_player
  e2e_start_kelvane
  e2e_tray_is "Play,Eject,Stop" || return 1
  show_frame || return 1
  e2e_click_frame_menu プレイリスト更新
  e2e_wine "$E2E_TOOLS/hung_watch.exe" KelvaneWindow Kelvane $((E2E_TIMEOUT * 1000)) 120000 >/dev/null
  e2e_click_child - Kelvane OK
  e2e_wait_no_window KelvaneWindow Kelvane
  show_frame
  e2e_click $(e2e_tree_item_point - "$TITLE" 0 Mix)
  sleep 0.5
  local x y
  read -r x y <<<"$(e2e_tree_item_point - "$TITLE" 1 "${artists[0]}")"
  xdotool mousemove --sync $((E2E_DESKTOP_X + x)) $((E2E_DESKTOP_Y + y)) click --repeat 2 --delay 80 1
  e2e_wait_journal '^CMDLINE ' || return 1
  show_frame
  e2e_click_frame_menu 設定
  e2e_wait_shown - "$OPTIONS" >/dev/null && e2e_click_child - "$OPTIONS" OK
  show_frame
  e2e_click_frame_menu 終了
  local i
  for i in $(seq 1 50); do kill -0 "$E2E_KELVANE_PID" 2>/dev/null || break; sleep 0.2; done
  e2e_send "$E2E_PLAYER_CLASS" WM_CLOSE 0 0 >/dev/null
  # Only a program that ended has written its settings.
  kill -0 "$E2E_KELVANE_PID" 2>/dev/null && { e2e_log "kelvane did not end"; return 1; }
  mkdir -p "$2"
  cp -a "$E2E_APP_DIR/." "$2/"
  rm -f "$2/kelvane.exe"
  grep -a '^CMDLINE ' "$E2E_JOURNAL" >"$2/player-command-lines.txt"
}

e2e_check "the reference session" session "$REFERENCE" "$E2E_WORK/reference" ansi
e2e_check "the candidate session" session "$CANDIDATE" "$E2E_WORK/candidate" face
e2e_check "the library was built" test -s "$E2E_WORK/candidate/playlist.log"
e2e_check "the player was handed a playlist" test -s "$E2E_WORK/candidate/player-command-lines.txt"
e2e_check "every file byte for byte the same" diff -r "$E2E_WORK/reference" "$E2E_WORK/candidate"
e2e_log "files compared: $(cd "$E2E_WORK/candidate" && find . -type f | wc -l)"
cp -r "$E2E_WORK/candidate" "$E2E_ARTEFACTS/" 2>/dev/null
e2e_finish

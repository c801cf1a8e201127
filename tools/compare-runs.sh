#!/usr/bin/env bash
# Runs the same session with two builds of kelvane.exe on the same library and
# compares, byte for byte, every file each leaves in its folder (kelvane.ini,
# playlist.log, playlist\ with its caches, indexes and generated playlists) and
# the playlists the player was handed. For a change that must keep the files as
# they are (the face, the code page handling, the library in another text form):
#   tools/compare-runs.sh [options] <reference kelvane.exe> [kelvane.exe, default: this build's]
#   tools/compare-runs.sh [options] --base=<commit> [kelvane.exe]
# --base=<commit>: the reference is kelvane.exe built from that commit of this
# repository (its sources taken with git archive; built once, kept under
# build/windows/compare-base/). Exit code 77 when the commit cannot be had.
# --new-ini-line=<Key=value>: a setting the candidate adds to kelvane.ini (a new
# row of the settings table at its default); that one line is left out of the
# comparison when the reference's file lacks it. May be given more than once.
# --new-record-line=<Name=value>: the same for a line the candidate adds to
# playlist.keys (the record of how the library was made).
# The session: the tray's right click, "プレイリスト更新" and its OK, a playlist and
# an artist double-clicked, the options dialog's OK, "終了". KELVANE_LANG picks
# the system (default en_US.UTF-8, code page 1252; the library's tags are CP1252
# there and Shift-JIS under ja_JP; its ID3v2 tags name only what the code page
# holds, so the library is a code page one on either). Exit code 0 when both runs
# left the same bytes.
set -u
export KELVANE_LANG="${KELVANE_LANG:-en_US.UTF-8}"
BASE=""
NEW_INI_LINES=()
NEW_RECORD_LINES=()
while [ $# -gt 0 ]; do
  case "$1" in
    --base=*) BASE="${1#--base=}" ;;
    --new-ini-line=*) NEW_INI_LINES+=("${1#--new-ini-line=}") ;;
    --new-record-line=*) NEW_RECORD_LINES+=("${1#--new-record-line=}") ;;
    -h | --help) sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --*) echo "compare-runs: unknown option '$1'" >&2; exit 2 ;;
    *) break ;;
  esac
  shift
done
E2E_NAME="compare-runs-${KELVANE_LANG%%.*}"
. "$(dirname "$0")/../tests/e2e/lib.sh"

# kelvane.exe of a commit, built once from its own sources beside this build.
base_build() {
  local sha dir
  sha="$(git -C "$KELVANE_SOURCE" rev-parse --verify -q "$1^{commit}")" || return 77
  dir="$KELVANE_BUILD/compare-base/$sha"
  if [ ! -f "$dir/src/build/windows/app/kelvane.exe" ]; then
    e2e_log "building kelvane.exe of ${sha:0:7} in $dir (once)" >&2
    rm -rf "$dir" && mkdir -p "$dir/src" || return 1
    git -C "$KELVANE_SOURCE" archive "$sha" | tar -x -C "$dir/src" || return 1
    (cd "$dir/src" && cmake --preset windows >/dev/null &&
      cmake --build --preset windows -j"${JOBS:-2}" --target kelvane >"$dir/build.log" 2>&1) ||
      { e2e_log "the build failed: $dir/build.log" >&2; return 1; }
  fi
  echo "$dir/src/build/windows/app/kelvane.exe"
}
if [ -n "$BASE" ]; then
  REFERENCE="$(base_build "$BASE")"
  case $? in
    0) ;;
    77) e2e_log "no commit $BASE in $KELVANE_SOURCE: skipped"; exit 77 ;;
    *) exit 1 ;;
  esac
else
  REFERENCE="${1:?usage: tools/compare-runs.sh <reference kelvane.exe> [kelvane.exe] (--help)}"
  shift
fi
CANDIDATE="${1:-$KELVANE_BIN/kelvane.exe}"

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
# ID3v2.3 tags as taggers write them: UTF-16 texts, and code page bytes under
# encoding 0 (both only what the code page holds); a '?' for its full-width stand-in.
python3 - "$MUSIC" "$KELVANE_LANG" <<'PY'
import struct, sys
music, ja = sys.argv[1], sys.argv[2].startswith('ja_JP')
cp = 'cp932' if ja else 'cp1252'
def tag(*frames):
    body = b''.join(fid.encode() + struct.pack('>I', len(data)) + b'\0\0' + data for fid, data in frames)
    n = len(body) + 64
    return b'ID3\x03\0\0' + bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127]) + body + bytes(64)
audio = b'\xff\xfb\x90\x64' + bytes(2044)
d = ('東京事変', '教育') if ja else ('Mötley Crüe', 'Dr. Feelgood')
e = ('日本の歌手', 'Who? Knows') if ja else ('Sigur Rós', 'Who? Knows')
open(f'{music}/d.mp3', 'wb').write(tag(('TPE1', b'\x01' + d[0].encode('utf-16')), ('TALB', b'\x01' + d[1].encode('utf-16'))) + audio)
open(f'{music}/e.mp3', 'wb').write(tag(('TPE1', b'\0' + e[0].encode(cp)), ('TALB', b'\0' + e[1].encode(cp))) + audio)
PY
WMUSIC="$(e2e_winpath "$MUSIC")"
printf '%s\\%s.mp3\r\n' "$WMUSIC" a "$WMUSIC" b "$WMUSIC" c "$WMUSIC" d "$WMUSIC" e >"$LISTS/Mix.m3u"
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

session() {  # <kelvane.exe> <result folder>
  rm -rf "$E2E_APP_DIR"
  e2e_copy_kelvane
  cp "$1" "$E2E_APP_DIR/kelvane.exe"
  printf '[Setting]\r\nPlayerPath=%s\r\nCorrectPath=1\r\nPlayListPath=%s\r\nAutoHide=0\r\nCheckMP3OnUpdate=1\r\nReadID3v2=1\r\n' \
    "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
  : >"$E2E_JOURNAL"
  e2e_start_player
  e2e_start_kelvane
  e2e_tray_is "Play,Eject,Stop" || return 1
  # The playlist window exists, hidden, from the start: its caption tells
  # whether this build's face goes through the W calls.
  local face=face
  [ "$(e2e_probe count - 'Kelvane - プレイリストウインドウ')" = 0 ] && face=ansi
  TITLE="$(as_shown 'Kelvane - プレイリストウインドウ' $face)"
  OPTIONS="$(as_shown 'Kelvane - 設定' $face)"
  export E2E_FRAME_TITLE="$TITLE"
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
  # Handed over by a second start's command line or by a message: either way
  # the journal names the artist's playlist.
  e2e_wait_journal ' Artist .*\.m3u8?("|$)' || return 1
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
  LC_ALL=C grep -aoE '[A-Za-z]:\\[^"]*\.m3u8?' "$E2E_JOURNAL" | LC_ALL=C sort -u >"$2/player-playlists.txt"
}
# The lines the candidate adds to a file (its new settings, its record's new
# lines), left out where the reference's file has no such line.
drop_new_lines() {
  local name="$1" line file="$E2E_WORK/candidate/$1"
  shift
  for line in "$@"; do
    LC_ALL=C grep -aqxF "$line"$'\r' "$E2E_WORK/reference/$name" 2>/dev/null && continue
    LC_ALL=C grep -aqxF "$line"$'\r' "$file" || continue
    LC_ALL=C grep -avxF "$line"$'\r' "$file" >"$file.kept" && mv "$file.kept" "$file"
    e2e_log "the candidate's new line of $name, not compared: $line"
  done
}

e2e_check "the reference session" session "$REFERENCE" "$E2E_WORK/reference"
e2e_check "the candidate session" session "$CANDIDATE" "$E2E_WORK/candidate"
e2e_check "the library was built" test -s "$E2E_WORK/candidate/playlist.log"
e2e_check "the player was handed a playlist" test -s "$E2E_WORK/candidate/player-playlists.txt"
drop_new_lines kelvane.ini ${NEW_INI_LINES[@]+"${NEW_INI_LINES[@]}"}
drop_new_lines playlist.keys ${NEW_RECORD_LINES[@]+"${NEW_RECORD_LINES[@]}"}
e2e_check "every file byte for byte the same" diff -r "$E2E_WORK/reference" "$E2E_WORK/candidate"
e2e_log "files compared: $(cd "$E2E_WORK/candidate" && find . -type f | wc -l)"
cp -r "$E2E_WORK/candidate" "$E2E_ARTEFACTS/" 2>/dev/null
e2e_finish

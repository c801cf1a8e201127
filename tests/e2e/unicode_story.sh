# shellcheck shell=bash
# A library named and tagged in many scripts, as a person with music from more
# than one meets it on a system of the code page KELVANE_LANG gives (sourced by
# test_unicode_en.sh and test_unicode_ja.sh, after lib.sh; UNI_ACP is the code
# page the run must have). The library: unicode_library.py.
#  1. The Unicode library on, its settings a UTF-8 kelvane.ini naming a Korean
#     folder: no message at start; the update from the playlist window gives
#     every artist and album its own .m3u8, named exactly, holding each track's
#     exact path, the 300-character album under a shortened name; the trees
#     show every name whole; a double-click hands the player the .m3u8; at the
#     end the folder's line is written back byte for byte.
#  2. Off (the default), on a fresh copy: the update completes, the names the
#     code page cannot hold are counted in one notice, nothing merges and no
#     name has lost a character.
# Both updates pass A.m3u over for A.m3u8, with a notice.

e2e_setup
e2e_copy_kelvane
FORM=KelvaneWindow
TITLE='Kelvane - プレイリストウインドウ'
LIBRARY="$KELVANE_SOURCE/tests/e2e/unicode_library.py"
MANIFEST="$E2E_WORK/library.json"
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Lists"
KOREAN_LISTS="$E2E_WORK/재생목록"
CACHE="$E2E_APP_DIR/playlist"
WCACHE="$(e2e_winpath "$CACHE")"
PLAYER_LINE="PlayerPath=$(e2e_winpath "$E2E_PLAYER_EXE")"
FOLDER_LINE="PlayListPath=$(e2e_winpath "$KOREAN_LISTS")"
SKIPPED_A='A\.m3u は同じ名前の .*A\.m3u8 があるため飛ばしました'
UNFIT='[0-9]+ 件の名前はこのコードページで表せないため'

e2e_expect_eq "the system's code page" "$UNI_ACP" "$(e2e_probe acp)"
python3 "$LIBRARY" make "$MUSIC" "$LISTS" "$(e2e_winpath "$MUSIC")" "$UNI_ACP" "$MANIFEST" ||
  { e2e_log "the library could not be made"; exit 1; }
cp -r "$LISTS" "$KOREAN_LISTS"

# Message boxes on screen (visible top-level windows of the dialog class).
boxes() { e2e_probe top | LC_ALL=C awk '$6 == 1 && $7 == "\"#32770\""'; }
update_done() { e2e_controls "$FORM" Kelvane | LC_ALL=C grep -q '^[^ ]* 1 [^ ]* "Button"'; }
# One update from the playlist window's menu. Every message box on the way is
# read into BOXES and answered with OK; then the dialog's own OK.
update_reading_boxes() {
  BOXES=""
  e2e_click_icon Play 3 && e2e_wait_shown - "$TITLE" >/dev/null || return 1
  e2e_click_frame_menu プレイリスト更新 || return 1
  local end=$((SECONDS + 120)) box title answered=0 lost=$SECONDS
  while [ $SECONDS -lt $end ]; do
    box="$(boxes | head -n1)"
    [ -n "$box" ] && lost=$SECONDS
    if [ -n "$box" ]; then
      # The notices are two at most; more is a box that comes back (a folder
      # the update cannot use).
      answered=$((answered + 1))
      [ $answered -le 4 ] || { e2e_log "box after box; the last said: $(e2e_controls '#32770' -)"; return 1; }
      title="$(sed -E 's/^.*"#32770" "(.*)"$/\1/' <<<"$box")"
      BOXES+="$(e2e_controls '#32770' "$title")"$'\n'
      e2e_click_child '#32770' "$title" OK
      sleep 0.5
    elif [ "$(e2e_probe count "$FORM" Kelvane)" = 0 ]; then
      # Neither a box nor the update's dialog: the update never began.
      [ $((SECONDS - lost)) -lt "$E2E_TIMEOUT" ] || {
        e2e_log "no update dialog; shown: $(e2e_probe top | awk '$6 == 1' | cut -d'"' -f4 | paste -sd'|')"
        return 1
      }
      sleep 0.3
      continue
    elif update_done; then
      # A list of failures comes up after the dialog's OK is enabled.
      sleep 1
      [ -z "$(boxes)" ] && e2e_click_child "$FORM" Kelvane OK && e2e_wait_no_window "$FORM" Kelvane && return 0
    else
      sleep 0.3
    fi
  done
  e2e_log "the update did not end in 120 s"
  return 1
}
said() {  # <extended regex>: a box of the last update said it
  LC_ALL=C grep -qE "$1" <<<"$BOXES" && return 0
  e2e_log "no box said /$1/; the boxes said: ${BOXES:-nothing}"
  return 1
}
not_said() { ! LC_ALL=C grep -qE "$1" <<<"$BOXES" || { e2e_log "a box said /$1/: $BOXES"; return 1; }; }
# The program asked to end; one that does not is ended here, so that the next
# start is not handed over to it.
ended() {

  for _ in $(seq 1 50); do kill -0 "$E2E_KELVANE_PID" 2>/dev/null || return 0; sleep 0.2; done
  kill "$E2E_KELVANE_PID" 2>/dev/null
  return 1
}
click_node() {  # <tree> <text>
  local point
  point="$(e2e_tree_item_point - "$TITLE" "$1" "$2")" || { e2e_log "no node '$2' in tree $1"; return 1; }
  e2e_click $point
}
tree_texts() { e2e_tree_items - "$TITLE" "$1" | awk '$1 != "tree"' | cut -d' ' -f6- | LC_ALL=C sort | paste -sd'|'; }
names() { python3 "$LIBRARY" names "$MANIFEST" "$1" "$2" | LC_ALL=C sort | paste -sd'|'; }
# Double-clicks the album's node near its left end (a long label runs past the
# tree's edge); the player must be handed the album's generated playlist by its
# exact name, and read tracks from it.
play_album() {  # <album> [on|off]
  local album="$1" file mark l t b
  file="$(python3 "$LIBRARY" file "$MANIFEST" "$CACHE" "$WCACHE" Local album "$album" "${2:-on}")" ||
    { e2e_log "no generated playlist for the album '${album:0:40}'"; return 1; }
  read -r l t _ b <<<"$(e2e_tree_items - "$TITLE" 2 | awk -v a="$album" '$1 != "tree" {
    line = $0; for (i = 0; i < 5; ++i) sub(/^[^ ]* /, "", line); if (line == a) { print $1, $2, $3, $4; exit } }')"
  [ -n "$l" ] || { e2e_log "no node for the album '${album:0:40}'"; return 1; }
  mark="$(e2e_journal_lines)"
  xdotool mousemove --sync $((E2E_DESKTOP_X + l + 8)) $((E2E_DESKTOP_Y + (t + b) / 2)) click --repeat 2 --delay 80 1
  e2e_wait_journal_since "$mark" '^PLAYLIST [1-9][0-9]* tracks' || return 1
  # The folder as Wine names the program's own; the name exactly, on whichever
  # line the player journals it (a second start's, or the wide message's).
  e2e_journal_from $((mark + 1)) | LC_ALL=C grep -qaF "\\Kelvane\\playlist\\${file##*\\}" && return 0
  e2e_log "the player was not handed \"${file##*\\}\"; it journalled:"
  e2e_journal_from $((mark + 1)) | grep -v '^WM_USER' | sed 's/^/    /'
  return 1
}

# --- 1. the Unicode library, set in a UTF-8 kelvane.ini naming a Korean folder -
printf '\xef\xbb\xbf[Setting]\r\n%s\r\n%s\r\nAutoHide=0\r\nCheckMP3OnUpdate=1\r\nReadID3v2=1\r\nUnicodeLibrary=1\r\n' \
  "$PLAYER_LINE" "$FOLDER_LINE" >"$E2E_APP_DIR/kelvane.ini"
e2e_start_player
e2e_start_kelvane
e2e_check "on: Kelvane starts" e2e_tray_is "Play,Eject,Stop"
e2e_expect_eq "on: no message at start" "" "$(boxes)"
e2e_check "on: the update from the playlist window ends" update_reading_boxes
e2e_check "on: A.m3u passed over with a notice" said "$SKIPPED_A"
e2e_check "on: nothing counted as unfit" not_said "$UNFIT"
e2e_check "on: each artist and album its own .m3u8, named exactly, with each track's exact path" \
  python3 "$LIBRARY" check "$MANIFEST" "$CACHE" "$WCACHE" on "$UNI_ACP"
e2e_expect_eq "on: the playlists, A once" "A|Local|世界" "$(tree_texts 0)"
e2e_check "on: click on Local" click_node 0 Local
sleep 0.5
e2e_expect_eq "on: Local's artists, each its own node" "$(names Local artist)" "$(tree_texts 1)"
e2e_expect_eq "on: Local's albums, the long one whole" "$(names Local album)" "$(tree_texts 2)"
e2e_screenshot_window unicode-on - "$TITLE" >/dev/null
e2e_check "on: a double-click on 教育 plays its .m3u8" play_album 教育
LONG_ALBUM="$(names Local album | tr '|' '\n' | awk 'length > 200')"
e2e_check "on: a double-click on the long album plays its shortened .m3u8" play_album "$LONG_ALBUM"
e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_check "on: the program ends" ended
ini_kept() {
  local ini="$E2E_APP_DIR/kelvane.ini"
  [ "$(head -c 3 "$ini" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    { e2e_log "kelvane.ini lost its UTF-8 BOM; it starts: $(head -c 16 "$ini" | od -An -c)"; return 1; }
  LC_ALL=C grep -aqxF "$FOLDER_LINE"$'\r' "$ini" && return 0
  e2e_log "expected the line '$FOLDER_LINE' byte for byte; found:"
  LC_ALL=C grep -a '^PlayListPath=' "$ini" | od -c | sed 's/^/    /'
  return 1
}
e2e_check "on: the Korean folder's line written back byte for byte" ini_kept

# --- 2. off, the default, on a fresh copy -------------------------------------
rm -rf "$E2E_APP_DIR"
e2e_copy_kelvane
printf '[Setting]\r\n%s\r\nPlayListPath=%s\r\nAutoHide=0\r\nCheckMP3OnUpdate=1\r\nReadID3v2=1\r\n' \
  "$PLAYER_LINE" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
e2e_start_kelvane
# The player still plays what the first part's double-clicks gave it.
e2e_check "off: Kelvane starts" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
e2e_check "off: the update from the playlist window ends" update_reading_boxes
e2e_check "off: the unfit names counted in one notice" said "(^|[\" ])$UNFIT"
e2e_expect_eq "off: one such notice" 1 "$(LC_ALL=C grep -cE "$UNFIT" <<<"$BOXES")"
e2e_check "off: A.m3u passed over with a notice" said "$SKIPPED_A"
e2e_check "off: the names the code page holds exact, nothing merged, no name lost a character" \
  python3 "$LIBRARY" check "$MANIFEST" "$CACHE" "$WCACHE" off "$UNI_ACP"
e2e_screenshot_window unicode-off - "$TITLE" >/dev/null
e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_check "off: the program ends" ended
e2e_finish

#!/usr/bin/env bash
# The library update as a person runs it: right-click the tray, choose
# "プレイリスト更新" in the playlist window, watch the dialog centred on it end
# with the final text, press OK, and use the window again; then delete a
# playlist and update again.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Lists"
CACHE="$E2E_APP_DIR/playlist"
mkdir -p "$MUSIC" "$LISTS"
for f in ape-id3v1.mp3 id3v22-tda.mp3 xing.mp3; do cp "$KELVANE_SOURCE/tests/data/corpus/taglib/$f" "$MUSIC/"; done
WMUSIC="$(e2e_winpath "$MUSIC")"
printf '%s\\ape-id3v1.mp3\r\n' "$WMUSIC" >"$LISTS/Alpha.m3u"
printf '#EXTM3U\r\n%s\\xing.mp3\r\n%s\\ape-id3v1.mp3\r\n' "$WMUSIC" "$WMUSIC" >"$LISTS/Beta.m3u"
printf '%s\\id3v22-tda.mp3\r\n' "$WMUSIC" >"$LISTS/Gamma.m3u"
# The folder as a user may type it, with a trailing backslash.
printf '[Setting]\r\nPlayerPath=%s\r\nCorrectPath=1\r\nPlayListPath=%s\\\r\nAutoHide=0\r\nCheckMP3OnUpdate=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"

FORM=KelvaneWindow
FRAME_TITLE='Kelvane - プレイリストウインドウ'
DIALOG_TITLE=Kelvane
DONE_TEXT='プレイリスト更新が完了しました。'
WATCH="$E2E_TOOLS/hung_watch.exe"

e2e_start_kelvane
e2e_check "the main window exists" e2e_wait_window TMain - >/dev/null

# The right click on the Play button brings the playlist window up.
open_frame() {
  e2e_click_icon Play 3
  e2e_wait_window "$FORM" "$FRAME_TITLE" >/dev/null
}
# Children of a window as "hwnd|class|title|left|top|right|bottom", depth-first.
children() {
  e2e_probe tree "$FORM" "$1" | tail -n +2 |
    LC_ALL=C sed -E 's/^ *([0-9A-Fa-f]+) (-?[0-9]+) (-?[0-9]+) (-?[0-9]+) (-?[0-9]+) [01] "([^"]*)" "(.*)"$/\1|\6|\7|\2|\3|\4|\5/'
}
# The four counters: the last four labels of the dialog's panel.
counters() { children "$DIALOG_TITLE" | LC_ALL=C awk -F'|' '$2 == "Static"' | sed -n '5,8p' | cut -d'|' -f3 | tr '\n' ' ' | sed 's/ $//'; }
result_text() { children "$DIALOG_TITLE" | LC_ALL=C awk -F'|' '$2 == "Static"' | tail -n 1 | cut -d'|' -f3; }
centre_of() { set -- $1; echo "$((($2 + $4) / 2)) $((($3 + $5) / 2))"; }
near() {  # two "x y" points within 2 pixels
  set -- $1 $2
  [ $((${1} - ${3})) -le 2 ] && [ $((${3} - ${1})) -le 2 ] && [ $((${2} - ${4})) -le 2 ] && [ $((${4} - ${2})) -le 2 ]
}
# The texts of the n-th tree of the playlist window (0 playlists, 1 artists,
# 2 albums), joined with "|".
tree_texts() { e2e_tree_items - "$FRAME_TITLE" "$1" | awk '$1 != "tree"' | cut -d' ' -f6- | sort | paste -sd'|'; }
press_ok() {
  local line
  line="$(children "$DIALOG_TITLE" | awk -F'|' '$2 == "Button"' | head -n1)" || return 1
  IFS='|' read -r _ _ _ l t r b <<<"$line"
  e2e_click $(((l + r) / 2)) $(((t + b) / 2))
  e2e_wait_no_window "$FORM" "$DIALOG_TITLE"
}
# One update through the menu, watched until OK is enabled; prints the counters.
update_once() {
  e2e_click_frame_menu プレイリスト更新
  local watch
  watch="$(e2e_wine "$WATCH" "$FORM" "$DIALOG_TITLE" $((E2E_TIMEOUT * 1000)) 120000)"
  e2e_log "watch: $watch"
  [[ "$watch" == *"hung 0 done 1"* ]]
}

e2e_check "the playlist window opens from the tray" open_frame
FRAME="$(e2e_wait_window "$FORM" "$FRAME_TITLE")"
e2e_check "the update ends without ever being hung" update_once
DIALOG="$(e2e_wait_window "$FORM" "$DIALOG_TITLE")"
e2e_check "the dialog is centred on the playlist window" near "$(centre_of "$FRAME")" "$(centre_of "$DIALOG")"
e2e_expect_eq "counters skipped, updated, added, deleted" "0 0 3 0" "$(counters)"
e2e_check "the final text is shown" test "$(result_text)" = "$DONE_TEXT"
e2e_screenshot_window 1-done "$FORM" "$DIALOG_TITLE" >/dev/null
e2e_screenshot 1-desktop-done >/dev/null
e2e_check "OK closes the dialog" press_ok

# The window takes clicks again: its playlists are listed, the other trees
# are empty, and a double-click plays a playlist.
e2e_expect_eq "playlists listed" "Alpha|Beta|Gamma" "$(tree_texts 0)"
e2e_expect_eq "artist and album trees empty" "|" "$(tree_texts 1)|$(tree_texts 2)"
read -r x y <<<"$(e2e_tree_item_point - "$FRAME_TITLE" 0 Gamma)"
xdotool mousemove --sync $((E2E_DESKTOP_X + x)) $((E2E_DESKTOP_Y + y)) click --repeat 2 --delay 80 1
e2e_check "the window took the clicks: Gamma plays" e2e_wait_journal 'Lists\\Gamma\.m3u'
e2e_screenshot 2-window-again >/dev/null

# A playlist deleted: counted as deleted, its derived files gone. Added with
# it, a playlist of relative, "file:" and "#UTF8" lines builds what its twin of
# absolute lines builds, byte for byte, and plays from the window.
e2e_check "Beta's files were built" test -f "$CACHE/Beta.log"
e2e_make_mp3 "$MUSIC/Band One.mp3" "One" "Band R" "Album R"
e2e_make_mp3 "$MUSIC/Band Two.mp3" "Two" "Band S" "Album R"
printf '%s\\Band One.mp3\r\n%s\\Band Two.mp3\r\n' "$WMUSIC" "$WMUSIC" >"$LISTS/Abs.m3u"
URL="file:///$(e2e_winpath "$MUSIC" | tr '\\' / | sed 's/ /%20/g')/Band%20Two.mp3"
printf '#EXTM3U\r\n#UTF8\r\n..\\Music\\.\\Band One.mp3\r\nhttp://radio.example/live\r\n%s\r\n' "$URL" >"$LISTS/Rel.m3u"
rm -f "$LISTS/Beta.m3u"
open_frame >/dev/null
e2e_check "the second update ends without ever being hung" update_once
e2e_expect_eq "counters after the deletion" "2 0 2 1" "$(counters)"
e2e_expect_eq "Beta's derived files" "" "$(ls "$CACHE" | grep -F Beta)"
e2e_check "OK closes the second dialog" press_ok
same_as_abs() {  # the five derived files and the .mp3log
  local f n=0
  for f in "$CACHE/'Abs' "* "$CACHE/Abs.mp3log"; do f="${f##*/}"; cmp "$CACHE/$f" "$CACHE/${f/Abs/Rel}" || return 1; n=$((n + 1)); done
  [ "$n" = 6 ]
}
e2e_check "Rel's derived files are those of Abs, byte for byte" same_as_abs
read -r x y <<<"$(e2e_tree_item_point - "$FRAME_TITLE" 0 Rel)"
e2e_click "$x" "$y"
sleep 0.5
read -r x y <<<"$(e2e_tree_item_point - "$FRAME_TITLE" 1 "Band S")"
xdotool mousemove --sync $((E2E_DESKTOP_X + x)) $((E2E_DESKTOP_Y + y)) click --repeat 2 --delay 80 1
e2e_check "a double-click plays Rel's artist" e2e_wait_journal "'Rel' Artist 'Band S'"

e2e_send TMain WM_CLOSE 0 0 >/dev/null
ended() { local i; for i in $(seq 1 50); do kill -0 "$E2E_KELVANE_PID" 2>/dev/null || return 0; sleep 0.2; done; return 1; }
e2e_check "the program ends" ended
e2e_check "the trimmed folder is saved" grep -qF "PlayListPath=$(e2e_winpath "$LISTS")"$'\r' "$E2E_APP_DIR/kelvane.ini"
e2e_finish

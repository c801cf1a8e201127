#!/usr/bin/env bash
# The playlist window as a person uses it: a right click on the tray opens it in
# the bottom-right corner; a playlist of a library built by kelvane-update shows
# its artists and albums; a double-click plays an artist; two albums go to the
# player with the pop-up menu; switching to another program hides the window;
# the splitter and the frame are dragged and "終了" ends the program, whose
# settings then hold the new sizes.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
C="$E2E_PLAYER_CLASS"
TITLE='Kelvane - プレイリストウインドウ'
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Lists"
mkdir -p "$MUSIC" "$LISTS"
e2e_make_mp3 "$MUSIC/a1.mp3" "Song A1" "Owl's Band" "First"
e2e_make_mp3 "$MUSIC/a2.mp3" "Song A2" "Owl's Band" "Second"
e2e_make_mp3 "$MUSIC/b1.mp3" "Song B1" "Beta" "First"
e2e_make_mp3 "$MUSIC/j1.mp3" "歌" "日本の歌手" "Second"
WMUSIC="$(e2e_winpath "$MUSIC")"
for f in a1 a2 b1 j1; do printf '%s\\%s.mp3\r\n' "$WMUSIC" "$f"; done >"$LISTS/Mix.m3u"
printf '[Setting]\r\nPlayerPath=%s\r\nCorrectPath=1\r\nPlayListPath=%s\r\nAutoHide=0\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
e2e_check "kelvane-update builds the library" \
  e2e_wine "$KELVANE_BUILD/tools/update/kelvane-update.exe" --check-mp3 "$(e2e_winpath "$E2E_APP_DIR")" \
  "$(e2e_winpath "$LISTS")"

e2e_start_player
e2e_start_kelvane
e2e_check "the tray follows the stopped player" e2e_tray_is "Play,Eject,Stop"

# --- a right click opens the window in the bottom-right corner ----------------
e2e_check "right click on the Play icon" e2e_click_icon Play 3
frame="$(e2e_wait_shown - "$TITLE")"
e2e_check "the playlist window appears" test -n "$frame"
read -r _ left top right bottom visible cx cy <<<"$frame"
read -r _ _ _ tray_top <<<"$(e2e_tray_geometry | awk '{print $1, $2, $3, $2}')"
e2e_expect_eq "shown" 1 "$visible"
e2e_expect_eq "its size" "410x348" "$((right - left))x$((bottom - top))"
e2e_expect_eq "its right edge on the work area's" 1024 "$right"
e2e_expect_eq "its bottom on the taskbar's top" "$tray_top" "$bottom"
e2e_screenshot_window frame-open - "$TITLE" >/dev/null

# --- a playlist shows its artists and albums -----------------------------------
e2e_expect_eq "the playlist tree lists the folder" "Mix" "$(e2e_tree_items - "$TITLE" 0 | awk '$1 != "tree" {print $6}')"
e2e_check "click on the playlist" e2e_click $(e2e_tree_item_point - "$TITLE" 0 Mix)
sleep 0.5
e2e_expect_eq "its artists" "Beta|Owl's Band|日本の歌手" \
  "$(e2e_tree_items - "$TITLE" 1 | awk '$1 != "tree"' | cut -d' ' -f6- | paste -sd'|')"
e2e_expect_eq "its albums" "First|Second" \
  "$(e2e_tree_items - "$TITLE" 2 | awk '$1 != "tree"' | cut -d' ' -f6- | paste -sd'|')"
e2e_screenshot_window frame-playlist - "$TITLE" >/dev/null

# --- a double-click plays an artist as new --------------------------------------
from=$(($(e2e_journal_lines) + 1))
read -r x y <<<"$(e2e_tree_item_point - "$TITLE" 1 "Owl's Band")"
xdotool mousemove --sync $((E2E_DESKTOP_X + x)) $((E2E_DESKTOP_Y + y)) click --repeat 2 --delay 80 1
APPW="$(e2e_winpath "$E2E_APP_DIR")"
want="CMDLINE $(e2e_winpath "$E2E_PLAYER_EXE") \"$APPW\\playlist\\'Mix' Artist 'Owl''s Band'.m3u\""
e2e_check "the player is handed the artist's playlist" e2e_wait_journal '^CMDLINE .*Artist'
e2e_expect_eq "the command line" "$want" "$(e2e_journal_from "$from" | grep -a '^CMDLINE' | head -n1)"
e2e_check "and its play list holds the artist's two tracks" e2e_wait_journal '^PLAYLIST 2 tracks$'

# --- two albums added with the pop-up menu, in tree order ---------------------
from=$(($(e2e_journal_lines) + 1))
e2e_click $(e2e_tree_item_point - "$TITLE" 2 Second)
xdotool keydown ctrl
e2e_click $(e2e_tree_item_point - "$TITLE" 2 First)
xdotool keyup ctrl
e2e_expect_eq "both albums selected" "First|Second" "$(e2e_tree_selected - "$TITLE" 2)"
e2e_click $(e2e_tree_item_point - "$TITLE" 2 Second) 3
sleep 0.5
e2e_screenshot popup >/dev/null
e2e_key Down Down Return
e2e_check "two /ADD command lines reach the player" e2e_wait_journal '^CMDLINE .*/ADD' 15 2
e2e_expect_eq "first and second album, in tree order" \
  "$(printf '%s|%s' "'Mix' Album 'First'.m3u\"" "'Mix' Album 'Second'.m3u\"")" \
  "$(e2e_journal_from "$from" | grep -a '^CMDLINE .* /ADD ' | sed 's/.*\\//' | paste -sd'|')"
e2e_check "the player now holds six tracks" e2e_wait_journal '^PLAYLIST 6 tracks$'

# --- another program takes the focus: the window hides -------------------------
e2e_click_window "$C" - 200 200
e2e_check "the playlist window hides" e2e_wait_shown - "$TITLE" 0

# --- sizes changed by dragging, then "終了" -------------------------------------
# A drag as a hand makes it: Wine takes a burst of motion for one move.
drag() {  # x y dx dy
  xdotool mousemove --sync $((E2E_DESKTOP_X + $1)) $((E2E_DESKTOP_Y + $2))
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  xdotool mousemove --sync $((E2E_DESKTOP_X + $1 + $3 / 2)) $((E2E_DESKTOP_Y + $2 + $4 / 2))
  sleep 0.2
  xdotool mousemove --sync $((E2E_DESKTOP_X + $1 + $3)) $((E2E_DESKTOP_Y + $2 + $4))
  sleep 0.2
  xdotool mouseup 1
  sleep 0.2
}
e2e_check "right click shows it again" e2e_click_icon Stop 3 || e2e_click_icon Play 3
frame="$(e2e_wait_shown - "$TITLE")"
read -r _ left top right bottom visible cx cy <<<"$frame"
read -r tl _ _ _ <<<"$(e2e_tree_items - "$TITLE" 0 | head -n1 | cut -d' ' -f2-)"
# The vertical splitter lies just left of the playlist tree: 40 px to the left.
drag $((tl - 1)) $((top + 150)) -40 0
# The left edge of the frame: 50 px wider.
drag $((left + 2)) $((top + 200)) -50 0
sleep 0.5
e2e_screenshot_window frame-resized - "$TITLE" >/dev/null
read -r _ left top right bottom _ <<<"$(e2e_wait_window - "$TITLE")"
width=$((right - left))
e2e_expect_eq "the frame is wider" 460 "$width"

# --- "ヘルプ": the read-me in the system's viewer, then two about boxes ----------
e2e_click_frame_help first
e2e_check "\"ReadMe を開く\" opens the system's viewer" e2e_wait_window Notepad >/dev/null
viewer_on_readme() { e2e_probe tree Notepad | head -n1 | grep -aq '"readme'; }
e2e_check "on readme.txt" e2e_eventually 10 viewer_on_readme
e2e_send Notepad WM_CLOSE 0 0 >/dev/null
e2e_check "the viewer closes" e2e_wait_no_window Notepad
# Another program took the activation: the playlist window hid itself.
e2e_check "a right click brings the window back" e2e_click_icon Stop 3
e2e_wait_shown - "$TITLE" >/dev/null
ABOUT='Kelvane - バージョン情報'
about_is() { [ "$(e2e_probe count - "$ABOUT")" = "$1" ]; }
e2e_click_frame_help last
e2e_check "\"バージョン情報\" opens the about box" e2e_eventually 5 about_is 1
read -r _ al at ar ab av _ <<<"$(e2e_wait_window - "$ABOUT")"
e2e_expect_eq "its size" "241x130" "$((${ar:-0} - ${al:-0}))x$((${ab:-0} - ${at:-0}))"
read -r _ left top right bottom _ <<<"$(e2e_wait_window - "$TITLE")"
near() { [ $(($1 - $2)) -ge -1 ] && [ $(($1 - $2)) -le 1 ]; }
centred() { near $(((al + ar) / 2)) $(((left + right) / 2)) && near $(((at + ab) / 2)) $(((top + bottom) / 2)); }
e2e_check "centred on the playlist window" centred
e2e_screenshot about >/dev/null
e2e_click_frame_help last
e2e_check "a second one beside it" e2e_eventually 5 about_is 2
e2e_click_child - "$ABOUT" OK && e2e_check "OK closes one" e2e_eventually 5 about_is 1
# The other lies exactly beneath and stays first in the Z-order, but Wine's
# virtual desktop then stacks the activated playlist window over it on screen,
# so no click can reach it: it is closed as its title bar's Alt+F4 would.
read -r other _ <<<"$(e2e_probe find - "$ABOUT")"
e2e_send "#${other:-0}" WM_CLOSE 0 0 post >/dev/null
e2e_check "the other closes" e2e_eventually 5 about_is 0
e2e_click_frame_menu 終了
e2e_check "kelvane ends" bash -c 'for i in $(seq 1 50); do kill -0 "$1" 2>/dev/null || exit 0; sleep 0.2; done; exit 1' _ "$E2E_KELVANE_PID"
e2e_check "the tray is empty" e2e_tray_is ""
ini="$(tr -d '\r' <"$E2E_APP_DIR/kelvane.ini")"
e2e_expect_eq "Width saved" "Width=$width" "$(grep '^Width=' <<<"$ini")"
e2e_expect_eq "Height saved" "Height=348" "$(grep '^Height=' <<<"$ini")"
e2e_expect_eq "PlaylistTreeWidth saved" "PlaylistTreeWidth=240" "$(grep '^PlaylistTreeWidth=' <<<"$ini")"
e2e_expect_eq "ArtistTreeHeight saved" "ArtistTreeHeight=150" "$(grep '^ArtistTreeHeight=' <<<"$ini")"

# --- auto-hide: once the pointer has been in, leaving it any way hides it -------
printf '[Setting]\r\nPlayListPath=%s\r\nAutoHide=1\r\n' "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
e2e_start_kelvane
# Shown away from the pointer (on the tray) it stays; the pointer then goes in.
show_and_enter() {
  e2e_click_icon Play 3 || return 1
  frame="$(e2e_wait_shown - "$TITLE")" || return 1
  read -r _ left top right bottom _ <<<"$frame"
  sleep 0.5
  [ "$(e2e_wait_shown - "$TITLE" | awk '{print $6}')" = 1 ] || return 1
  xdotool mousemove --sync $((E2E_DESKTOP_X + (left + right) / 2)) $((E2E_DESKTOP_Y + (top + bottom) / 2))
  sleep 0.3
}
walk() {  # x y dx dy steps pause: small steps as a slow hand makes them
  local i
  for i in $(seq 0 "$5"); do
    xdotool mousemove $((E2E_DESKTOP_X + $1 + i * $3)) $((E2E_DESKTOP_Y + $2 + i * $4))
    sleep "$6"
  done
}
e2e_check "shown from the tray, under the pointer's way in" show_and_enter
walk $(((left + right) / 2)) $((bottom - 12)) 0 3 10 0.1
e2e_check "out across the bottom border (onto the taskbar): hidden" e2e_wait_shown - "$TITLE" 0
e2e_check "shown again" show_and_enter
walk $((left + 12)) $(((top + bottom) / 2)) -3 0 10 0.01
e2e_check "out across the left border: hidden" e2e_wait_shown - "$TITLE" 0
e2e_check "shown once more" show_and_enter
xdotool mousemove $((E2E_DESKTOP_X + 100)) $((E2E_DESKTOP_Y + 100))
e2e_check "one jump out: hidden" e2e_wait_shown - "$TITLE" 0

e2e_finish

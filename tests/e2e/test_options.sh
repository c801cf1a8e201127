#!/usr/bin/env bash
# The options dialog as a person uses it, opened from the playlist window's "設定":
# unticking the Eject button takes it out of the tray at OK, not before; with
# the player playing, ticking the swap of the Play button has the next poll lay
# the tray out anew, and unticking it brings the Play image back at OK; the
# folder is chosen in the shell's folder browser, which preselects it the next
# time, and the playlist tree then lists its playlists; ticking the Startup box
# writes a shortcut into the prefix's Startup folder that the shell resolves to
# kelvane.exe, Cancel keeps it, the next opening shows it and unticking removes
# it; asking for the dialog while it is open brings that one forward; an update without a playlist folder warns, then opens the dialog with the
# folder browser in front; the settings reach the ini at exit.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
FRAME='Kelvane - プレイリストウインドウ'
OPTIONS='Kelvane - 設定'
BROWSER='フォルダーの参照'
E2E_LINK="$E2E_TOOLS/peer_link.exe"
# The playlists sit at the root of the prefix's C: drive, where the browser's
# tree reaches them in a few keys: (C:), then the folder's first letter.
LISTS_NAME="KvOptionLists"
LISTS="$WINEPREFIX/drive_c/$LISTS_NAME"
printf '[Setting]\r\nAutoHide=0\r\nPlaylistPos=3\r\n' >"$E2E_APP_DIR/kelvane.ini"

# Our shortcut in any user's Startup folder of the prefix (Wine spells the
# folder "StartUp"; our name is matched exactly).
startup_links() { find "$WINEPREFIX/drive_c/users" -ipath '*/startup/*' -name 'Kelvane.lnk' "$@" 2>/dev/null; }
startup_link() { startup_links | head -n1; }
has_startup_link() { [ -n "$(startup_link)" ]; }
no_startup_link() { [ -z "$(startup_link)" ]; }
cleanup_options() {
  startup_links -delete
  rm -rf "$LISTS"
}
# The prefix is shared by the e2e tests: no shortcut or folder of ours stays.
trap 'rc=$?; cleanup_options; (exit $rc); e2e_cleanup' EXIT
cleanup_options
mkdir -p "$LISTS"
printf 'a.mp3\r\n' >"$LISTS/Morning.m3u"
printf 'b.mp3\r\n' >"$LISTS/Evening.m3u"

window_there() { e2e_wait_window "$@" >/dev/null; }
frame_visible() { set -- $(e2e_probe find - "$FRAME"); echo "${6:-}"; }
# Opens the playlist window by a right click on the tray icon showing the
# picture (Play unless told), then chooses "設定" on its menu bar.
open_options() {
  e2e_click_icon "${1:-Play}" 3 || return 1
  e2e_wait_shown - "$FRAME" >/dev/null || return 1
  e2e_click_frame_menu 設定 || return 1
  window_there - "$OPTIONS"
}
# Clicks a point of the options dialog's client area.
click_options() { e2e_click_window - "$OPTIONS" "$1" "$2"; }
# The buttons by caption: a caption too long for its font widens its column.
option_ok() { e2e_click_child - "$OPTIONS" OK; }
option_cancel() { e2e_click_child - "$OPTIONS" キャンセル; }
option_browse() { e2e_click_child - "$OPTIONS" 参照; }
# The folder edit box's text, and the check state of the box with the caption.
edit_text() { e2e_controls - "$OPTIONS" | awk -F'"' '$2 == "Edit" {print $4; exit}'; }
edit_is() { [ "$(edit_text)" = "$1" ]; }
box_state() { e2e_controls - "$OPTIONS" | awk -F'"' -v c="$1" '$4 == c {split($1, f, " "); print f[3]; exit}'; }
box_is() { [ "$(box_state "$2")" = "$1" ]; }
# The browser: its status line, its drive C:, its selection, and being in front.
status_is() { e2e_controls '#32770' "$BROWSER" | grep -qF "\"Static\" \"$1\""; }
drive_c_point() {
  e2e_tree_items '#32770' "$BROWSER" 0 |
    awk '$1 != "tree" && /\(C:\)/ {print int(($1+$3)/2), int(($2+$4)/2); f=1; exit} END {exit !f}'
}
drive_c_shown() { drive_c_point >/dev/null; }
browser_selected_is() { [ "$(e2e_tree_selected '#32770' "$BROWSER" 0)" = "$1" ]; }
browser_in_front() { e2e_probe foreground | grep -qF "\"$BROWSER\""; }
playlist_tree() { e2e_tree_items - "$FRAME" 0 | awk '$1 != "tree"' | cut -d' ' -f6- | sort | paste -sd'|'; }
playlist_tree_is() { [ "$(playlist_tree)" = "$1" ]; }

e2e_start_kelvane
e2e_check "start-up shows Play and Eject" e2e_tray_is "Play,Eject"

# --- Eject unticked: it leaves the tray at OK -------------------------------
e2e_check "the options dialog opens from the playlist window" open_options
e2e_expect_eq "the playlist window hid for it" 0 "$(frame_visible)"
e2e_screenshot_window options-open - "$OPTIONS" >/dev/null
e2e_expect_eq "Ejectボタン shows the setting" 1 "$(box_state 'Ejectボタン')"
click_options 36 128   # "Ejectボタン"
e2e_check "Ejectボタン is unticked" e2e_eventually 5 box_is 0 'Ejectボタン'
sleep 0.5
e2e_check "the Eject icon stays until OK" e2e_tray_is "Play,Eject"
option_ok
e2e_check "OK closes the dialog" e2e_wait_no_window - "$OPTIONS"
e2e_check "the Eject icon leaves the tray" e2e_tray_is "Play"
e2e_expect_eq "the playlist window stays hidden" 0 "$(frame_visible)"

# --- the player playing: OK has the next poll lay the tray out anew ---------
e2e_start_player
e2e_send "$E2E_PLAYER_CLASS" WM_COMMAND 40045 0 >/dev/null   # played in the player itself
e2e_check "playing: every wanted button, in id order" e2e_tray_is "Prev,Play,Pause,Stop,Next"
e2e_check "the dialog opens over the playing player" open_options
click_options 64 64    # "Playボタンと Pauseボタンを切り替える"
e2e_check "the swap is ticked" e2e_eventually 5 box_is 1 'Playボタンと Pauseボタンを切り替える'
e2e_expect_eq "and Pauseボタン unticked with it" 0 "$(box_state 'Pauseボタン')"
option_ok
e2e_check "OK closes the dialog" e2e_wait_no_window - "$OPTIONS"
e2e_check "the next poll drops Pause and puts its image on the Play button" e2e_tray_is "Prev,Pause,Stop,Next"
e2e_check "the dialog opens from the swapped button" open_options Pause
click_options 64 64
e2e_check "the swap is unticked" e2e_eventually 5 box_is 0 'Playボタンと Pauseボタンを切り替える'
option_ok
e2e_check "OK closes the dialog" e2e_wait_no_window - "$OPTIONS"
sleep 0.7   # a poll has passed: it leaves the image alone outside the swap
e2e_check "the Play button shows the Play image again, though the player plays" e2e_tray_is "Prev,Play,Stop,Next"
# Without a player the next OKs lay nothing out anew: the tray holds still.
e2e_send "$E2E_PLAYER_CLASS" WM_COMMAND 40001 0 >/dev/null
e2e_check "the player closes: Play alone remains" e2e_tray_is "Play"

# --- the folder chosen in the browser ---------------------------------------
e2e_check "the dialog opens again" open_options
# Asked for again while open, from a window shown anew: the same dialog comes
# forward, as a second one's OK would undo what is confirmed in the first.
e2e_check "設定 once more while it is open" open_options
e2e_expect_eq "one options dialog" 1 "$(e2e_probe count - "$OPTIONS")"
option_browse
e2e_check "the folder browser opens" window_there '#32770' "$BROWSER"
e2e_check "the browser shows drive C:" e2e_eventually 5 drive_c_shown
point="$(drive_c_point)" && e2e_click $point
e2e_key Right
sleep 0.3
e2e_key K   # the tree's incremental search: the only folder of C: with a K
e2e_check "the status line shows the chosen folder" e2e_eventually 5 status_is "C:\\$LISTS_NAME"
e2e_screenshot_window browser '#32770' "$BROWSER" >/dev/null
e2e_check "OK in the browser" e2e_click_child '#32770' "$BROWSER" OK
e2e_check "the browser closes" e2e_wait_no_window '#32770' "$BROWSER"
e2e_check "the edit holds the chosen folder" e2e_eventually 5 edit_is "C:\\$LISTS_NAME"
e2e_expect_eq "the edit's text" "C:\\$LISTS_NAME" "$(edit_text)"
# A second browse of the same dialog starts at the folder chosen before;
# cancelling it keeps the edit as it was.
option_browse
window_there '#32770' "$BROWSER"
e2e_check "the next browse preselects it" e2e_eventually 5 browser_selected_is "$LISTS_NAME"
e2e_expect_eq "the preselected folder" "$LISTS_NAME" "$(e2e_tree_selected '#32770' "$BROWSER" 0)"
e2e_check "Cancel in the browser" e2e_click_child '#32770' "$BROWSER" 'キャンセル'
e2e_check "the browser closes" e2e_wait_no_window '#32770' "$BROWSER"
e2e_expect_eq "the edit is unchanged" "C:\\$LISTS_NAME" "$(edit_text)"
option_ok
e2e_check "OK closes the dialog" e2e_wait_no_window - "$OPTIONS"
e2e_click_icon Play 3
e2e_wait_shown - "$FRAME" >/dev/null
e2e_check "the playlist tree lists the folder's playlists" e2e_eventually 5 playlist_tree_is "Evening|Morning"
e2e_expect_eq "the playlists" "Evening|Morning" "$(playlist_tree)"
e2e_screenshot_window frame-after-options - "$FRAME" >/dev/null

# --- the Startup shortcut, at the click -------------------------------------
APPW="$(e2e_winpath "$E2E_APP_DIR")"
e2e_click_frame_menu 設定
window_there - "$OPTIONS"
e2e_expect_eq "スタートアップに登録する starts unticked" 0 "$(box_state 'スタートアップに登録する')"
e2e_click_child - "$OPTIONS" スタートアップに登録する
e2e_check "ticking writes the shortcut" e2e_eventually 5 has_startup_link
e2e_check "the box shows it" e2e_eventually 5 box_is 1 'スタートアップに登録する'
link="$(startup_link)"
if [ -n "$link" ]; then
  read_link="$(e2e_wine "$E2E_LINK" "$(e2e_winpath "$link")")"
  e2e_expect_eq "the shell resolves it to kelvane.exe in the program folder, which exists" \
    "$APPW\\kelvane.exe|$APPW\\|exists" "$(paste -sd'|' <<<"$read_link")"
fi
option_cancel
e2e_check "Cancel closes the dialog" e2e_wait_no_window - "$OPTIONS"
e2e_check "and keeps the shortcut" has_startup_link
e2e_check "the dialog opens once more" open_options
e2e_check "it shows the registration" e2e_eventually 5 box_is 1 'スタートアップに登録する'
e2e_click_child - "$OPTIONS" スタートアップに登録する
e2e_check "unticking removes the shortcut" e2e_eventually 5 no_startup_link
e2e_check "the box shows it gone" e2e_eventually 5 box_is 0 'スタートアップに登録する'
e2e_expect_eq "with no warning" 0 "$(e2e_probe count '#32770' '警告')"

# --- an update without a playlist folder ------------------------------------
click_options 100 218  # into the folder edit box
e2e_key ctrl+a BackSpace
e2e_check "the folder is emptied" e2e_eventually 5 edit_is ""
option_ok
e2e_check "OK closes the dialog" e2e_wait_no_window - "$OPTIONS"
e2e_click_icon Play 3
e2e_wait_shown - "$FRAME" >/dev/null
e2e_click_frame_menu プレイリスト更新
e2e_check "the missing folder is warned about" window_there '#32770' '警告'
e2e_screenshot missing-folder-warning >/dev/null
e2e_check "OK on the warning" e2e_click_child '#32770' '警告' OK
e2e_check "then the options dialog opens" window_there - "$OPTIONS"
e2e_check "with the folder browser" window_there '#32770' "$BROWSER"
e2e_check "in front" e2e_eventually 5 browser_in_front
e2e_expect_eq "the playlist window is hidden" 0 "$(frame_visible)"
e2e_screenshot missing-folder-browser >/dev/null
e2e_check "Cancel in the browser" e2e_click_child '#32770' "$BROWSER" 'キャンセル'
e2e_check "the browser closes" e2e_wait_no_window '#32770' "$BROWSER"
option_cancel
e2e_check "Cancel closes the dialog" e2e_wait_no_window - "$OPTIONS"

# --- the settings reach the file at exit ------------------------------------
e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_check "Kelvane ends" e2e_wait_no_window TMain -
ini="$(e2e_utf8 <"$E2E_APP_DIR/kelvane.ini" | tr -d '\r')"
e2e_expect_eq "the ini keeps Eject off" "ShowEjectIcon=0" "$(grep '^ShowEjectIcon=' <<<"$ini")"
e2e_expect_eq "Pause off without the swap" "ShowPauseIcon=0|PlayChangePause=0" \
  "$(grep -E '^(ShowPauseIcon|PlayChangePause)=' <<<"$ini" | paste -sd'|')"
e2e_expect_eq "and the emptied folder" "PlayListPath=" "$(grep '^PlayListPath=' <<<"$ini")"
e2e_check "no shortcut is left" no_startup_link

e2e_finish

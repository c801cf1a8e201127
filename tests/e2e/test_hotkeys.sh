#!/usr/bin/env bash
# The shortcut keys as a person uses them: another program holds Ctrl+Alt+End
# before Kelvane starts, so Kelvane names that key in one warning and takes the
# others; pressed on the desktop, whatever has the focus, each reaches the
# player as its button's click does (Play starting the player first), the
# held one reaches only the program that holds it, and Ctrl+Alt+P (the
# playlist window's, set in the ini) shows the playlist window; the media keys,
# turned on as well, drive the player (Play/Pause resuming a paused track).
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
C="$E2E_PLAYER_CLASS"
FRAME='Kelvane - プレイリストウインドウ'
window_there() { e2e_wait_window "$@" >/dev/null; }
HELD="$E2E_WORK/held.txt"

# Ctrl (2) + Alt (1), End (0x23), for five minutes.
wine "$E2E_PROBE" holdkey 3 0x23 300000 >"$HELD" 2>/dev/null 7>&- &
e2e_check "another program holds Ctrl+Alt+End" e2e_eventually 10 grep -q "^held" "$HELD"

printf '[Setting]\r\nPlayerPath=%s\r\nCloseOnStop=0\r\nAutoHide=0\r\nUseHotKeys=1\r\nHotKeyPlaylist=Ctrl+Alt+P\r\nUseMediaKeys=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" >"$E2E_APP_DIR/kelvane.ini"
e2e_start_kelvane

# --- the held key is named, the others are not ----------------------------------
e2e_check "a warning comes up at start" e2e_wait_shown '#32770' '警告' >/dev/null
warning="$(e2e_controls '#32770' '警告')"
e2e_check "it says keys are held elsewhere" \
  grep -qF '次のショートカットキーは他のプログラムが使っているため登録できませんでした:' <<<"$warning"
e2e_check "it names Ctrl+Alt+End and what it is for" grep -qF ' Ctrl+Alt+End (Stop)' <<<"$warning"
e2e_expect_eq "and no other key" 1 "$(grep -c 'Ctrl+Alt+' <<<"$warning")"
e2e_screenshot held-key-warning >/dev/null
e2e_check "OK on the warning" e2e_click_child '#32770' '警告' OK
e2e_check "start-up shows Play and Eject" e2e_tray_is "Play,Eject"

# The WM_COMMAND numbers the player received since the mark, space-separated.
commands_since_mark() { e2e_journal_from $((mark + 1)) | sed -n 's/^WM_COMMAND \([0-9]*\) 0$/\1/p' | paste -sd' '; }
press() {
  mark="$(e2e_journal_lines)"
  e2e_key "$1"
}

# --- each key as its button ---------------------------------------------------
press ctrl+alt+Insert
e2e_check "Ctrl+Alt+Insert starts the player" window_there "$C" -
e2e_check "and plays, as the Play button does" e2e_wait_journal_since "$mark" '^STATE playing$'
e2e_expect_eq "Play sent play" "40045" "$(commands_since_mark)"
e2e_check "the tray follows the player" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"

press ctrl+alt+Next
e2e_check "Ctrl+Alt+PageDown reaches the player" e2e_wait_journal_since "$mark" '^WM_COMMAND 40048 0$'
press ctrl+alt+Prior
e2e_check "Ctrl+Alt+PageUp reaches the player" e2e_wait_journal_since "$mark" '^WM_COMMAND 40044 0$'
press ctrl+alt+Home
e2e_check "Ctrl+Alt+Home pauses" e2e_wait_journal_since "$mark" '^STATE paused$'
e2e_expect_eq "Pause sent pause alone" "40046" "$(commands_since_mark)"

# --- the media keys, turned on too ----------------------------------------------
press XF86AudioPlay
e2e_check "Play/Pause resumes the paused player" e2e_wait_journal_since "$mark" '^STATE playing$'
e2e_expect_eq "with pause, as the Pause button (play would start the track anew)" "40046" "$(commands_since_mark)"
press XF86AudioPlay
e2e_check "Play/Pause pauses the playing player" e2e_wait_journal_since "$mark" '^STATE paused$'
press XF86AudioNext
e2e_check "Next reaches the player" e2e_wait_journal_since "$mark" '^WM_COMMAND 40048 0$'
press XF86AudioStop
e2e_check "Stop stops it" e2e_wait_journal_since "$mark" '^STATE stopped$'
e2e_expect_eq "as the Stop button" "40047" "$(commands_since_mark)"
press XF86AudioPlay
e2e_check "Play/Pause plays the stopped player" e2e_wait_journal_since "$mark" '^STATE playing$'
e2e_expect_eq "as the Play button" "40045" "$(commands_since_mark)"

# The held key goes to the program that holds it, not to Kelvane.
pressed_before="$(grep -c pressed "$HELD")"
press ctrl+alt+End
e2e_check "Ctrl+Alt+End reaches the program holding it" \
  e2e_eventually 5 test "$(grep -c pressed "$HELD")" -gt "$pressed_before"
sleep 1
e2e_expect_eq "and sends the player nothing" "" "$(commands_since_mark)"

press ctrl+alt+p
e2e_check "Ctrl+Alt+P shows the playlist window, as a right click does" e2e_wait_shown - "$FRAME" >/dev/null
e2e_expect_eq "and sends the player nothing" "" "$(commands_since_mark)"
e2e_screenshot playlist-by-key >/dev/null

# --- the keys' page of the options dialog shows the settings -----------------------
OPTIONS='Kelvane - 設定'
PAGE='Kelvane - ショートカットキー'
box_state() { e2e_controls - "$PAGE" | awk -F'"' -v c="$1" '$4 == c {split($1, f, " "); print f[3]; exit}'; }
e2e_check "設定 opens the options dialog" e2e_click_frame_menu 設定
e2e_check "it is shown" e2e_wait_shown - "$OPTIONS" >/dev/null
e2e_screenshot_window options - "$OPTIONS" >/dev/null
e2e_check "its ショートカットキー... button" e2e_click_child - "$OPTIONS" 'ショートカットキー...'
e2e_check "opens the keys' page" e2e_wait_shown - "$PAGE" >/dev/null
e2e_expect_eq "the shortcuts are ticked" 1 "$(box_state 'ショートカットキーを使う')"
e2e_expect_eq "and the media keys" 1 "$(box_state 'キーボードのメディアキーでも操作する')"
e2e_screenshot_window shortcut-page - "$PAGE" >/dev/null
# A key typed into the Prev field (the page's first) reads as the key pressed
# and is kept through both OKs; the keys left alone keep their text.
field="$(e2e_probe tree - "$PAGE" | awk -F'"' '$2 == "msctls_hotkey32" {
  split($1, f, " "); print int((f[2] + f[4]) / 2), int((f[3] + f[5]) / 2); exit }')"
e2e_click $field
e2e_key ctrl+shift+Left
sleep 0.3
e2e_screenshot_window shortcut-typed - "$PAGE" >/dev/null
e2e_check "the page's OK" e2e_click_child - "$PAGE" OK
e2e_check "closes the page" e2e_wait_shown - "$PAGE" 0 >/dev/null
e2e_check "the options dialog's OK" e2e_click_child - "$OPTIONS" OK
e2e_check "the key still held elsewhere is named again" e2e_wait_shown '#32770' '警告' >/dev/null
e2e_check "OK on the warning" e2e_click_child '#32770' '警告' OK
e2e_check "the options dialog is gone" e2e_wait_no_window - "$OPTIONS"

e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_check "kelvane closes" e2e_eventually 10 bash -c "! kill -0 $E2E_KELVANE_PID 2>/dev/null"
e2e_expect_eq "the keys as stored" "HotKeyPrev=Ctrl+Shift+Left|HotKeyPlay=Ctrl+Alt+Insert|HotKeyNext=Ctrl+Alt+PageDown" \
  "$(grep -aE '^HotKey(Prev|Play|Next)=' "$E2E_APP_DIR/kelvane.ini" | tr -d '\r' | paste -sd'|')"
# Its keys are free again: another program can take them.
free() { e2e_wine "$E2E_PROBE" holdkey 3 "$1" 0 >/dev/null; }
e2e_check "Ctrl+Alt+PageDown is free after exit" free 0x22
e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
e2e_finish

#!/usr/bin/env bash
# The rig and the stand-in player: messages in, play-state answers and journal lines
# out; command lines handed to the running instance; its own buttons, keys and the
# open-file dialog; Japanese text on screen.
. "$(dirname "$0")/lib.sh"

e2e_setup

# Play lists as a Japanese system writes them: Shift-JIS, CR LF, comments, blank lines.
LIST_ONE="$E2E_WORK/list one.m3u"
LIST_TWO="$E2E_WORK/list two.m3u"
printf '#EXTM3U\r\n#EXTINF:200,曲\r\nD:\\音楽\\表題曲.mp3\r\n\r\nD:\\音楽\\二曲目.mp3\r\nD:\\音楽\\三.mp3\r\n' |
  iconv -f UTF-8 -t CP932 >"$LIST_ONE"
printf 'E:\\a.mp3\nE:\\b.mp3' >"$LIST_TWO"
WIN_ONE="$(e2e_winpath "$LIST_ONE")"
WIN_TWO="$(e2e_winpath "$LIST_TWO")"
C="$E2E_PLAYER_CLASS"

state_answer() { e2e_send "$C" WM_USER 0 104; }
# Sends one WM_COMMAND and checks that the journal logged it as received.
command_logged() {
  local before
  before="$(e2e_journal_count "^WM_COMMAND $1 0$")"
  e2e_send "$C" WM_COMMAND "$1" 0 >/dev/null && e2e_wait_journal "^WM_COMMAND $1 0$" 5 $((before + 1))
}
window_count() { e2e_probe count "$C" -; }
track_label() { e2e_probe tree "$C" - | LC_ALL=C sed -n 's/.*"Static" "Track: \(.*\)"$/\1/p'; }
dialog_shown() { e2e_wait_window "#32770" - >/dev/null; }

# --- a first start -------------------------------------------------------------
e2e_start_player
e2e_check "first start journals its command line" e2e_wait_journal '^START .*winamp\.exe"?$'
e2e_expect_eq "one player window" 1 "$(window_count)"
e2e_expect_eq "stopped at start" 0 "$(state_answer)"
e2e_check "the query is journalled with its answer" e2e_wait_journal '^WM_USER 0 104 -> 0$'

# --- play, pause, resume, stop -------------------------------------------------
e2e_check "play is journalled" command_logged 40045
e2e_check "play changes the state" e2e_wait_journal '^STATE playing$'
e2e_expect_eq "playing" 1 "$(state_answer)"
e2e_check "pause is journalled" command_logged 40046
e2e_expect_eq "paused" 3 "$(state_answer)"
e2e_check "pause again is journalled" command_logged 40046
e2e_expect_eq "pause again resumes" 1 "$(state_answer)"
e2e_check "stop is journalled" command_logged 40047
e2e_expect_eq "stopped" 0 "$(state_answer)"
e2e_expect_eq "an unknown WM_USER answers 1, as the player does" 1 "$(e2e_send "$C" WM_USER 7 250)"
e2e_check "state lines in order" bash -c "grep -a '^STATE' '$E2E_JOURNAL' | tr '\n' ' ' | grep -qx 'STATE playing STATE paused STATE playing STATE stopped '"

# --- fade out: the sender waits until the player has stopped --------------------
e2e_send "$C" WM_COMMAND 40045 0 >/dev/null
mark="$(e2e_journal_lines)"
t0=$(date +%s%N)
e2e_send "$C" WM_COMMAND 40147 0 >/dev/null
elapsed_ms=$((($(date +%s%N) - t0) / 1000000))
e2e_check "fade takes about a second inside the message (${elapsed_ms} ms)" test "$elapsed_ms" -ge 900
e2e_expect_eq "fade journal" "WM_COMMAND 40147 0|STATE fading|STATE stopped" \
  "$(e2e_journal_from $((mark + 1)) | head -n3 | paste -sd'|')"
e2e_expect_eq "stopped after the fade" 0 "$(state_answer)"

# --- previous and next move through the list -----------------------------------
# A second start with a new list hands its command line over: no second window.
mark="$(e2e_journal_lines)"
kv_wine_start "$E2E_PLAYER_EXE" "$WIN_ONE"
e2e_check "second instance journals START" e2e_wait_journal '^START .*list one\.m3u"$' 10 1
e2e_check "first instance receives the command line" e2e_wait_journal '^CMDLINE .*"Z:.*list one\.m3u"$'
e2e_check "new list has 3 tracks (comments and blank lines skipped)" e2e_wait_journal '^PLAYLIST 3 tracks$'
e2e_check "new list starts playback" e2e_wait_journal '^STATE playing$' 5 4
e2e_expect_eq "still one player window" 1 "$(window_count)"
e2e_expect_eq "second instance writes no EXIT" 0 "$(e2e_journal_count '^EXIT$')"
e2e_expect_eq "first track" "D:\\音楽\\表題曲.mp3" "$(track_label)"
command_logged 40048
e2e_expect_eq "next" "D:\\音楽\\二曲目.mp3" "$(track_label)"
command_logged 40044
command_logged 40044
e2e_expect_eq "previous wraps to the last" "D:\\音楽\\三.mp3" "$(track_label)"

kv_wine_start "$E2E_PLAYER_EXE" /ADD "$WIN_TWO"
e2e_check "/ADD is handed over" e2e_wait_journal '^CMDLINE .* /ADD "Z:.*list two\.m3u"$'
e2e_check "/ADD appends" e2e_wait_journal '^PLAYLIST 5 tracks$'
e2e_expect_eq "still one player window after /ADD" 1 "$(window_count)"
e2e_expect_eq "still playing after /ADD" 1 "$(state_answer)"
sleep 0.5
shot="$(e2e_screenshot_window player "$C")"
e2e_log "player window with Japanese track names: $shot"

# --- the open-file key: sender is not held up by the dialog --------------------
t0=$(date +%s%N)
e2e_send "$C" WM_KEYDOWN 76 0 >/dev/null
e2e_send "$C" WM_KEYUP 76 0 >/dev/null
elapsed_ms=$((($(date +%s%N) - t0) / 1000000))
e2e_check "key down and up journalled" e2e_wait_journal '^WM_KEYUP 76 0$'
e2e_check "key down came first" bash -c "grep -a -B1 '^WM_KEYUP 76 0$' '$E2E_JOURNAL' | head -n1 | grep -qx 'WM_KEYDOWN 76 0'"
e2e_check "the dialog opens" e2e_wait_journal '^DIALOG open$'
e2e_check "the sends returned while the dialog is open (${elapsed_ms} ms)" test "$elapsed_ms" -lt 5000
e2e_check "the dialog window exists" dialog_shown
e2e_expect_eq "the player answers while its dialog is open" 1 "$(state_answer)"
sleep 0.5
e2e_screenshot open-dialog >/dev/null
# Typed as a person would: the file name box has the focus.
e2e_key ctrl+a
xdotool type --delay 20 "$WIN_TWO"
e2e_key Return
e2e_check "choosing a list in the dialog replaces the play list" e2e_wait_journal '^PLAYLIST 2 tracks$'
e2e_check "the choice is journalled" e2e_wait_journal '^DIALOG chose .*list two\.m3u$'

# --- its own window: buttons and keys are the user's, journalled apart ----------
geo="$(e2e_wait_window "$C")"
read -r _ wl wt wr wb _ <<<"$geo"
e2e_expect_eq "window placed where tests expect it" "300 120" "$wl $wt"
e2e_click_window "$C" - 124 313   # Pause button
e2e_check "button click journalled as BUTTON" e2e_wait_journal '^BUTTON Pause$'
e2e_expect_eq "the Pause button pauses" 3 "$(state_answer)"
e2e_expect_eq "own buttons are not remote commands" 0 "$(e2e_journal_count '^WM_COMMAND 100[0-9] ')"
e2e_check "the window came to the foreground" e2e_wait_journal '^FOREGROUND$'
e2e_key F5
e2e_check "F5 is the Play button" e2e_wait_journal '^BUTTON Play$'
e2e_expect_eq "F5 plays" 1 "$(state_answer)"
e2e_screenshot desktop >/dev/null

# --- close ---------------------------------------------------------------------
e2e_check "close is journalled" command_logged 40001
e2e_check "the player ends" e2e_wait_journal '^EXIT$'
e2e_check "its window is gone" e2e_wait_no_window "$C"
e2e_send "$C" WM_USER 0 104 >/dev/null 2>&1
e2e_expect_eq "peer_send reports a missing window" 1 "$?"

# --- a first start with a list plays it -----------------------------------------
e2e_start_player "$WIN_TWO"
e2e_check "started with a list" e2e_wait_journal '^PLAYLIST 2 tracks$' 10 2
e2e_expect_eq "and plays it" 1 "$(state_answer)"
e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
e2e_check "ends again" e2e_wait_journal '^EXIT$' 10 2

e2e_finish

#!/usr/bin/env bash
# What is playing: with "曲が変わったら通知する" on, the player moving on to the
# next track by itself brings the system's balloon over the Play button with
# that track's title exactly as the player holds it in UTF-16 (letters code
# page 932 lacks included); Kelvane's own Next brings none.
#
# The balloon is judged where the taskbar shows it: Wine's taskbar (explorer)
# makes each balloon a tooltip window of the balloon style, and peer_probe asks
# that tooltip for its title and text in the taskbar's own process. A shell
# hook would see what Kelvane asked for, not what the user gets; a screenshot
# cannot tell "ó" from "o" reliably at that size; the tooltip's own text can.
# Wine's tooltips do not answer for their heading (TTM_GETTITLE), so the
# heading is left to the native tests and the screenshot.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
C="$E2E_PLAYER_CLASS"
LIST="$E2E_WORK/titles.m3u8"
printf '\xef\xbb\xbf#EXTM3U\r\n#EXTINF:1,Intro\r\nD:\\01.mp3\r\n#EXTINF:1,Björk – Jóga ♪\r\nD:\\02.mp3\r\n'\
'#EXTINF:1,Sigur Rós – Hoppípolla\r\nD:\\03.mp3\r\n#EXTINF:1,四曲目 – 夜明け\r\nD:\\04.mp3\r\n' >"$LIST"
printf '[Setting]\r\nPlayerPath=%s\r\nNotifyTrack=1\r\n' "$(e2e_winpath "$E2E_PLAYER_EXE")" >"$E2E_APP_DIR/kelvane.ini"

# The balloons on screen, as "<title>\t<text>" lines.
balloons() { e2e_probe balloon; }
# Waits for a balloon whose text is exactly the given one.
balloon_shows() {
  local i
  for i in $(seq 1 $((E2E_TIMEOUT * 5))); do
    balloons | cut -f2- | grep -qxF "$1" && return 0
    sleep 0.2
  done
  e2e_log "balloons: $(balloons | tr '\n\t' '|>')"
  return 1
}
no_balloon() { [ -z "$(balloons)" ]; }
no_balloon_for() {  # seconds
  local end=$((SECONDS + $1))
  while [ $SECONDS -lt $end ]; do
    [ -z "$(balloons)" ] || { e2e_log "a balloon: $(balloons | tr '\n\t' '|>')"; return 1; }
    sleep 0.3
  done
}
track_ends() { e2e_send "$C" 32771 0 0 post >/dev/null; }  # WM_APP + 3

e2e_start_player "$(e2e_winpath "$LIST")"
e2e_check "the player plays its list" e2e_wait_journal '^STATE playing$'
e2e_start_kelvane
e2e_check "Kelvane lays out every button" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
e2e_check "it watches the list position" e2e_wait_journal '^WM_USER 0 125 -> 0$'

# --- the player moves on by itself ------------------------------------------
mark="$(e2e_journal_lines)"
track_ends
e2e_check "the player moves to the second track" e2e_wait_journal_since "$mark" '^TRACK 1$'
e2e_check "Kelvane asks where its UTF-16 title lies" e2e_wait_journal_since "$mark" '^WM_USER 1 213 -> [1-9][0-9]*$'
e2e_check "a balloon shows the title exactly" balloon_shows "Björk – Jóga ♪"
e2e_screenshot balloon >/dev/null
e2e_expect_eq "one balloon for the move" 1 "$(e2e_journal_from $((mark + 1)) | grep -c '^WM_USER 1 213 ')"
e2e_check "it goes by itself" e2e_eventually 40 no_balloon

# --- Kelvane's own Next ---------------------------------------------------------
mark="$(e2e_journal_lines)"
e2e_check "the Next icon is clicked" e2e_click_icon Next
e2e_check "the player moves to the third track" e2e_wait_journal_since "$mark" '^TRACK 2$'
e2e_check "no balloon follows Kelvane's own Next" no_balloon_for 5
e2e_expect_eq "its title was not even asked for" 0 "$(e2e_journal_from $((mark + 1)) | grep -c '^WM_USER 2 21[23] ')"

# --- and the next move of the player's own is told again ------------------------
mark="$(e2e_journal_lines)"
track_ends
e2e_check "the player moves to the fourth track" e2e_wait_journal_since "$mark" '^TRACK 3$'
e2e_check "a balloon shows its title" balloon_shows "四曲目 – 夜明け"

e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
e2e_check "the player closes" e2e_wait_no_window "$C" -
e2e_finish

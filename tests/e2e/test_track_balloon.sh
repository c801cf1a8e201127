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
no_balloon_with() {  # text seconds
  local end=$((SECONDS + $2))
  while [ $SECONDS -lt $end ]; do
    if balloons | cut -f2- | grep -qxF "$1"; then e2e_log "a balloon: $1"; return 1; fi
    sleep 0.3
  done
}
track_ends() { e2e_send "$C" 32771 0 0 post >/dev/null; }  # WM_APP + 3
asked_since() { e2e_journal_from $((mark + 1)) | grep -c "$1"; }

e2e_start_kelvane

# Beside each player the stand-in can be, the same notice; the titles carry
# the profile's name, so that an earlier round's balloon is never taken for
# this one's. A row: the profile, the list positions Kelvane asks the second
# and third titles by, and its answer to the UTF-16 title.
for row in "winamp 1 2 [1-9]" "wacup 1 2 [1-9]" "foobar 0 0 0" "mediamonkey 1 2 0"; do
  read -r profile second third wide <<<"$row"
  LIST="$E2E_WORK/titles-$profile.m3u8"
  printf '\xef\xbb\xbf#EXTM3U\r\n#EXTINF:1,Intro\r\nD:\\01.mp3\r\n#EXTINF:1,Björk – Jóga ♪ %s\r\nD:\\02.mp3\r\n'\
'#EXTINF:1,Sigur Rós – Hoppípolla %s\r\nD:\\03.mp3\r\n#EXTINF:1,四曲目 – 夜明け %s\r\nD:\\04.mp3\r\n' \
    "$profile" "$profile" "$profile" >"$LIST"
  mark="$(e2e_journal_lines)"
  e2e_start_player "--profile=$profile" "$(e2e_winpath "$LIST")"
  e2e_check "$profile: the player plays its list" e2e_wait_journal_since "$mark" '^STATE playing$'
  e2e_check "$profile: Kelvane lays out every button" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
  e2e_check "$profile: it watches the list position" e2e_wait_journal_since "$mark" '^WM_USER 0 125 -> 0$'

  # --- the player moves on by itself ----------------------------------------
  mark="$(e2e_journal_lines)"
  track_ends
  e2e_check "$profile: the player moves to the second track" e2e_wait_journal_since "$mark" '^TRACK 1$'
  e2e_check "$profile: a balloon shows the title exactly" balloon_shows "Björk – Jóga ♪ $profile"
  e2e_screenshot "balloon-$profile" >/dev/null
  e2e_expect_eq "$profile: one balloon for the move, its UTF-16 title asked once" 1 "$(asked_since "^WM_USER $second 213 -> $wide")"

  # --- Kelvane's own Next -----------------------------------------------------
  mark="$(e2e_journal_lines)"
  e2e_check "$profile: the Next icon is clicked" e2e_click_icon Next
  e2e_check "$profile: the player moves to the third track" e2e_wait_journal_since "$mark" '^TRACK 2$'
  e2e_check "$profile: no balloon follows Kelvane's own Next" no_balloon_with "Sigur Rós – Hoppípolla $profile" 4
  e2e_expect_eq "$profile: its title was not even asked for" 0 "$(asked_since "^WM_USER $third 21[23] ")"

  # --- and the next move of the player's own is told again --------------------
  mark="$(e2e_journal_lines)"
  track_ends
  e2e_check "$profile: the player moves to the fourth track" e2e_wait_journal_since "$mark" '^TRACK 3$'
  e2e_check "$profile: a balloon shows its title" balloon_shows "四曲目 – 夜明け $profile"

  e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
  e2e_check "$profile: the player closes" e2e_wait_no_window "$C" -
done
e2e_check "the last balloon goes by itself" e2e_eventually 40 no_balloon

e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_finish

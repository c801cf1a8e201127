#!/usr/bin/env bash
# Kelvane's tray buttons driven with the mouse, beside the stand-in player: the
# click reaches the player, the tray follows the player's state, Stop closes it,
# a known player path starts the player, an unknown one asks for it; every
# button beside each player the stand-in can be.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
C="$E2E_PLAYER_CLASS"
mkdir -p "$E2E_PLAYER_DIR"
cp "$KELVANE_PEER" "$E2E_PLAYER_EXE"

write_ini() {  # PlayerPath
  printf '[Setting]\r\nPlayerPath=%s\r\nCloseOnStop=1\r\n' "$1" >"$E2E_APP_DIR/kelvane.ini"
}
close_kelvane() {
  e2e_send TMain WM_CLOSE 0 0 >/dev/null
  local i
  for i in $(seq 1 50); do kill -0 "$E2E_KELVANE_PID" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}

# --- a known player path: the Play click starts the player and plays -----------
write_ini "$(e2e_winpath "$E2E_PLAYER_EXE")"
e2e_start_kelvane
e2e_check "start-up shows Play and Eject only" e2e_tray_is "Play,Eject"
e2e_screenshot start >/dev/null
e2e_check "no player is running yet" e2e_expect_eq "player windows" 0 "$(e2e_probe count "$C" -)"
e2e_check "the Play icon is clicked" e2e_click_icon Play
e2e_check "the click starts the player" e2e_wait_window "$C" -
e2e_check "and it receives play" e2e_wait_journal '^WM_COMMAND 40045 0$'
e2e_check "the tray grows to every button in id order" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
e2e_screenshot playing >/dev/null

# --- the player changes state from its own window ------------------------------
e2e_click_window "$C" - 124 313   # its Pause button
e2e_check "the player pauses" e2e_wait_journal '^STATE paused$'
sleep 1
e2e_check "pausing changes no button" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
e2e_click_window "$C" - 204 313   # its Stop button
e2e_check "the player stops" e2e_wait_journal '^STATE stopped$'
e2e_check "stopped: Play, Stop (it closes the player) and Eject stay" e2e_tray_is "Play,Stop,Eject"
e2e_screenshot stopped >/dev/null
e2e_click_window "$C" - 44 313    # its Play button
e2e_check "the player plays again" e2e_wait_journal '^STATE playing$' 5 2
e2e_check "every button is laid out anew in id order" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
e2e_click_window "$C" - 284 313   # its Close button
e2e_check "the player closes" e2e_wait_no_window "$C" -
e2e_check "without a player only Play and Eject remain" e2e_tray_is "Play,Eject"

# --- Stop with close-on-stop ---------------------------------------------------
e2e_check "Play starts the player again" e2e_click_icon Play
e2e_check "it plays" e2e_wait_journal '^WM_COMMAND 40045 0$' 10 2
e2e_check "the tray grows again" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
e2e_check "the Stop icon is clicked" e2e_click_icon Stop
e2e_check "stop then close reach the player" e2e_wait_journal '^WM_COMMAND 40001 0$'
e2e_expect_eq "stop comes right before close" "WM_COMMAND 40047 0|WM_COMMAND 40001 0" \
  "$(grep -E '^WM_COMMAND' "$E2E_JOURNAL" | tail -n 2 | paste -sd'|')"
e2e_check "the player has closed" e2e_wait_no_window "$C" -
e2e_check "the tray falls back to Play and Eject" e2e_tray_is "Play,Eject"
e2e_check "kelvane closes on WM_CLOSE" close_kelvane
e2e_check "and removes its icons" e2e_tray_is ""

# --- swap mode, the fade-outs and the middle click --------------------------------
printf '[Setting]\r\nPlayerPath=%s\r\nCloseOnStop=0\r\nPlayChangePause=1\r\nShowPauseIcon=0\r\nFadeoutOnStop=1\r\nFadeoutOnChange=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" >"$E2E_APP_DIR/kelvane.ini"
# The WM_COMMAND numbers the player received since the mark, space-separated.
commands_since_mark() { e2e_journal_from $((mark + 1)) | sed -n 's/^WM_COMMAND \([0-9]*\) 0$/\1/p' | paste -sd' '; }
e2e_start_kelvane
e2e_check "swap mode starts with Play and Eject" e2e_tray_is "Play,Eject"
mark="$(e2e_journal_lines)"
e2e_check "the Play icon is clicked" e2e_click_icon Play
e2e_check "the player starts and plays" e2e_wait_journal_since "$mark" '^WM_COMMAND 40045 0$'
e2e_check "while playing the Play button shows the Pause image" e2e_tray_is "Prev,Pause,Stop,Next,Eject"
e2e_screenshot swap-playing >/dev/null
mark="$(e2e_journal_lines)"
e2e_check "the Play button (Pause image) is clicked" e2e_click_icon Pause
e2e_check "the player pauses" e2e_wait_journal_since "$mark" '^STATE paused$'
e2e_expect_eq "the click sent pause" "40046" "$(commands_since_mark)"
e2e_check "paused, the Play button shows the Play image" e2e_tray_is "Prev,Play,Stop,Next,Eject"
mark="$(e2e_journal_lines)"
e2e_check "the Play button is clicked again" e2e_click_icon Play
e2e_check "the player plays" e2e_wait_journal_since "$mark" '^STATE playing$'
e2e_expect_eq "the click sent play" "40045" "$(commands_since_mark)"
e2e_check "the Pause image is back" e2e_tray_is "Prev,Pause,Stop,Next,Eject"

mark="$(e2e_journal_lines)"
e2e_check "Prev is clicked" e2e_click_icon Prev
e2e_check "the change sequence ends with play" e2e_wait_journal_since "$mark" '^WM_COMMAND 40045 0$' 10
e2e_expect_eq "Prev fades out first" "40147 40044 40045" "$(commands_since_mark)"

e2e_check "the player is minimised" e2e_minimise_player
mark="$(e2e_journal_lines)"
e2e_check "a middle click on Next" e2e_click_icon Next 2
e2e_check "restores the player" e2e_wait_player_iconic 0
e2e_check "and brings it forward" e2e_wait_journal_since "$mark" '^FOREGROUND$' 5
e2e_expect_eq "a middle click sends no command" "" "$(commands_since_mark)"
e2e_screenshot middle-click-restored >/dev/null

mark="$(e2e_journal_lines)"
e2e_check "Stop is clicked" e2e_click_icon Stop
e2e_check "the player stops" e2e_wait_journal_since "$mark" '^STATE stopped$' 10
e2e_expect_eq "Stop fades out instead of stopping at once" "40147" "$(commands_since_mark)"
e2e_check "stopped: Play and Eject remain" e2e_tray_is "Play,Eject"
e2e_check "kelvane closes" close_kelvane
e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
e2e_check "the player closes" e2e_wait_no_window "$C" -

# --- every button beside each player the stand-in can be --------------------------
# The same clicks reach each player and the tray follows its state. foobar2000's
# component never resumes on Pause: Play does.
printf '[Setting]\r\nPlayerPath=%s\r\nCloseOnStop=0\r\nFadeoutOnStop=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" >"$E2E_APP_DIR/kelvane.ini"
LIST="$E2E_WORK/three.m3u"
printf 'D:\\a.mp3\r\nD:\\b.mp3\r\nD:\\c.mp3\r\n' >"$LIST"
# Clicks an icon; true once the player got the command and then the given line.
click_reaches() {  # icon command regex
  mark="$(e2e_journal_lines)"
  e2e_click_icon "$1" && e2e_wait_journal_since "$mark" "^WM_COMMAND $2 0\$" && e2e_wait_journal_since "$mark" "$3"
}
e2e_start_kelvane
for row in "winamp Pause 40046" "wacup Pause 40046" "foobar Play 40045" "mediamonkey Pause 40046"; do
  read -r profile resume <<<"$row"  # and the button that resumes it
  mark="$(e2e_journal_lines)"
  e2e_start_player "--profile=$profile" "$(e2e_winpath "$LIST")"
  e2e_check "$profile: the player plays its list" e2e_wait_journal_since "$mark" '^STATE playing$'
  e2e_check "$profile: every button is laid out" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
  # icon, its command, what the player does then (Stop fades out and stops)
  for step in "Next 40048 ^TRACK 1$" "Prev 40044 ^TRACK 0$" "Pause 40046 ^STATE paused$" "$resume ^STATE playing$" \
    "Stop 40147 ^STATE stopped$"; do
    read -r icon command want <<<"$step"
    e2e_check "$profile: $icon sends $command, then ${want//[\^\$]/}" click_reaches "$icon" "$command" "$want"
  done
  e2e_check "$profile: stopped, Play and Eject remain" e2e_tray_is "Play,Eject"
  e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
  e2e_check "$profile: the player closes" e2e_wait_no_window "$C" -
done
e2e_check "kelvane closes" close_kelvane

# --- no player path: the notice, then the file dialog -------------------------
write_ini ""
e2e_start_kelvane
e2e_check "start-up shows Play and Eject" e2e_tray_is "Play,Eject"
e2e_check "the Play icon is clicked" e2e_click_icon Play
e2e_check "the notice appears" e2e_wait_window "#32770" Kelvane
e2e_screenshot notice >/dev/null
e2e_key Return
e2e_check "then the open-file dialog" e2e_wait_window "#32770" "開く"
e2e_screenshot file-dialog >/dev/null
e2e_key Escape
e2e_check "nothing was started" e2e_expect_eq "player windows" 0 "$(e2e_probe count "$C" -)"
e2e_check "kelvane closes" close_kelvane
e2e_check "the settings file was written" grep -q '^PlayerPath=' "$E2E_APP_DIR/kelvane.ini"

e2e_finish

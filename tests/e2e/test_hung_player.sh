#!/usr/bin/env bash
# A minimised player that stops answering its messages for a while: Kelvane
# goes on answering (a middle click does not wait to restore the player, the
# playlist window opens from the tray, a close ends the program), keeps the
# tray as it was, and a click on Play starts no second player.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
C="$E2E_PLAYER_CLASS"
FORM=KelvaneWindow
FRAME_TITLE='Kelvane - プレイリストウインドウ'
HANG_MS=40000
ended() {
  local i
  for i in $(seq 1 40); do kill -0 "$E2E_KELVANE_PID" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}
printf '[Setting]\r\nPlayerPath=%s\r\nCorrectPath=1\r\nCloseOnStop=0\r\nAutoHide=0\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" >"$E2E_APP_DIR/kelvane.ini"

e2e_start_player
e2e_send "$C" WM_COMMAND 40045 0 >/dev/null
e2e_check "the player plays" e2e_wait_journal '^STATE playing$'
e2e_start_kelvane
e2e_check "the tray shows every button" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"

e2e_check "the player is minimised" e2e_minimise_player
e2e_send "$C" 32770 "$HANG_MS" 0 post >/dev/null
e2e_check "the player stops answering" e2e_wait_journal '^HANG '
hung_at=$SECONDS
# Past Windows' five seconds, and well before, both must hold.
sleep 2
e2e_check "a left click on Play" e2e_click_icon Play
e2e_check "a middle click" e2e_click_icon Next 2
e2e_check "then a right click" e2e_click_icon Play 3
e2e_check "opens the playlist window while the player is still silent" \
  e2e_wait_shown "$FORM" "$FRAME_TITLE" 1 6
e2e_screenshot hung-frame-open >/dev/null
e2e_check "the tray keeps its layout" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
# A posted close is handled only by the program's own message loop.
e2e_send TMain WM_CLOSE 0 0 post >/dev/null
e2e_check "a close reaches the program while the player is still silent" ended
e2e_log "closed $((SECONDS - hung_at)) s into the player's silence"
e2e_expect_eq "the player had not woken meanwhile" 0 "$(e2e_journal_count '^AWAKE$')"
e2e_check "the settings were saved" grep -q '^Version=' "$E2E_APP_DIR/kelvane.ini"
e2e_check "the tray buttons are gone" e2e_tray_is ""

e2e_check "the player answers again" e2e_wait_journal '^AWAKE$' $((HANG_MS / 1000 + 10))
e2e_expect_eq "no second player was started" 1 "$(e2e_journal_count '^START ')"
e2e_expect_eq "one player window" 1 "$(e2e_probe count "$C" -)"
e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
e2e_check "the player closes" e2e_wait_no_window "$C" -
e2e_finish

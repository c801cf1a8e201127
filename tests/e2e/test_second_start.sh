#!/usr/bin/env bash
# Starting kelvane.exe while it runs: the second copy ends at once and the
# first one shows its playlist window; there is one main window, one set of
# tray buttons, and the settings have one writer.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
INI="$E2E_APP_DIR/kelvane.ini"
FORM=KelvaneWindow
FRAME_TITLE='Kelvane - プレイリストウインドウ'
printf '[Setting]\r\nAutoHide=0\r\nPlaylistPos=7\r\n' >"$INI"

ended() {  # pid
  local i
  for i in $(seq 1 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}

e2e_start_kelvane
first=$E2E_KELVANE_PID
e2e_check "the first copy starts" e2e_wait_window TMain - >/dev/null
e2e_check "with Play and Eject" e2e_tray_is "Play,Eject"
e2e_check "its playlist window hidden" e2e_wait_shown "$FORM" "$FRAME_TITLE" 0

e2e_start_kelvane
second=$E2E_KELVANE_PID
e2e_check "the second copy ends" ended "$second"
e2e_check "the first copy shows its playlist window" e2e_wait_shown "$FORM" "$FRAME_TITLE" 1
e2e_screenshot second-start >/dev/null
e2e_expect_eq "one main window" 1 "$(e2e_probe count TMain -)"
e2e_expect_eq "one playlist window" 1 "$(e2e_probe count "$FORM" "$FRAME_TITLE")"
e2e_check "one set of tray buttons" e2e_tray_is "Play,Eject"
e2e_check "the first copy runs on" kill -0 "$first"

e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_check "the first copy closes" ended "$first"
e2e_check "having saved the settings" grep -q $'^PlaylistPos=3\r$' "$INI"

e2e_finish

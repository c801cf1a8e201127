#!/usr/bin/env bash
# Leaving Kelvane through its real window procedure: a close whose settings
# cannot be written is refused with the error box and loses nothing, and the
# end of a Windows session saves the settings without ending anything else.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
INI="$E2E_APP_DIR/kelvane.ini"
WM_QUERYENDSESSION=17
WM_ENDSESSION=22

# Clicks the OK button of the box titled "Kelvane" (other dialogs of the
# program may exist hidden, so the box is told apart by its title).
click_ok() {
  local line
  line="$(e2e_probe tree "#32770" Kelvane | grep -a '"Button" "OK"' | head -n1)" || return 1
  set -- $line
  [ $# -ge 5 ] || return 1
  e2e_click $((($2 + $4) / 2)) $((($3 + $5) / 2))
}
running() { kill -0 "$E2E_KELVANE_PID" 2>/dev/null; }
ended() {
  local i
  for i in $(seq 1 50); do running || return 0; sleep 0.2; done
  return 1
}
# Settings that a save changes (PlaylistPos 7 is saved as 3) beside a section
# of someone else's that it must keep.
write_ini() {
  printf '[Setting]\r\nPlaylistPos=7\r\nShowEjectIcon=0\r\n[Mine]\r\nkeep=this\r\n' >"$INI"
}
saved() {
  grep -q $'^PlaylistPos=3\r$' "$INI" && grep -q $'^ShowEjectIcon=0\r$' "$INI" &&
    grep -q $'^keep=this\r$' "$INI" && grep -q $'^Version=' "$INI"
}

# --- a read-only settings file: the close is refused, nothing is lost --------
write_ini
cp "$INI" "$E2E_WORK/ini-before"
chmod a-w "$INI"   # Wine shows a file without write permission as read-only
e2e_start_kelvane
e2e_check "start-up shows the Play button only" e2e_tray_is "Play"
# Posted: the box is shown inside the close, and a sent message would wait for it.
e2e_send TMain WM_CLOSE 0 0 post >/dev/null
e2e_check "the close shows the error box" e2e_wait_window "#32770" Kelvane
box="$(e2e_probe tree "#32770" Kelvane)"
e2e_check "which names the settings file and says it cannot be written" \
  grep -q 'kelvane\.ini に書き込めません\.' <<<"$box"
e2e_screenshot_window write-error "#32770" Kelvane >/dev/null
e2e_check "its OK button is clicked" click_ok
e2e_check "OK closes the box" e2e_wait_no_window "#32770" Kelvane
e2e_check "the program is still running" running
e2e_check "its tray button stays" e2e_tray_is "Play"
e2e_check "the settings file is as it was" cmp -s "$E2E_WORK/ini-before" "$INI"
e2e_expect_eq "nothing was left beside it: files in the program folder" \
  "icon kelvane.exe kelvane.ini readme.txt" \
  "$(ls "$E2E_APP_DIR" | paste -sd' ')"
chmod u+w "$INI"
e2e_send TMain WM_CLOSE 0 0 post >/dev/null
e2e_check "once the file is writable, the next close ends the program" ended
e2e_check "having saved the settings and kept the other section" saved
e2e_check "and removed its tray button" e2e_tray_is ""

# --- the end of a Windows session ------------------------------------------
write_ini
e2e_start_kelvane
e2e_check "start-up shows the Play button only" e2e_tray_is "Play"
e2e_expect_eq "asked whether the session may end, it agrees" 1 "$(e2e_send TMain $WM_QUERYENDSESSION 0 0)"
e2e_check "and has saved the settings" saved
e2e_check "being only asked, it keeps running" running
e2e_check "with its tray button" e2e_tray_is "Play"
write_ini
e2e_expect_eq "told the session goes on after all" 0 "$(e2e_send TMain $WM_ENDSESSION 0 0)"
e2e_check "it goes on running" running
e2e_expect_eq "asked again, it agrees again" 1 "$(e2e_send TMain $WM_QUERYENDSESSION 0 0)"
e2e_check "and saves again" saved
e2e_send TMain $WM_ENDSESSION 1 0 >/dev/null
e2e_check "told the session ends, the settings stay saved" saved
e2e_send TMain WM_CLOSE 0 0 post >/dev/null
e2e_check "kelvane closes" ended

e2e_finish

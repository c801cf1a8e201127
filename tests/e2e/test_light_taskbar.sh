#!/usr/bin/env bash
# Icons for light and dark taskbars: with the system's light taskbar written
# into the registry and the colour change broadcast as Windows does it, every
# shown button takes its picture of the light set, and back; Wine has no such
# value of its own, so Kelvane starts with today's pictures.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
C="$E2E_PLAYER_CLASS"
PERSONALIZE='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
# The prefix is every story's: it is left without the value, whatever happens here.
forget_taskbar() { e2e_wine reg delete "$PERSONALIZE" /v SystemUsesLightTheme /f >/dev/null 2>&1; }
trap 'kv_rc=$?; forget_taskbar; (exit $kv_rc); e2e_cleanup' EXIT
forget_taskbar
DARK="$KELVANE_SOURCE/resources/icon"
LIGHT="$KELVANE_SOURCE/resources/icon/light"
ALL="Prev,Play,Pause,Stop,Next,Eject"
printf '%s\r\n' "$(e2e_winpath "$E2E_WORK/one.mp3")" >"$E2E_WORK/list.m3u"

# The pictures of one set found in the tray, from one screenshot each, no waiting.
pictures() { E2E_ICONS="$1" e2e_tray_icons; }
# The taskbar's colours as a user switches them: the value, then the broadcast,
# which returns once every window has handled it.
switch_taskbar() {  # 0 dark, 1 light
  e2e_wine reg add "$PERSONALIZE" /v SystemUsesLightTheme /t REG_DWORD /d "$1" /f >/dev/null &&
    e2e_probe settingchange ImmersiveColorSet
}

e2e_start_player "$(e2e_winpath "$E2E_WORK/list.m3u")"
e2e_check "the player plays" e2e_wait_journal '^STATE playing$'
e2e_start_kelvane
e2e_check "every button shows today's picture" e2e_tray_is "$ALL"
e2e_expect_eq "none of the light set" "" "$(pictures "$LIGHT")"
e2e_screenshot dark >/dev/null

e2e_check "the taskbar turns light" switch_taskbar 1
# Kelvane has changed the images before the broadcast returned; a second is
# left for the taskbar to paint them.
sleep 1
e2e_expect_eq "a second later every button shows the light set" "$ALL" "$(pictures "$LIGHT")"
e2e_expect_eq "and none of today's" "" "$(pictures "$DARK")"
e2e_screenshot light >/dev/null

# The player pauses and plays on: the layout is kept, in the light set.
e2e_send "$C" WM_COMMAND 40046 0 >/dev/null
e2e_check "paused" e2e_wait_journal '^STATE paused$'
e2e_send "$C" WM_COMMAND 40046 0 >/dev/null
e2e_check "playing again" e2e_wait_journal '^STATE playing$' 5 2
E2E_ICONS="$LIGHT" e2e_check "the buttons stay in the light set" e2e_tray_is "$ALL"

e2e_check "the taskbar turns dark again" switch_taskbar 0
sleep 1
e2e_expect_eq "a second later today's pictures are back" "$ALL" "$(pictures "$DARK")"

e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_send "$C" WM_COMMAND 40001 0 >/dev/null
e2e_check "the player closes" e2e_wait_no_window "$C" -
e2e_finish

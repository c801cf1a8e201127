#!/usr/bin/env bash
# Kelvane as a person runs it beside a player under Wine on a Linux desktop: no
# virtual desktop, its buttons docked into the X screen's own XEmbed tray. Left,
# middle and right clicks on them; the playlist window placed by the work area the
# X screen publishes. With no window manager nobody draws a frame or caption, so
# the screenshots show the window's client area alone.
export KELVANE_WINE_DESKTOP=none
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
C="$E2E_PLAYER_CLASS"
printf '[Setting]\r\nPlayerPath=%s\r\n' "$(e2e_winpath "$E2E_PLAYER_EXE")" >"$E2E_APP_DIR/kelvane.ini"

e2e_start_kelvane
e2e_check "start-up docks Play and Eject into the tray" e2e_tray_is "Play,Eject"
e2e_screenshot start >/dev/null

e2e_check "the Play icon is clicked" e2e_click_icon Play
e2e_check "the click starts the player" e2e_wait_window "$C" -
e2e_check "and it receives play" e2e_wait_journal '^WM_COMMAND 40045 0$'
e2e_check "every button docks, in id order" e2e_tray_is "Prev,Play,Pause,Stop,Next,Eject"
e2e_screenshot playing >/dev/null

e2e_check "the player is minimised" e2e_minimise_player
foreground="$(e2e_journal_count '^FOREGROUND$')"
e2e_check "a middle click on a tray icon" e2e_click_icon Next 2
e2e_check "restores the player" e2e_wait_player_iconic 0
e2e_check "and brings it forward" e2e_wait_journal '^FOREGROUND$' 5 $((foreground + 1))
e2e_screenshot restored >/dev/null

# A right click opens the playlist window in the work area's bottom-right corner
# (the default corner), which here is the screen above the tray's reserved strip.
TITLE='Kelvane - プレイリストウインドウ'
e2e_check "a right click on a tray icon" e2e_click_icon Play 3
frame="$(e2e_wait_shown - "$TITLE")"
read -r _ left top right bottom visible _ <<<"$frame"
read -r _ _ wa_right wa_bottom <<<"$(e2e_probe workarea)"
read -r _ tray_top _ _ <<<"$(e2e_tray_geometry)"
e2e_expect_eq "opens the playlist window" 1 "${visible:-}"
e2e_expect_eq "its size" "410x348" "$((${right:-0} - ${left:-0}))x$((${bottom:-0} - ${top:-0}))"
e2e_expect_eq "the work area ends at the tray" "$tray_top" "${wa_bottom:-}"
e2e_expect_eq "the window's right edge on the work area's" "${wa_right:-}" "${right:-}"
e2e_expect_eq "its bottom on the work area's" "${wa_bottom:-}" "${bottom:-}"
e2e_screenshot playlist-window >/dev/null
# A click on another program takes the activation away: the window hides.
e2e_check "a click on the player" e2e_click_window "$C" - 200 200
e2e_check "hides it" e2e_wait_shown - "$TITLE" 0

e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_check "kelvane ends on WM_CLOSE" bash -c "for i in \$(seq 50); do kill -0 $E2E_KELVANE_PID 2>/dev/null || exit 0; sleep 0.2; done; exit 1"
e2e_check "its icons leave the tray" e2e_tray_is ""
e2e_check "the tray holds no socket" test "$(xwininfo -children -id "$(e2e_xembed_tray_xid)" | grep -c 'explorer.exe')" = 0
e2e_screenshot closed >/dev/null

e2e_finish

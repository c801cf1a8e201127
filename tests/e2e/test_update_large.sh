#!/usr/bin/env bash
# An update of a 20,000-track library from the playlist window takes many
# seconds on one thread; Windows must never call the program hung meanwhile
# (no message looked at for 5 seconds). A watcher asks IsHungAppWindow about
# the dialog every 100 ms throughout and must hear "no" every time.
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Lists"
# 40 playlists of 500 tracks, each track a few bytes and an ID3v1 trailer;
# 10 artists and 20 albums per playlist.
e2e_make_library "$MUSIC" "$LISTS" 40 500 10 20
printf '[Setting]\r\nPlayListPath=%s\r\nAutoHide=0\r\nCheckMP3OnUpdate=1\r\n' "$(e2e_winpath "$LISTS")" \
  >"$E2E_APP_DIR/kelvane.ini"

FORM=KelvaneWindow
FRAME_TITLE='Kelvane - プレイリストウインドウ'
e2e_start_kelvane
e2e_check "the main window exists" e2e_wait_window TMain - >/dev/null
e2e_check "the playlist window opens from the tray" e2e_click_icon Play 3
e2e_check "the playlist window is up" e2e_wait_window "$FORM" "$FRAME_TITLE" >/dev/null
start=$SECONDS
e2e_click_frame_menu プレイリスト更新
# The watcher runs beside the update; a screenshot is taken while it counts.
wine "$E2E_TOOLS/hung_watch.exe" "$FORM" Kelvane $((E2E_TIMEOUT * 1000)) 400000 >"$E2E_WORK/watch.txt" 2>/dev/null 7>&- &
watcher=$!
e2e_wait_window "$FORM" Kelvane >/dev/null && sleep 2 && e2e_screenshot 1-counting >/dev/null
wait $watcher
watch="$(tr -d '\r' <"$E2E_WORK/watch.txt")"
e2e_log "watch: $watch (update took about $((SECONDS - start)) s)"
e2e_check "the dialog was never hung and the update ended" grep -q 'hung 0 done 1' <<<"$watch"
e2e_screenshot 2-done >/dev/null
e2e_expect_eq "every playlist added" 40 "$(tr -d '\r' <"$E2E_APP_DIR/playlist.log" | wc -l)"
e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_finish

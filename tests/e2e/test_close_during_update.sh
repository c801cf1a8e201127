#!/usr/bin/env bash
# WM_CLOSE sent to TMain while an update of 150 playlists runs (as a logoff or
# another program sends it): the update stops before its next playlist, only
# then are the settings saved and the program ended, and the library it
# leaves is one that the next update brings to exactly what an update
# without the close makes. The end of the session likewise, and a close
# posted instead of sent (as taskkill without /F does).
. "$(dirname "$0")/lib.sh"

e2e_setup
e2e_copy_kelvane
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Lists"
INI="$E2E_APP_DIR/kelvane.ini"
TOOL="$KELVANE_BUILD/tools/update/kelvane-update.exe"
e2e_make_library "$MUSIC" "$LISTS" 150 80 8 16
printf '[Setting]\r\nPlayListPath=%s\r\nAutoHide=0\r\nCheckMP3OnUpdate=0\r\nPlaylistPos=7\r\n' \
  "$(e2e_winpath "$LISTS")" >"$INI"

FORM=KelvaneWindow
FRAME_TITLE='Kelvane - プレイリストウインドウ'
e2e_start_kelvane
e2e_check "the main window exists" e2e_wait_window TMain - >/dev/null
open_frame() {
  local i
  for i in $(seq 1 25); do e2e_click_icon Play 3 2>/dev/null && return 0; sleep 0.2; done
  return 1
}
running() { kill -0 "$E2E_KELVANE_PID" 2>/dev/null; }
ended_within() {  # seconds
  local i
  for i in $(seq 1 $(($1 * 5))); do running || return 0; sleep 0.2; done
  return 1
}
e2e_check "the playlist window opens from the tray" open_frame
e2e_check "the playlist window is up" e2e_wait_window "$FORM" "$FRAME_TITLE" >/dev/null
e2e_click_frame_menu プレイリスト更新
e2e_check "the update dialog appears" e2e_wait_window "$FORM" Kelvane >/dev/null
e2e_check "the update writes its first playlists" e2e_eventually 20 test -f "$E2E_APP_DIR/playlist/List001.log"
e2e_screenshot 1-updating >/dev/null

e2e_expect_eq "WM_CLOSE is answered at once" 0 "$(e2e_send TMain WM_CLOSE 0 0)"
closed_at=$SECONDS
e2e_check "the program ends soon after" ended_within 10
e2e_log "ended $((SECONDS - closed_at)) s after the close"
e2e_check "having saved the settings" grep -q $'^PlaylistPos=3\r$' "$INI"
reached="$(tr -d '\r' <"$E2E_APP_DIR/playlist.log" | grep -c "=[-0-9]")"
e2e_log "playlist.log lists $reached of 150 playlists"
e2e_check "the update stopped part way" test "$reached" -lt 150
e2e_check "with its last playlists in the record" test "$reached" -gt 0
snapshot() { (cd "$1" && find playlist playlist.log -type f -print0 | sort -z | xargs -0 md5sum); }
stopped="$(snapshot "$E2E_APP_DIR")"
sleep 2
e2e_expect_eq "nothing is written after the end" "$stopped" "$(snapshot "$E2E_APP_DIR")"

# The next update (the console tool, on the same library) repairs it: the
# result is byte for byte that of an update that ran to its end.
REF="$E2E_WORK/Reference"
mkdir -p "$REF"
e2e_wine "$TOOL" "$(e2e_winpath "$E2E_APP_DIR")\\" "$(e2e_winpath "$LISTS")" >"$E2E_WORK/repair.txt"
e2e_wine "$TOOL" "$(e2e_winpath "$REF")\\" "$(e2e_winpath "$LISTS")" >/dev/null
e2e_log "repair: $(tr '\n' ' ' <"$E2E_WORK/repair.txt")"
e2e_check "the next update finishes the library" e2e_expect_eq "library" "$(snapshot "$REF")" "$(snapshot "$E2E_APP_DIR")"

# A fresh library and settings, the program started again and an update under way.
update_again() {  # what this round is
  rm -rf "$E2E_APP_DIR/playlist" "$E2E_APP_DIR/playlist.log"
  printf '[Setting]\r\nPlayListPath=%s\r\nAutoHide=0\r\nCheckMP3OnUpdate=0\r\nPlaylistPos=7\r\n' \
    "$(e2e_winpath "$LISTS")" >"$INI"
  e2e_start_kelvane
  e2e_check "$1: the main window exists" e2e_wait_window TMain - >/dev/null
  e2e_check "$1: the playlist window opens" open_frame
  e2e_check "$1: and is up" e2e_wait_window "$FORM" "$FRAME_TITLE" >/dev/null
  e2e_click_frame_menu プレイリスト更新
  e2e_check "$1: the update writes its first playlists" e2e_eventually 20 test -f "$E2E_APP_DIR/playlist/List001.log"
}

# --- the end of the Windows session during an update --------------------------
# The session may end at once; the settings are saved when it does end, by
# which time the update has stopped: nothing is written after that answer.
update_again "session end"
e2e_expect_eq "asked whether the session may end, it agrees at once" 1 "$(e2e_send TMain 17 0 0)"
e2e_check "without saving yet" grep -q $'^PlaylistPos=7\r$' "$INI"
e2e_send TMain 22 1 0 >/dev/null   # WM_ENDSESSION: answered once the update has stopped
e2e_check "told the session ends, it has saved the settings" grep -q $'^PlaylistPos=3\r$' "$INI"
ended_at="$(snapshot "$E2E_APP_DIR")"
reached="$(tr -d '\r' <"$E2E_APP_DIR/playlist.log" | grep -c "=[-0-9]")"
e2e_log "playlist.log lists $reached of 150 playlists"
e2e_check "the update stopped part way" test "$reached" -lt 150
sleep 2
e2e_expect_eq "nothing is written after the session's end" "$ended_at" "$(snapshot "$E2E_APP_DIR")"
e2e_send TMain WM_CLOSE 0 0 >/dev/null
e2e_check "it closes" ended_within 10

# --- a close posted during an update ------------------------------------------
# It waits in the queue, where the update's look at it must find it.
update_again "posted close"
e2e_send TMain WM_CLOSE 0 0 post >/dev/null
closed_at=$SECONDS
e2e_check "a posted close ends the program soon after" ended_within 10
e2e_log "ended $((SECONDS - closed_at)) s after the posted close"
e2e_check "having saved the settings once more" grep -q $'^PlaylistPos=3\r$' "$INI"
reached="$(tr -d '\r' <"$E2E_APP_DIR/playlist.log" | grep -c "=[-0-9]")"
e2e_log "playlist.log lists $reached of 150 playlists"
e2e_check "the update stopped part way once more" test "$reached" -lt 150

e2e_finish

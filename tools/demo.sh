#!/usr/bin/env bash
# Runs Kelvane on a Wine virtual desktop beside the stand-in player, with a small
# sample library. With a display the desktop opens there and Kelvane runs until
# you press Enter here; without one it runs under a private Xvfb, takes a short
# scripted tour of the tray and saves screenshots.
#
#   tools/demo.sh [--real-tray] [--lang=en_US.UTF-8]
#
# --real-tray: no virtual desktop. Kelvane and the player are windows of your own
# display and the buttons dock into its system tray (an XEmbed tray), as when you
# run a player under Wine on a Linux desktop. Without a display the tour runs on a
# private Xvfb with trayer as the tray.
# --lang: the locale Wine runs under (default ja_JP.UTF-8, a Japanese system);
# en_US.UTF-8 is a Western one (code page 1252), whose sample names are Latin-1.
set -euo pipefail
REPO="$(cd "$(dirname "$0")/.." && pwd)"
cd "$REPO"

REAL_TRAY=0
for arg in "$@"; do
  case "$arg" in
    --real-tray) REAL_TRAY=1 ;;
    --lang=*) export KELVANE_LANG="${arg#--lang=}" ;;
    -h | --help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "demo: unknown option '$arg' (tools/demo.sh --help)" >&2; exit 2 ;;
  esac
done

if [ "$(id -u)" -eq 0 ]; then tools/setup.sh
elif sudo -n true 2>/dev/null; then sudo tools/setup.sh
else echo "demo: not root and no sudo; assuming tools/setup.sh has been run" >&2
fi

cmake --preset windows >/dev/null
cmake --build --preset windows -j"${JOBS:-2}" --target kelvane winamp_standin peer_send peer_probe hung_watch kelvane-update

export KELVANE_SOURCE="$REPO" KELVANE_BUILD="$REPO/build/windows" KELVANE_E2E_KEEP=1
[ -n "${DISPLAY:-}" ] && export KELVANE_E2E_USE_DISPLAY=1
[ "$REAL_TRAY" = 1 ] && export KELVANE_WINE_DESKTOP=none
# The rig's helpers and its cleanup trap expect failures to be answered, not fatal.
set +e
# shellcheck source=tests/e2e/lib.sh
. "$REPO/tests/e2e/lib.sh"

e2e_setup
e2e_copy_kelvane

# A sample library: tracks with ID3v1 trailers from the test corpus (whose
# artist and album fields are blank), a few made here with both, and three
# with only an ID3v2 tag; two playlists.
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Playlists"
mkdir -p "$MUSIC" "$LISTS"
for f in "$REPO"/tests/data/corpus/taglib/*.mp3; do
  if [ "$(tail -c 128 "$f" | head -c 3 | tr -d '\000')" = TAG ]; then cp "$f" "$MUSIC/"; fi
done
# Names, tags and playlists in the system's code page: Japanese on a Japanese
# system, Latin-1 on a Western one.
CHARSET=CP932
TRACK4="04 夜明け|夜明け|青い鳥|はじまりの歌"
TRACK5="05 帰り道|帰り道|青い鳥|はじまりの歌"
TRACK9="09 月の砂漠|月の砂漠|静かな湖畔|夜の音楽"
case "${KELVANE_LANG:-ja_JP.UTF-8}" in
  ja_JP*) ;;
  *)
    CHARSET=CP1252
    export E2E_TAG_CHARSET=CP1252
    TRACK4="04 Fjörður|Fjörður|Sigur Rós|Ágætis byrjun"
    TRACK5="05 Déjà vu|Déjà vu|Beyoncé|B'Day"
    TRACK9="09 Hoppípolla|Hoppípolla|Sigur Rós|Takk"
    ;;
esac
while IFS='|' read -r name title artist album; do
  e2e_make_mp3 "$MUSIC/$name.mp3" "$title" "$artist" "$album"
done <<TRACKS
01 Harbour Lights|Harbour Lights|The Lanterns|Night Ferry
02 Low Tide|Low Tide|The Lanterns|Night Ferry
03 Paper Moon|Paper Moon|The Lanterns|Second Sight
$TRACK4
$TRACK5
06 Glasswork|Glasswork|Mira Holt|Second Sight
TRACKS
# Tracks as taggers write them today: an ID3v2 tag at the start and no ID3v1
# trailer, shown under their artist because the sample's settings read ID3v2.
python3 - "$MUSIC" "$TRACK9" <<'EOF'
import sys
def syncsafe(n): return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
def text(fid, value): data = b'\x03' + value.encode('utf-8'); return fid.encode() + syncsafe(len(data)) + b'\0\0' + data
for name, title, artist, album in [
        ('07 Electricity', 'Electricity', 'Orchestral Manoeuvres in the Dark', 'Orchestral Manoeuvres in the Dark'),
        ('08 Enola Gay', 'Enola Gay', 'Orchestral Manoeuvres in the Dark', 'Organisation'),
        tuple(sys.argv[2].split('|'))]:
    frames = text('TIT2', title) + text('TPE1', artist) + text('TALB', album)
    tag = b'ID3\x04\0\0' + syncsafe(len(frames) + 512) + frames + bytes(512)
    open(f'{sys.argv[1]}/{name}.mp3', 'wb').write(tag + b'\xff\xfb\x90\x64' + bytes(2044))
EOF
WMUSIC="$(e2e_winpath "$MUSIC")"
{ for f in "$MUSIC"/*.mp3; do printf '%s\\%s\r\n' "$WMUSIC" "$(basename "$f")"; done; } |
  iconv -f UTF-8 -t "$CHARSET" >"$LISTS/All tracks.m3u"
{ printf '#EXTM3U\r\n'; for f in "01 Harbour Lights" "${TRACK4%%|*}"; do printf '%s\\%s.mp3\r\n' "$WMUSIC" "$f"; done; } |
  iconv -f UTF-8 -t "$CHARSET" >"$LISTS/Two.m3u"
printf '[Setting]\r\nPlayerPath=%s\r\nPlayListPath=%s\r\nReadID3v2=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
# The track notice is on in the sample (off by default).
printf 'NotifyTrack=1\r\n' >>"$E2E_APP_DIR/kelvane.ini"

# The library: one whole update of the sample, as a scheduled task would run it.
cp "$KELVANE_BUILD/tools/update/kelvane-update.exe" "$E2E_APP_DIR/"
e2e_log "library update of the sample playlists:"
e2e_wine "$E2E_APP_DIR/kelvane-update.exe" --check-mp3 --id3v2 "$(e2e_winpath "$E2E_APP_DIR")" "$(e2e_winpath "$LISTS")" || true

e2e_start_kelvane
click() { e2e_click_icon "$1"; }

if [ "${KELVANE_E2E_USE_DISPLAY:-0}" = 1 ]; then
  if [ "$REAL_TRAY" = 1 ]; then
    e2e_log "Kelvane's buttons are in your desktop's tray (Play starts the stand-in player; a middle"
    e2e_log "click brings the player back). No XEmbed tray on this desktop: Wine shows them in its"
    e2e_log "own small window, \"Wine System Tray\"."
  else
    e2e_log "Kelvane runs on the virtual desktop: click its tray icons (Play starts the stand-in player)."
  fi
  read -r -p "Press Enter to close Kelvane... " _
else
  e2e_wait_icon Play >/dev/null
  e2e_screenshot 1-start >/dev/null
  click Play && e2e_wait_window "$E2E_PLAYER_CLASS" - >/dev/null && sleep 2
  e2e_screenshot 2-playing >/dev/null
  click Pause && sleep 1.5
  e2e_screenshot 3-paused >/dev/null
  click Stop && sleep 2
  e2e_screenshot 4-stopped-and-closed >/dev/null
  # The library update from the playlist window, over many more playlists than
  # the two above so that the counters are seen rising.
  for i in $(seq -w 1 150); do cp "$LISTS/All tracks.m3u" "$LISTS/Mix $i.m3u"; done
  FRAME_TITLE='Kelvane - プレイリストウインドウ'
  e2e_click_icon Play 3 && e2e_wait_window KelvaneWindow "$FRAME_TITLE" >/dev/null && sleep 1
  e2e_screenshot 5-playlist-window >/dev/null
  e2e_click_frame_menu プレイリスト更新
  wine "$E2E_TOOLS/hung_watch.exe" KelvaneWindow Kelvane 15000 300000 >"$E2E_WORK/watch.txt" 2>/dev/null 7>&- &
  watcher=$!
  e2e_wait_window KelvaneWindow Kelvane >/dev/null && sleep 0.5 && e2e_screenshot 6-updating >/dev/null
  wait $watcher
  e2e_log "update dialog watched: $(tr -d '\r' <"$E2E_WORK/watch.txt")"
  e2e_screenshot 7-update-done >/dev/null
  ok="$(e2e_probe tree KelvaneWindow Kelvane | LC_ALL=C grep -a '"Button" "OK"')"
  read -r _ bl bt br bb _ <<<"$ok"
  [ -n "$ok" ] && e2e_click $(((bl + br) / 2)) $(((bt + bb) / 2)) && sleep 1
  e2e_screenshot 8-after-update >/dev/null
  # A playlist chosen: its artists and albums with their pictures. OK gave
  # the window back; a right click brings it if it was hidden meanwhile.
  read -r _ _ _ _ _ visible _ <<<"$(e2e_probe find KelvaneWindow "$FRAME_TITLE")"
  [ "$visible" = 1 ] || { e2e_click_icon Play 3 && e2e_wait_shown KelvaneWindow "$FRAME_TITLE" >/dev/null; }
  point="$(e2e_tree_item_point KelvaneWindow "$FRAME_TITLE" 0 'All tracks')"
  [ -n "$point" ] && e2e_click $point && sleep 1
  e2e_screenshot 9-playlist-selected >/dev/null
  # The about box: "ヘルプ" on the menu bar, then the last item of its submenu.
  e2e_click_frame_help last
  e2e_wait_window - 'Kelvane - バージョン情報' >/dev/null && sleep 0.5
  e2e_screenshot 10-about >/dev/null
  e2e_key Return
  # The options dialog from the keyboard: F10 opens the menu bar, Enter its
  # first item, "設定".
  [ "$(e2e_probe find KelvaneWindow "$FRAME_TITLE" | cut -d' ' -f6)" = 1 ] ||
    { e2e_click_icon Play 3 && e2e_wait_shown KelvaneWindow "$FRAME_TITLE" >/dev/null; }
  e2e_key F10 && sleep 0.3 && e2e_key Return
  e2e_wait_shown KelvaneWindow 'Kelvane - 設定' >/dev/null && sleep 0.5
  e2e_screenshot 11-options >/dev/null
  e2e_key Escape

  # What is playing, and the light taskbar: the player is handed a list with
  # titles (UTF-8, so any script), moves on by itself, and the Play button's
  # balloon names the track; then the taskbar turns light and back.
  printf '\xef\xbb\xbf#EXTINF:1,Harbour Lights\r\nD:\\01.mp3\r\n#EXTINF:1,Sigur Rós – Hoppípolla\r\nD:\\02.mp3\r\n' \
    >"$E2E_WORK/Now playing.m3u8"
  kv_wine_start "$E2E_PLAYER_EXE" "$(e2e_winpath "$E2E_WORK/Now playing.m3u8")"
  e2e_wait_journal '^TRACK 0$' >/dev/null && sleep 2
  e2e_send "$E2E_PLAYER_CLASS" 32771 0 0 post >/dev/null  # the track ends
  balloon_up() { e2e_probe balloon | grep -q Hopp; }
  e2e_eventually 10 balloon_up && sleep 0.5
  e2e_screenshot 12-balloon >/dev/null
  personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
  e2e_wine reg add "$personalize" /v SystemUsesLightTheme /t REG_DWORD /d 1 /f >/dev/null
  e2e_probe settingchange ImmersiveColorSet && sleep 1
  e2e_screenshot 13-light-taskbar >/dev/null
  e2e_wine reg delete "$personalize" /v SystemUsesLightTheme /f >/dev/null
  e2e_probe settingchange ImmersiveColorSet
  e2e_log "player journal:"
  sed 's/^/    /' "$E2E_JOURNAL"
fi
e2e_send TMain WM_CLOSE 0 0 >/dev/null || true
sleep 1
e2e_log "settings written: $E2E_APP_DIR/kelvane.ini"
e2e_log "screenshots: $E2E_ARTEFACTS"

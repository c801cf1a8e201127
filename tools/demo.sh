#!/usr/bin/env bash
# Runs Kelvane on a Wine virtual desktop beside the stand-in player, with a small
# sample library (names in many scripts, the Unicode library on). With a display
# (DISPLAY set) the desktop opens there and Kelvane runs until you press Enter
# here; without one it runs under a private Xvfb, takes
# a short scripted tour of the tray and the windows, saves screenshots and ends
# with a summary of what it clicked and what the player did. Each language setting
# has a folder of its own (build/windows/e2e-artefacts/demo/ja_JP, …/en_US).
#
#   tools/demo.sh [--real-tray] [--lang=en_US.UTF-8]
#
# --real-tray: no virtual desktop. Kelvane and the player are windows of your own
# display and the buttons dock into its system tray (an XEmbed tray), as when you
# run a player under Wine on a Linux desktop. Without a display the tour runs on a
# private Xvfb with trayer as the tray.
# --lang: the locale Wine runs under (default ja_JP.UTF-8, a Japanese system);
# en_US.UTF-8 is a Western one (code page 1252), whose code page names are Latin-1.
# KELVANE_WINEPREFIX=<folder>: the Wine prefix to make and use instead of the
# default one under build/windows (it must be empty or made here).
set -euo pipefail
REPO="$(cd "$(dirname "$0")/.." && pwd)"
cd "$REPO"

REAL_TRAY=0
for arg in "$@"; do
  case "$arg" in
    --real-tray) REAL_TRAY=1 ;;
    --lang=*) export KELVANE_LANG="${arg#--lang=}" ;;
    -h | --help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
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
[ -n "${KELVANE_WINEPREFIX:-}" ] && export KELVANE_E2E_WINEPREFIX="$KELVANE_WINEPREFIX"
LANG_NAME="${KELVANE_LANG:-ja_JP.UTF-8}"
E2E_NAME="demo/${LANG_NAME%%.*}"
[ "$REAL_TRAY" = 1 ] && E2E_NAME+="-real-tray"
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
# trailer, shown under their artist because the sample's settings read ID3v2;
# two of them a compilation (TCMP), one node "Various Artists" because the
# sample's settings group by album artist.
python3 - "$MUSIC" "$TRACK9" <<'EOF'
import sys
def syncsafe(n): return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
def text(fid, value): data = b'\x03' + value.encode('utf-8'); return fid.encode() + syncsafe(len(data)) + b'\0\0' + data
for name, title, artist, album, *more in [
        ('07 Electricity', 'Electricity', 'Orchestral Manoeuvres in the Dark', 'Orchestral Manoeuvres in the Dark'),
        ('08 Enola Gay', 'Enola Gay', 'Orchestral Manoeuvres in the Dark', 'Organisation'),
        tuple(sys.argv[2].split('|')),
        ('10 Shoreline', 'Shoreline', 'The Lanterns', 'Summer Radio', 'TCMP'),
        ('11 Heatwave', 'Heatwave', 'Mira Holt', 'Summer Radio', 'TCMP')]:
    frames = text('TIT2', title) + text('TPE1', artist) + text('TALB', album) + b''.join(text(f, '1') for f in more)
    tag = b'ID3\x04\0\0' + syncsafe(len(frames) + 512) + frames + bytes(512)
    open(f'{sys.argv[1]}/{name}.mp3', 'wb').write(tag + b'\xff\xfb\x90\x64' + bytes(2044))
EOF
WMUSIC="$(e2e_winpath "$MUSIC")"
{ for f in "$MUSIC"/*.mp3; do printf '%s\\%s\r\n' "$WMUSIC" "$(basename "$f")"; done; } |
  iconv -f UTF-8 -t "$CHARSET" >"$LISTS/All tracks.m3u"
{ printf '#EXTM3U\r\n'; for f in "01 Harbour Lights" "${TRACK4%%|*}"; do printf '%s\\%s.mp3\r\n' "$WMUSIC" "$f"; done; } |
  iconv -f UTF-8 -t "$CHARSET" >"$LISTS/Two.m3u"
# A playlist of relative entries, as the player's relative-paths option and
# beets write them: each line is found from the playlist's own folder.
{ printf '#EXTM3U\r\n'; for f in "02 Low Tide" "06 Glasswork" "07 Electricity"; do printf '..\\Music\\%s.mp3\r\n' "$f"; done; } \
  >"$LISTS/Relative.m3u8"
# And a UTF-8 playlist, 世界.m3u8, of tracks named and tagged (ID3v2, UTF-16) in
# Japanese, Korean, Cyrillic, Latin-1 and an emoji, which the Unicode library
# (on in the sample's settings) keeps exactly on either system.
python3 "$REPO/tests/e2e/unicode_library.py" make "$MUSIC" "$LISTS" "$WMUSIC" "$([ "$CHARSET" = CP932 ] && echo 932 || echo 1252)" \
  "$E2E_WORK/sample.json" --sample
printf '[Setting]\r\nPlayerPath=%s\r\nPlayListPath=%s\r\nReadID3v2=1\r\nGroupByAlbumArtist=1\r\nUnicodeLibrary=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
# The track notice is on in the sample (off by default).
printf 'NotifyTrack=1\r\n' >>"$E2E_APP_DIR/kelvane.ini"

# The library: one whole update of the sample, as a scheduled task would run it.
cp "$KELVANE_BUILD/tools/update/kelvane-update.exe" "$E2E_APP_DIR/"
e2e_log "library update of the sample playlists:"
e2e_wine "$E2E_APP_DIR/kelvane-update.exe" --check-mp3 --id3v2 --album-artist --utf8 "$(e2e_winpath "$E2E_APP_DIR")" "$(e2e_winpath "$LISTS")" || true

e2e_start_kelvane

# What the player did since journal line <n>: its journal without the play-state
# questions Kelvane asks twice a second, in words.
player_did() {
  e2e_journal_from $(($1 + 1)) | LC_ALL=C awk '
    $1 == "START" { w = "started" } $1 == "FOREGROUND" { w = "came to the front" } $1 == "EXIT" { w = "closed" }
    $1 == "STATE" { w = ($2 == "playing") ? "played" : $2 } $1 == "PLAYLIST" { w = "took a playlist of " $2 " tracks" }
    w != "" && w != last { printf "%s%s", sep, w; sep = ", "; last = w } { w = "" }
    END { if (sep == "") printf "did nothing" }'
}
# The tour's summary, a line a step: step <what is done> starts one; outcome
# <status of the wait for its outcome> <the outcome> <screenshot> ends it.
STEPS=()
step() { STEP="$1"; MARK="$(e2e_journal_lines)"; }
outcome() {
  local came="$2"
  [ "$1" = 0 ] || came+=" (NOT SEEN)"
  [ -n "${3:-}" ] && e2e_screenshot "$3" >/dev/null && came+=" ($3.png)"
  STEPS+=("$STEP: $came")
}

if [ "${KELVANE_E2E_USE_DISPLAY:-0}" = 1 ]; then
  if [ "$REAL_TRAY" = 1 ]; then
    e2e_log "Kelvane's buttons are in your desktop's tray (Play starts the stand-in player; a middle"
    e2e_log "click brings the player back). No XEmbed tray on this desktop: Wine shows them in its"
    e2e_log "own small window, \"Wine System Tray\"."
  else
    e2e_log "Kelvane runs on the virtual desktop: click its tray icons (Play starts the stand-in player)."
  fi
  step "your clicks"
  read -r -p "Press Enter to close Kelvane... " _
  outcome 0 "the player $(player_did 0)"
else
  step "start"
  e2e_wait_icon Play >/dev/null
  outcome $? "Kelvane's buttons in the tray, from the right: $(e2e_tray_icons)" 1-start
  step "left click on Play"
  e2e_click_icon Play && e2e_wait_journal '^STATE playing' >/dev/null && sleep 2
  outcome $? "the player $(player_did $MARK)" 2-playing
  step "left click on Pause"
  e2e_click_icon Pause && e2e_wait_journal_since $MARK '^STATE paused' >/dev/null && sleep 1
  outcome $? "the player $(player_did $MARK)" 3-paused
  step "left click on Stop"
  e2e_click_icon Stop && e2e_wait_journal_since $MARK '^EXIT' >/dev/null && sleep 1
  outcome $? "the player $(player_did $MARK)" 4-stopped-and-closed
  # The library update from the playlist window, over many more playlists than
  # the two above so that the counters are seen rising.
  for i in $(seq -w 1 150); do cp "$LISTS/All tracks.m3u" "$LISTS/Mix $i.m3u"; done
  FRAME_TITLE='Kelvane - プレイリストウインドウ'
  step "right click on Play"
  e2e_click_icon Play 3 && e2e_wait_shown KelvaneWindow "$FRAME_TITLE" >/dev/null && sleep 1
  outcome $? "the playlist window" 5-playlist-window
  step "menu プレイリスト更新 ($(ls "$LISTS" | grep -c '\.m3u$') playlists)"
  e2e_click_frame_menu プレイリスト更新
  wine "$E2E_TOOLS/hung_watch.exe" KelvaneWindow Kelvane 15000 300000 >"$E2E_WORK/watch.txt" 2>/dev/null 7>&- &
  watcher=$!
  e2e_wait_window KelvaneWindow Kelvane >/dev/null && sleep 0.5 && e2e_screenshot 6-updating >/dev/null
  wait $watcher
  # hung_watch: "samples <looks> hung <looks that found it hung> done <0|1>".
  read -r _ looks _ hung _ finished <<<"$(tr -d '\r' <"$E2E_WORK/watch.txt")"
  [ "${finished:-0}" = 1 ]
  outcome $? "the update dialog (6-updating.png), done; \"not responding\" in ${hung:-?} of ${looks:-?} looks" 7-update-done
  step "OK in the update dialog"
  ok="$(e2e_probe tree KelvaneWindow Kelvane | LC_ALL=C grep -a '"Button" "OK"')"
  read -r _ bl bt br bb _ <<<"$ok"
  [ -n "$ok" ] && e2e_click $(((bl + br) / 2)) $(((bt + bb) / 2)) && e2e_wait_no_window KelvaneWindow Kelvane && sleep 1
  outcome $? "the dialog closed" 8-after-update
  # A playlist chosen: its artists and albums with their pictures. OK gave
  # the window back; a right click brings it if it was hidden meanwhile.
  step "click on the playlist \"All tracks\""
  read -r _ _ _ _ _ visible _ <<<"$(e2e_probe find KelvaneWindow "$FRAME_TITLE")"
  [ "$visible" = 1 ] || { e2e_click_icon Play 3 && e2e_wait_shown KelvaneWindow "$FRAME_TITLE" >/dev/null; }
  point="$(e2e_tree_item_point KelvaneWindow "$FRAME_TITLE" 0 'All tracks')"
  [ -n "$point" ] && e2e_click $point && sleep 1 &&
    [ "$(e2e_tree_items KelvaneWindow "$FRAME_TITLE" 1 | LC_ALL=C grep -c ' Various Artists$')" = 1 ]
  outcome $? "its artists and albums, the compilation one node \"Various Artists\"" 9-playlist-selected
  step "click on the playlist \"世界\" (UTF-8)"
  # It sorts last, below the window's edge: End brings it into view.
  xdotool key End && sleep 0.5
  point="$(e2e_tree_item_point KelvaneWindow "$FRAME_TITLE" 0 '世界')"
  [ -n "$point" ] && e2e_click $point && sleep 1 && e2e_tree_items KelvaneWindow "$FRAME_TITLE" 1 | grep -q '아이유'
  outcome $? "its artists and albums in every script, each its own" 9b-every-script
  # The about box: "ヘルプ" on the menu bar, then the last item of its submenu.
  step "menu ヘルプ, バージョン情報"
  e2e_click_frame_help last
  e2e_wait_window - 'Kelvane - バージョン情報' >/dev/null && sleep 0.5
  outcome $? "the about box, closed with Enter" 10-about
  e2e_key Return
  # The options dialog from the keyboard: F10 opens the menu bar, Enter its
  # first item, "設定".
  step "F10, Enter (menu 設定)"
  [ "$(e2e_probe find KelvaneWindow "$FRAME_TITLE" | cut -d' ' -f6)" = 1 ] ||
    { e2e_click_icon Play 3 && e2e_wait_shown KelvaneWindow "$FRAME_TITLE" >/dev/null; }
  e2e_key F10 && sleep 0.3 && e2e_key Return
  e2e_wait_shown KelvaneWindow 'Kelvane - 設定' >/dev/null && sleep 0.5
  outcome $? "the options dialog, closed with Esc" 11-options
  e2e_key Escape

  # What is playing, and the light taskbar: the player is handed a list with
  # titles (UTF-8, so any script), moves on by itself, and the Play button's
  # balloon names the track; then the taskbar turns light and back.
  printf '\xef\xbb\xbf#EXTINF:1,Harbour Lights\r\nD:\\01.mp3\r\n#EXTINF:1,Sigur Rós – Hoppípolla\r\nD:\\02.mp3\r\n' \
    >"$E2E_WORK/Now playing.m3u8"
  step "the player moves to the next track by itself"
  kv_wine_start "$E2E_PLAYER_EXE" "$(e2e_winpath "$E2E_WORK/Now playing.m3u8")"
  e2e_wait_journal '^TRACK 0$' >/dev/null && sleep 2
  e2e_send "$E2E_PLAYER_CLASS" 32771 0 0 post >/dev/null  # the track ends
  balloon_up() { e2e_probe balloon | grep -q Hopp; }
  e2e_eventually 10 balloon_up && sleep 0.5
  outcome $? "a balloon over Play names the new track" 12-balloon
  personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
  step "the taskbar turns light"
  e2e_wine reg add "$personalize" /v SystemUsesLightTheme /t REG_DWORD /d 1 /f >/dev/null
  e2e_probe settingchange ImmersiveColorSet && sleep 1
  outcome $? "the buttons take their light pictures" 13-light-taskbar
  e2e_wine reg delete "$personalize" /v SystemUsesLightTheme /f >/dev/null
  e2e_probe settingchange ImmersiveColorSet
fi
e2e_send TMain WM_CLOSE 0 0 >/dev/null || true
sleep 1
{
  echo "What the demo did (${LANG_NAME}):"
  n=0
  for line in "${STEPS[@]}"; do n=$((n + 1)); printf '  %2d. %s\n' "$n" "$line"; done
  [ "${KELVANE_E2E_USE_DISPLAY:-0}" = 1 ] || echo "Screenshots: $E2E_ARTEFACTS"
  echo "The player's journal, every message it got: $E2E_ARTEFACTS/journal.txt"
  echo "Kelvane's settings and library: $E2E_APP_DIR"
} | tee "$E2E_ARTEFACTS/summary.txt"

#!/usr/bin/env bash
# The release zip as a user gets it: unpacked into a fresh folder, both
# programs run from there, and each keeps its files beside itself.
. "$(dirname "$0")/lib.sh"

e2e_setup
ICONS="$KELVANE_SOURCE/resources/icon"
DIST="$E2E_WORK/dist"
FRESH="$E2E_WORK/fresh"
e2e_check "the zip is packed" env KELVANE_BUILD="$KELVANE_BUILD" \
  "$KELVANE_SOURCE/tools/dist.sh" --no-build --out "$DIST"
mkdir -p "$FRESH"
e2e_check "the zip unpacks" unzip -q "$DIST/kelvane.zip" -d "$FRESH"
APP="$FRESH/kelvane"

e2e_expect_eq "what ships" \
  "icon/Eject.ico icon/Next.ico icon/Pause.ico icon/Play.ico icon/Prev.ico icon/Stop.ico icon/light/Eject.ico icon/light/Next.ico icon/light/Pause.ico icon/light/Play.ico icon/light/Prev.ico icon/light/Stop.ico kelvane-update.exe kelvane.exe readme.txt wine-fonts.reg" \
  "$(cd "$APP" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ' | sed 's/ $//')"
readme_ok() {
  local f="$APP/readme.txt"
  iconv -f CP932 -t UTF-8 "$f" >/dev/null || { e2e_log "readme is not Shift-JIS"; return 1; }
  [ "$(grep -c $'\r$' "$f")" = "$(wc -l <"$f")" ] || { e2e_log "a readme line lacks CR LF"; return 1; }
  # The address the menu opens is the one the readme gives.
  local home
  home="$(sed -n 's/.*kHomepage = "\(.*\)";/\1/p' "$KELVANE_SOURCE/ui/FormTexts.h")"
  [ -n "$home" ] && grep -qF "$home" "$f" || { e2e_log "readme lacks the home page '$home'"; return 1; }
}
e2e_check "readme in Shift-JIS with CR LF" readme_ok
# It tells of all that ships, of every setting the program keeps in kelvane.ini
# and of every option of the console updater (as its usage names them).
readme_covers() {
  local text keys name missing=""
  text="$(iconv -f CP932 -t UTF-8 "$APP/readme.txt")"
  keys="$(sed -n -e 's/.*FlagSetting("\([A-Za-z0-9]*\)".*/\1/p' \
    -e 's/.*{"\([A-Za-z0-9]*\)", TSettingKind::\(Number\|Text\).*/\1/p' "$KELVANE_SOURCE/ui/Settings.h")"
  [ "$(wc -w <<<"$keys")" -ge 10 ] || { e2e_log "no settings found in ui/Settings.h"; return 1; }
  for name in $(cd "$APP" && ls) $keys $(wine "$APP/kelvane-update.exe" 2>&1 7>&- | grep -o -- '--[a-z0-9-]*'); do
    grep -qF -- "$name" <<<"$text" || missing+=" $name"
  done
  [ -z "$missing" ] || { e2e_log "readme says nothing of:$missing"; return 1; }
}
e2e_check "readme tells of the files, the settings and the updater's options" readme_covers

# A sample library, updated by the console updater from the unpacked folder.
mkdir -p "$E2E_WORK/Music" "$E2E_WORK/Lists"
cp "$KELVANE_SOURCE/tests/data/corpus/taglib/ape-id3v1.mp3" "$E2E_WORK/Music/tagged.mp3"
printf '%s\r\n' "$(e2e_winpath "$E2E_WORK/Music/tagged.mp3")" >"$E2E_WORK/Lists/Mine.m3u"
out="$(e2e_wine "$APP/kelvane-update.exe" "$(e2e_winpath "$APP")" "$(e2e_winpath "$E2E_WORK/Lists")")"
rc=$?
e2e_log "updater said: $(tr '\n' ' ' <<<"$out")"
e2e_expect_eq "the updater's exit status" 0 "$rc"
e2e_check "the updater added the playlist" grep -q '^added 1$' <<<"$out"
e2e_check "its library lies beside it" test -f "$APP/playlist/Mine.log" -a -f "$APP/playlist.log"

# The program itself, started from the unpacked folder: its tray button comes
# up, and at exit its settings are written beside it.
kv_wine_start "$APP/kelvane.exe"
KPID=$KV_LAST_PID
e2e_check "the main window exists" e2e_wait_window TMain - >/dev/null
play_shown() {
  local i
  for i in $(seq 1 25); do e2e_tray_find_icon "$ICONS/Play.ico" >/dev/null && return 0; sleep 0.2; done
  return 1
}
e2e_check "the Play button is in the tray" play_shown
e2e_screenshot tray >/dev/null
e2e_send TMain WM_CLOSE 0 0 >/dev/null
ended() {
  local i
  for i in $(seq 1 50); do kill -0 "$KPID" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}
e2e_check "the program ends" ended
settings_beside() { tr -d '\r' <"$APP/kelvane.ini" | grep -qxF "Path=$(e2e_winpath "$APP")\\"; }
e2e_check "its settings lie beside it" settings_beside
e2e_finish

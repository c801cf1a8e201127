# shellcheck shell=bash
# Wine environment for Kelvane: sourced by tools/wine-run.sh, tests/e2e/lib.sh and the demo.
#
# Sourcing only sets variables and defines functions; nothing is started until a
# function is called. Everything a function starts is remembered by process id, and
# kv_wine_cleanup ends exactly those processes (plus the wineserver of our own prefix).
#
#   kv_prefix_prepare          create the prefix once (locked, so parallel callers wait)
#   kv_xvfb_start [WxHxD]      start a private Xvfb when DISPLAY is unset
#   kv_desktop_start [name] [WxH]
#                              start the Wine virtual desktop with its taskbar and tray
#   kv_screenshot <file.png>   grab the whole X screen
#   kv_wineserver_stop         end our prefix's wineserver and every Windows process in it
#   kv_wine_cleanup            kv_wineserver_stop, then our own Xvfb
#
# The run locks (fd 8 in wine-run.sh, fd 7 in the e2e library) are closed for every
# program started here: a wineserver or Windows service that outlived its run must
# not hold the lock, or every later run of the prefix would wait for it forever.
#
# Environment read: KELVANE_LANG (the Unix locale Wine runs under, default
# ja_JP.UTF-8: a Japanese system, code page 932; en_US.UTF-8 gives code page 1252);
# KELVANE_WINEPREFIX (default <repo>/build/wineprefix, with the locale appended
# when it is not the Japanese one, as a prefix keeps the locale it was made in);
# KELVANE_WINE_DESKTOP: "virtual" (default: one Wine virtual desktop with its own
# taskbar) or "none" (windows of the X display, tray icons in its XEmbed tray).

KV_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

KV_LANG="${KELVANE_LANG:-ja_JP.UTF-8}"
# The suffix that names a prefix of a non-Japanese locale ("" for ja_JP).
kv_locale_suffix() {
  case "$KV_LANG" in
    ja_JP*) echo "" ;;
    *) echo "-${KV_LANG%%.*}" ;;
  esac
}
export WINEPREFIX="${KELVANE_WINEPREFIX:-$KV_REPO/build/wineprefix$(kv_locale_suffix)}"
# All our programs are 32-bit; a 32-bit prefix boots in half the time of a WoW64 one.
export WINEARCH=win32
# GetACP() follows the Unix locale: ja_JP gives code page 932, en_US 1252.
export LANG="$KV_LANG"
export LC_ALL="$KV_LANG"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs: nothing of ours needs .NET or the HTML engine.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Bump when kv_prefix_prepare changes what it writes, so old prefixes are redone.
KV_PREFIX_VERSION=7
KV_DESKTOP_MODE="${KELVANE_WINE_DESKTOP:-virtual}"
KV_DESKTOP_NAME=kelvane
KV_DESKTOP_SIZE=1024x768

KV_XVFB_PID=""
KV_DESKTOP_PID=""
KV_STARTED_WINESERVER_USE=""

kv_log() { echo "wine-env: $*" >&2; }

# The Japanese font Wine should use in place of the Windows ones our windows ask for.
kv_japanese_font_file() {
  local f
  for f in /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf \
           /usr/share/fonts/truetype/fonts-japanese-gothic.ttf; do
    [ -f "$f" ] && { echo "$f"; return 0; }
  done
  fc-list :lang=ja file 2>/dev/null | head -n1 | sed 's/:.*//'
}

kv_prefix_registry() {
  # Written as a version-5 .reg file (UTF-16LE with BOM) so the Japanese face names
  # survive whatever code page regedit would otherwise assume.
  local reg="$1"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    # Replacements make the Windows face names real families backed by IPA fonts.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    # MS UI Gothic is proportional: its fixed-pitch stand-in would clip captions
    # that fit on Windows.
    printf '"MS UI Gothic"="IPAPGothic"\r\n'
    printf '"MS Gothic"="IPAGothic"\r\n'
    printf '"MS PGothic"="IPAPGothic"\r\n'
    printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
    printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
    printf '"ＭＳ UI Gothic"="IPAPGothic"\r\n\r\n'
    # Dialog boxes ask for "MS Shell Dlg"; on a Japanese system that is MS UI Gothic.
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"MS Shell Dlg"="MS UI Gothic"\r\n'
    printf '"MS Shell Dlg 2"="MS UI Gothic"\r\n\r\n'
    # Windows opens a ".txt" with Notepad; Wine's stock prefix has the program
    # class but no extension pointing to it, so "ReadMe を開く" would open nothing.
    printf '[HKEY_CLASSES_ROOT\\.txt]\r\n'
    printf '@="txtfile"\r\n\r\n'
    # Every program runs on one virtual desktop, as on a Windows session: FindWindow
    # only sees windows of its own desktop, so the player, Kelvane and the probes
    # must share it. It gets Explorer's taskbar, and with it the notification area.
    # Without it every window is a window of the X display and tray icons dock
    # into the display's own XEmbed tray, as for a person at a Linux desktop.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n'
    if [ "$KV_DESKTOP_MODE" = none ]; then
      printf '"Desktop"=-\r\n\r\n'
    else
      printf '"Desktop"="%s"\r\n\r\n' "$KV_DESKTOP_NAME"
    fi
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n'
    printf '"%s"="%s"\r\n\r\n' "$KV_DESKTOP_NAME" "$KV_DESKTOP_SIZE"
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops\\%s]\r\n' "$KV_DESKTOP_NAME"
    printf '"EnableShell"=dword:00000001\r\n\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
}

kv_prefix_prepare() {
  local marker="$WINEPREFIX/.kelvane-prepared"
  local want="$KV_PREFIX_VERSION $KV_DESKTOP_MODE"
  if [ -f "$marker" ] && [ "$(cat "$marker")" = "$want" ]; then
    return 0
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock -x 9
    # Another caller may have finished while we waited for the lock.
    if [ -f "$marker" ] && [ "$(cat "$marker")" = "$want" ]; then
      exit 0
    fi
    kv_log "preparing Wine prefix $WINEPREFIX (once)"
    if [ -d "$WINEPREFIX" ] && ! grep -q '#arch=win32' "$WINEPREFIX/system.reg" 2>/dev/null; then
      rm -rf "$WINEPREFIX"   # a half-made or 64-bit prefix cannot be switched to win32
    fi
    wine wineboot -i >/dev/null 2>&1 7>&- 8>&- 9>&- || { kv_log "wineboot failed"; exit 1; }
    wineserver -w

    local font
    font="$(kv_japanese_font_file)"
    if [ -n "$font" ]; then
      # fontconfig already shows Wine the system fonts; the link keeps the prefix
      # working where Wine is built without fontconfig.
      ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")"
      local pfont=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
      [ -f "$pfont" ] && ln -sf "$pfont" "$WINEPREFIX/drive_c/windows/Fonts/ipagp.ttf"
    else
      kv_log "no Japanese font found: install fonts-ipafont-gothic (tools/setup.sh)"
    fi
    # Caption buttons and scroll arrows are Marlett glyphs; this Wine build does not
    # find its own copy (fonts-wine) unless it sits in the prefix.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      ln -sf /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
    else
      kv_log "no marlett.ttf: install fonts-wine (tools/setup.sh) or caption buttons show letters"
    fi

    local reg="$WINEPREFIX/kelvane.reg"
    kv_prefix_registry "$reg"
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null 7>&- 8>&- 9>&-)" >/dev/null 2>&1 7>&- 8>&- 9>&- ||
      { kv_log "regedit failed"; exit 1; }
    wineserver -w
    echo "$want" >"$marker"
  ) 9>"$WINEPREFIX.lock"
}

# Starts a private Xvfb when there is no display. Xvfb picks a free display number
# itself (-displayfd), so runners started at the same moment cannot collide.
kv_xvfb_start() {
  local screen="${1:-${KV_DESKTOP_SIZE}x24}"
  [ -n "${DISPLAY:-}" ] && return 0
  local numfile
  numfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$numfile" >/dev/null 2>&1 7>&- 8>&- &
  KV_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$numfile" ]; then break; fi
    if ! kill -0 "$KV_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  local num
  num="$(tr -dc '0-9' <"$numfile")"
  rm -f "$numfile"
  if [ -z "$num" ]; then
    kv_log "Xvfb did not start"
    kill "$KV_XVFB_PID" 2>/dev/null
    KV_XVFB_PID=""
    return 1
  fi
  export DISPLAY=":$num"
}

# The virtual desktop window of Xvfb: its X id, or nothing when it is not up.
kv_desktop_xid() {
  xdotool search --name "Wine desktop" 2>/dev/null | head -n1
}

# Starts the virtual desktop (Explorer with taskbar and notification area) now rather
# than with the first program. Every program of the prefix joins it, since it is the
# prefix's default desktop.
kv_desktop_start() {
  local name="${1:-$KV_DESKTOP_NAME}" size="${2:-$KV_DESKTOP_SIZE}"
  KV_DESKTOP_NAME="$name"
  KV_DESKTOP_SIZE="$size"
  wine explorer "/desktop=$name,$size" >/dev/null 2>&1 7>&- 8>&- &
  KV_DESKTOP_PID=$!
  local i
  for i in $(seq 1 150); do
    if [ -n "$(kv_desktop_xid)" ]; then return 0; fi
    sleep 0.1
  done
  kv_log "virtual desktop did not appear"
  return 1
}

# Runs a Windows program in the background (on the prefix's virtual desktop).
# The caller reads the PID of the Unix-side wine process from KV_LAST_PID.
KV_LAST_PID=""
kv_wine_start() {
  wine "$@" >/dev/null 2>&1 7>&- 8>&- &
  KV_LAST_PID=$!
}

kv_screenshot() {
  local out="$1"
  mkdir -p "$(dirname "$out")"
  import -display "$DISPLAY" -window root "$out"
}

# Only our prefix's wineserver: other prefixes on this machine are left alone.
# Killed while Wine is still starting its services (a program that ends at once),
# a half-started service finds no server and starts a fresh one, so the kill is
# repeated until no server answers. Run under the prefix's run lock, a server
# found before a run is such a leftover.
kv_wineserver_stop() {
  local i
  for i in 1 2 3 4 5; do
    timeout 30 wineserver -k >/dev/null 2>&1 || return 0
    timeout 30 wineserver -w >/dev/null 2>&1
    sleep 0.2
  done
  kv_log "the wineserver of $WINEPREFIX keeps coming back"
  return 1
}

kv_wine_cleanup() {
  kv_wineserver_stop
  if [ -n "$KV_DESKTOP_PID" ]; then
    kill "$KV_DESKTOP_PID" 2>/dev/null
    wait "$KV_DESKTOP_PID" 2>/dev/null
    KV_DESKTOP_PID=""
  fi
  if [ -n "$KV_XVFB_PID" ]; then
    kill "$KV_XVFB_PID" 2>/dev/null
    wait "$KV_XVFB_PID" 2>/dev/null
    KV_XVFB_PID=""
    unset DISPLAY
  fi
}

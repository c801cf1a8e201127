# shellcheck shell=bash
# Wine environment for Kelvane: sourced by tools/wine-run.sh, tests/e2e/lib.sh and the demo.
#
# Sourcing only sets variables and defines functions; nothing is started until a
# function is called. Everything a function starts is remembered by process id, and
# kv_wine_cleanup ends exactly those processes (plus the wineserver of our own prefix).
#
#   kv_prefix_prepare          create the prefix once, and anew when its set-up changes
#                              (locked, so parallel callers wait)
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
# when it is not the Japanese one, as a prefix keeps the locale it was made in;
# a folder that is empty or was made here, as no other prefix is ever touched);
# KELVANE_WINE_DESKTOP: "virtual" (default: one Wine virtual desktop with its own
# taskbar) or "none" (windows of the X display, tray icons in its XEmbed tray);
# KELVANE_BARE_PREFIX=1: a prefix of what a Linux user has after the README, the
# rig's desktop setting aside (no ".txt" association).

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
KV_PREFIX_VERSION=9
KV_DESKTOP_MODE="${KELVANE_WINE_DESKTOP:-virtual}"
KV_PREFIX_BARE="${KELVANE_BARE_PREFIX:-}"
KV_DESKTOP_NAME=kelvane
KV_DESKTOP_SIZE=1024x768

KV_XVFB_PID=""
KV_DESKTOP_PID=""
KV_STARTED_WINESERVER_USE=""

kv_log() { echo "wine-env: $*" >&2; }

# The rig's own settings. The fonts are not among them: every prefix takes those
# from resources/wine-fonts.reg, imported as the README tells a Linux user.
kv_prefix_registry() {
  {
    printf 'REGEDIT4\r\n\r\n'
    if [ "$KV_PREFIX_BARE" != 1 ]; then
      # Windows opens a ".txt" with Notepad; Wine's stock prefix has the program
      # class but no extension pointing to it, so "ReadMe を開く" would open nothing.
      printf '[HKEY_CLASSES_ROOT\\.txt]\r\n@="txtfile"\r\n\r\n'
    fi
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
  } >"$1"
}

kv_prefix_prepare() {
  local marker="$WINEPREFIX/.kelvane-prepared" made="$WINEPREFIX/.kelvane-made"
  # A prefix is made again when the fonts file changes, too.
  local want="$KV_PREFIX_VERSION $KV_DESKTOP_MODE $(cksum <"$KV_REPO/resources/wine-fonts.reg" | cut -d' ' -f1)"
  [ "$KV_PREFIX_BARE" = 1 ] && want+=" bare"
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
    if [ -d "$WINEPREFIX" ] && [ -n "$(ls -A "$WINEPREFIX")" ]; then
      # Made again from nothing, so that nothing of an older setup lingers; but
      # only a prefix made here, never one someone else made.
      if [ ! -e "$made" ] && [ ! -e "$marker" ]; then
        kv_log "$WINEPREFIX is not a prefix made here: choose another folder"
        exit 1
      fi
      rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX" && touch "$made"
    wine wineboot -i >/dev/null 2>&1 7>&- 8>&- 9>&- || { kv_log "wineboot failed"; exit 1; }
    wineserver -w

    # What the README asks of a Linux user, word for word, from the folder the
    # file ships in.
    # The file names the fonts of these packages (Marlett is fonts-wine's).
    fc-list 'Noto Sans CJK JP' file | grep -q . || kv_log "no Noto Sans CJK JP: install fonts-noto-cjk (tools/setup.sh)"
    fc-list Symbola file | grep -q . || kv_log "no Symbola: install fonts-symbola (tools/setup.sh)"
    [ -f /usr/share/wine/fonts/marlett.ttf ] ||
      kv_log "no marlett.ttf: install fonts-wine (tools/setup.sh) or caption buttons show letters"
    (cd "$KV_REPO/resources" && wine regedit wine-fonts.reg >/dev/null 2>&1 7>&- 8>&- 9>&-) ||
      { kv_log "importing wine-fonts.reg failed"; exit 1; }

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

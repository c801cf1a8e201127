# shellcheck shell=bash
# Helpers for end-to-end tests: Kelvane and the stand-in player on a Wine virtual
# desktop under a private Xvfb, driven with xdotool, judged by the player's journal,
# by files and by screenshots.
#
# A test script:
#   . "$(dirname "$0")/lib.sh"
#   e2e_setup                       # work folder, Xvfb, desktop, cleanup trap
#   e2e_start_player                # the stand-in, journal in $E2E_JOURNAL
#   e2e_check "plays" e2e_wait_journal '^STATE playing$'
#   e2e_finish                      # summary line, exit code
#
# Environment (ctest sets these): KELVANE_BIN (folder of kelvane.exe), KELVANE_PEER
# (winamp_standin.exe), KELVANE_SOURCE, KELVANE_BUILD. Optional: KELVANE_E2E_TIMEOUT
# (seconds, default 15) for every wait; KELVANE_E2E_KEEP=1 keeps the work folder.
# KELVANE_WINE_DESKTOP=none, set before sourcing, runs without the virtual desktop,
# as a person at a Linux desktop does: every window is a window of the X screen and
# the tray icons dock into an XEmbed tray (trayer on our own Xvfb). It has a prefix
# of its own, since the desktop is a setting of the prefix.
#
# Coordinates given to the click helpers are Windows screen coordinates of the
# virtual desktop (what peer_probe prints); they are mapped onto the X screen here.

set -u

# The run's name, and with it its work and artefacts folders (a script may set it first).
E2E_NAME="${E2E_NAME:-$(basename "${0%.sh}")}"
: "${KELVANE_SOURCE:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
: "${KELVANE_BUILD:=$KELVANE_SOURCE/build/windows}"
: "${KELVANE_PEER:=$KELVANE_BUILD/tests/peer/winamp_standin.exe}"
: "${KELVANE_BIN:=$KELVANE_BUILD/app}"
E2E_TIMEOUT="${KELVANE_E2E_TIMEOUT:-15}"
E2E_TOOLS="$(dirname "$KELVANE_PEER")"
E2E_SEND="$E2E_TOOLS/peer_send.exe"
E2E_PROBE="$E2E_TOOLS/peer_probe.exe"
E2E_PLAYER_CLASS="Winamp v1.x"

# One prefix per build folder, apart from the one the ctest runner uses, so an e2e
# run never stops the wineserver under another test.
# A story under another locale (KELVANE_LANG=en_US.UTF-8) has a prefix of its own too.
E2E_LOCALE_SUFFIX=""
case "${KELVANE_LANG:-ja_JP.UTF-8}" in
  ja_JP*) ;;
  *) E2E_LOCALE_SUFFIX="-${KELVANE_LANG%%.*}" ;;
esac
if [ "${KELVANE_WINE_DESKTOP:-virtual}" = none ]; then
  export KELVANE_WINEPREFIX="${KELVANE_E2E_WINEPREFIX:-$KELVANE_BUILD/wineprefix-e2e-xembed$E2E_LOCALE_SUFFIX}"
else
  export KELVANE_WINEPREFIX="${KELVANE_E2E_WINEPREFIX:-$KELVANE_BUILD/wineprefix-e2e$E2E_LOCALE_SUFFIX}"
fi
# shellcheck source=tools/wine-env.sh
. "$KELVANE_SOURCE/tools/wine-env.sh"

E2E_WORK="$KELVANE_BUILD/e2e-work/$E2E_NAME"
E2E_ARTEFACTS="$KELVANE_BUILD/e2e-artefacts/$E2E_NAME"
E2E_JOURNAL="$E2E_WORK/journal.txt"
E2E_APP_DIR="$E2E_WORK/Kelvane"
E2E_PLAYER_DIR="$E2E_WORK/Winamp"
E2E_PLAYER_EXE="$E2E_PLAYER_DIR/winamp.exe"
E2E_FAILURES=0
E2E_CHECKS=0
E2E_DESKTOP_X=0
E2E_DESKTOP_Y=0
E2E_TRAYER_PID=""

e2e_log() { echo "[$E2E_NAME] $*"; }

# A Unix path as Windows programs in the prefix see it (Wine's Z: drive).
# A library of generated tracks: e2e_make_library <music> <lists> <playlists>
# <tracks per playlist> <artists> <albums> writes ListNNN.m3u into <lists>,
# each naming its own tracks of a few bytes and an ID3v1 trailer in <music>,
# with that many artists and albums per playlist.
e2e_make_library() {
  mkdir -p "$1" "$2"
  python3 - "$1" "$2" "$(e2e_winpath "$1")" "$3" "$4" "$5" "$6" <<'EOF'
import sys
music, lists, wmusic = sys.argv[1:4]
playlists, tracks, artists, albums = map(int, sys.argv[4:8])
def tag(artist, album):
    f = lambda s: s.encode().ljust(30, b'\0')[:30]
    return b'TAG' + f('Title') + f(artist) + f(album) + b'2004' + b'\0' * 31
for p in range(playlists):
    with open(f'{lists}/List{p:03d}.m3u', 'wb') as m3u:
        for i in range(tracks):
            name = f't{p:03d}-{i:03d}.mp3'
            with open(f'{music}/{name}', 'wb') as track:
                track.write(b'\xff' * 32 + tag(f'Artist {p}-{i % artists}', f'Album {p}-{i % albums}'))
            m3u.write(f'{wmusic}\\{name}\r\n'.encode())
EOF
}

e2e_winpath() {
  local p
  p="$(realpath -m "$1")"
  echo "Z:${p//\//\\}"
}

e2e_setup() {
  local f
  for f in "$KELVANE_PEER" "$E2E_SEND" "$E2E_PROBE"; do
    [ -f "$f" ] || { e2e_log "missing $f (build winamp_standin, peer_send, peer_probe; set KELVANE_PEER)"; exit 1; }
  done
  rm -rf "$E2E_WORK" "$E2E_ARTEFACTS"
  mkdir -p "$E2E_WORK" "$E2E_ARTEFACTS" "$E2E_PLAYER_DIR"
  : >"$E2E_JOURNAL"
  export KELVANE_PLAYER_JOURNAL="$E2E_JOURNAL"
  cp "$KELVANE_PEER" "$E2E_PLAYER_EXE"

  kv_prefix_prepare || { e2e_log "cannot prepare the Wine prefix"; exit 1; }
  # Runs sharing this prefix take turns: cleanup stops its wineserver.
  exec 7>"$WINEPREFIX.run.lock"
  flock -w 900 -x 7 || { e2e_log "waited 15 minutes for $WINEPREFIX.run.lock"; exit 1; }
  kv_wineserver_stop || exit 1
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  # Clicks must land on our own screen, never on a developer's desktop.
  if [ "${KELVANE_E2E_USE_DISPLAY:-0}" != 1 ]; then unset DISPLAY; fi
  kv_xvfb_start || { e2e_log "cannot start Xvfb"; exit 1; }
  if [ "$KV_DESKTOP_MODE" = none ]; then
    # A display of a person's own has its own tray; our Xvfb gets one.
    if [ -n "$KV_XVFB_PID" ]; then e2e_xembed_tray_start || { e2e_log "the XEmbed tray did not appear"; exit 1; }; fi
  else
    kv_desktop_start || { e2e_log "the virtual desktop did not appear"; exit 1; }
    local xid geo
    xid="$(kv_desktop_xid)"
    geo="$(xwininfo -id "$xid" 2>/dev/null)"
    E2E_DESKTOP_X="$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geo")"
    E2E_DESKTOP_Y="$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geo")"
  fi
  e2e_log "display $DISPLAY, work folder $E2E_WORK, artefacts $E2E_ARTEFACTS"
}

e2e_cleanup() {
  local rc=$?
  if [ "$rc" -ne 0 ] || [ "$E2E_FAILURES" -ne 0 ]; then
    [ -n "${DISPLAY:-}" ] && kv_screenshot "$E2E_ARTEFACTS/at-exit.png" 2>/dev/null
  fi
  [ -f "$E2E_JOURNAL" ] && cp "$E2E_JOURNAL" "$E2E_ARTEFACTS/journal.txt"
  if [ -n "$E2E_TRAYER_PID" ]; then
    kill "$E2E_TRAYER_PID" 2>/dev/null
    wait "$E2E_TRAYER_PID" 2>/dev/null
    E2E_TRAYER_PID=""
  fi
  kv_wine_cleanup
  if [ "${KELVANE_E2E_KEEP:-0}" != 1 ] && [ "$rc" -eq 0 ] && [ "$E2E_FAILURES" -eq 0 ]; then
    rm -rf "$E2E_WORK"
  fi
}

# --- starting programs ---------------------------------------------------------

# Copies what ships (kelvane.exe, icon\, readme.txt) into $E2E_APP_DIR.
e2e_copy_kelvane() {
  mkdir -p "$E2E_APP_DIR"
  cp "$KELVANE_BIN/kelvane.exe" "$E2E_APP_DIR/" || return 1
  local extra
  for extra in icon readme.txt; do
    if [ -e "$KELVANE_BIN/$extra" ]; then
      cp -r "$KELVANE_BIN/$extra" "$E2E_APP_DIR/"
    elif [ -e "$KELVANE_SOURCE/resources/$extra" ]; then
      cp -r "$KELVANE_SOURCE/resources/$extra" "$E2E_APP_DIR/"
    fi
  done
}

# Starts kelvane.exe from $E2E_APP_DIR in the background (E2E_KELVANE_PID: the wine process).
e2e_start_kelvane() {
  [ -f "$E2E_APP_DIR/kelvane.exe" ] || e2e_copy_kelvane || return 1
  kv_wine_start "$E2E_APP_DIR/kelvane.exe" "$@"
  E2E_KELVANE_PID=$KV_LAST_PID
}

# Starts the stand-in player (as $E2E_PLAYER_EXE) with the given arguments and waits
# for its window. Arguments are passed as they are, e.g. /ADD "Z:\x.m3u".
e2e_start_player() {
  kv_wine_start "$E2E_PLAYER_EXE" "$@"
  E2E_PLAYER_PID=$KV_LAST_PID
  e2e_wait_window "$E2E_PLAYER_CLASS" >/dev/null
}

# Runs a Windows console program in the prefix and prints its output (CR removed).
e2e_wine() {
  wine "$@" 2>/dev/null 7>&- | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# peer_send: SendMessage to the first window of a class; prints the answer.
#   e2e_send "Winamp v1.x" WM_USER 0 104
e2e_send() { e2e_wine "$E2E_SEND" "$@"; }

# peer_probe with its subcommands (find, count, tree, controls, top, tray, foreground, workarea,
# treeitems).
e2e_probe() { e2e_wine "$E2E_PROBE" "$@"; }

# --- waiting -------------------------------------------------------------------

# Waits for a top-level window by class and/or title ("-" for any). Prints
# "<hwnd> <left> <top> <right> <bottom> <visible> <client_x> <client_y>".
e2e_wait_window() {
  local cls="$1" title="${2:--}" timeout="${3:-$E2E_TIMEOUT}"
  e2e_probe find "$cls" "$title" "$((timeout * 1000))"
}

# Waits until a window by class and/or title is shown (1, default) or hidden (0) and
# prints its find line. A window created hidden at start-up exists long before it
# is shown, so waiting for it to exist says nothing about a click that shows it.
e2e_wait_shown() {
  local cls="$1" title="${2:--}" want="${3:-1}" timeout="${4:-$E2E_TIMEOUT}"
  local end=$((SECONDS + timeout)) line
  while :; do
    line="$(e2e_probe find "$cls" "$title")"
    [ "$(cut -d' ' -f6 <<<"$line")" = "$want" ] && { echo "$line"; return 0; }
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}

# Waits until no window of the class and title exists.
e2e_wait_no_window() {
  local cls="$1" title="${2:--}" timeout="${3:-$E2E_TIMEOUT}"
  local end=$((SECONDS + timeout))
  while [ "$(e2e_probe count "$cls" "$title")" != 0 ]; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}

# Number of journal lines matching an extended regex. The journal is UTF-8;
# matching is done byte-wise.
e2e_journal_count() {
  LC_ALL=C grep -a -c -E "$1" "${2:-$E2E_JOURNAL}" 2>/dev/null || true
}

# Text (UTF-8) as the files kept in code page 932 hold it (Shift-JIS).
e2e_sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
# Shift-JIS from such a file, as UTF-8 for messages and comparisons.
e2e_utf8() { iconv -f CP932 -t UTF-8; }

# Runs a command until it succeeds, for up to <timeout> seconds, polling every 0.2 s.
#   e2e_eventually 5 test -f "$file"
e2e_eventually() {
  local timeout="$1" end
  shift
  end=$((SECONDS + timeout))
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}

# Waits until the journal holds at least <n> lines matching the regex (default 1).
#   e2e_wait_journal '^STATE paused$' [timeout_s] [n]
e2e_wait_journal() {
  local re="$1" timeout="${2:-$E2E_TIMEOUT}" n="${3:-1}"
  local end=$((SECONDS + timeout))
  while [ "$(e2e_journal_count "$re")" -lt "$n" ]; do
    if [ $SECONDS -ge $end ]; then
      e2e_log "journal has no line matching /$re/ (wanted $n) after ${timeout}s; its end:"
      tail -n 15 "$E2E_JOURNAL" | sed 's/^/    /'
      return 1
    fi
    sleep 0.1
  done
}

# The journal from line <from> on (1-based), for checking exact sequences.
e2e_journal_from() { tail -n +"$1" "$E2E_JOURNAL"; }
e2e_journal_lines() { wc -l <"$E2E_JOURNAL" | tr -d ' '; }

# Waits until a line after the mark (a count from e2e_journal_lines) matches the regex.
#   mark="$(e2e_journal_lines)"; ...; e2e_wait_journal_since "$mark" '^STATE paused$'
e2e_wait_journal_since() {
  local mark="$1" re="$2" timeout="${3:-$E2E_TIMEOUT}"
  local end=$((SECONDS + timeout))
  until e2e_journal_from $((mark + 1)) | LC_ALL=C grep -a -q -E "$re"; do
    if [ $SECONDS -ge $end ]; then
      e2e_log "journal has no line matching /$re/ after line $mark in ${timeout}s; its end:"
      tail -n 15 "$E2E_JOURNAL" | sed 's/^/    /'
      return 1
    fi
    sleep 0.1
  done
}

# Waits until the player's window is minimised (1) or not (0).
e2e_wait_player_iconic() {
  local want="$1" timeout="${2:-$E2E_TIMEOUT}"
  local end=$((SECONDS + timeout))
  while [ "$(e2e_probe iconic "$E2E_PLAYER_CLASS" -)" != "$want" ]; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}

# --- acting as a person --------------------------------------------------------

# Minimises the player as the button of its title bar does.
e2e_minimise_player() {
  e2e_send "$E2E_PLAYER_CLASS" 0x0112 0xF020 0 >/dev/null && e2e_wait_player_iconic 1  # WM_SYSCOMMAND, SC_MINIMIZE
}

# Clicks at Windows screen coordinates. Button: 1 left (default), 2 middle, 3 right.
e2e_click() {
  local x="$1" y="$2" button="${3:-1}"
  xdotool mousemove --sync $((E2E_DESKTOP_X + x)) $((E2E_DESKTOP_Y + y)) click "$button"
}

# Clicks at client coordinates of a window found by class and/or title.
e2e_click_window() {
  local cls="$1" title="$2" cx="$3" cy="$4" button="${5:-1}"
  local info
  info="$(e2e_wait_window "$cls" "$title")" || return 1
  set -- $info
  e2e_click $(($7 + cx)) $(($8 + cy)) "$button"
}

# Types keys (xdotool key names) into whatever has the focus.
e2e_key() { xdotool key --delay 50 "$@"; }

# --- the notification area -----------------------------------------------------

# Wine's taskbar draws the tray icons itself, from its right end leftwards, in the
# order they were added (the first added is rightmost); each slot is 20 px wide
# (a 16 px icon plus a 2 px border each side) and centred on the taskbar's height.
# trayer, aligned right, docks them the same way, one 20x22 socket each.
E2E_TRAY_SLOT=20

# An XEmbed tray at the bottom right of our Xvfb, as wide as its icons. No window
# manager: with one (openbox) Wine let the first click on an icon go astray now
# and then, so the work area that it would derive from the tray's strip is set here.
E2E_XEMBED_TRAY_HEIGHT=24
e2e_xembed_tray_start() {
  trayer --edge bottom --align right --widthtype request --height "$E2E_XEMBED_TRAY_HEIGHT" --SetDockType true \
    --SetPartialStrut true --transparent false --tint 0x404040 >/dev/null 2>&1 7>&- &
  E2E_TRAYER_PID=$!
  local i
  for i in $(seq 1 50); do
    [ -n "$(e2e_xembed_tray_xid)" ] && break
    sleep 0.1
  done
  [ -n "$(e2e_xembed_tray_xid)" ] || return 1
  # The work area a window manager would publish for the tray's reserved strip;
  # Wine answers SPI_GETWORKAREA from it.
  set -- $(xdotool getdisplaygeometry)
  xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, $1, $(($2 - E2E_XEMBED_TRAY_HEIGHT))"
}
e2e_xembed_tray_xid() { xdotool search --classname '^panel$' 2>/dev/null | head -n1; }

# Prints "<left> <top> <right> <bottom>" of the taskbar (Windows screen coordinates),
# or of the XEmbed tray's panel (X screen coordinates, the same without a virtual desktop).
e2e_tray_geometry() {
  local line
  if [ "$KV_DESKTOP_MODE" = none ]; then
    local xid geo
    xid="$(e2e_xembed_tray_xid)"
    [ -n "$xid" ] || return 1
    geo="$(xwininfo -id "$xid" 2>/dev/null)" || return 1
    set -- $(sed -n -e 's/.*Absolute upper-left X: *//p' -e 's/.*Absolute upper-left Y: *//p' \
      -e 's/^ *Width: *//p' -e 's/^ *Height: *//p' <<<"$geo")
    echo "$1 $2 $(($1 + $3)) $(($2 + $4))"
    return 0
  fi
  line="$(e2e_probe tray | head -n1)" || return 1
  [ -n "$line" ] || return 1
  set -- $line
  echo "$2 $3 $4 $5"
}

# Prints "<x> <y>", the centre of the tray slot <n> counted from the right (0 = rightmost).
e2e_tray_slot_point() {
  local n="$1" geo
  geo="$(e2e_tray_geometry)" || return 1
  set -- $geo
  echo "$(($3 - E2E_TRAY_SLOT * n - E2E_TRAY_SLOT / 2)) $((($2 + $4) / 2))"
}

# Finds an icon (an .ico or image file) in the tray by matching a screenshot of the
# taskbar's right half against it. Prints "<x> <y>" (centre, Windows coordinates)
# or fails when nothing matches well enough.
e2e_tray_find_icon() {
  local icon="$1" geo tmp
  geo="$(e2e_tray_geometry)" || return 1
  set -- $geo
  local left=$1 top=$2 right=$3 bottom=$4
  local h=$((bottom - top)) from=$(((left + right) / 2))
  # Wine's taskbar keeps its tray at its right end; an XEmbed tray is all tray.
  [ "$KV_DESKTOP_MODE" = none ] && from=$left
  [ $((right - from)) -ge 16 ] || return 1
  tmp="$(mktemp -d)"
  import -display "$DISPLAY" -window root \
    -crop "$((right - from))x${h}+$((E2E_DESKTOP_X + from))+$((E2E_DESKTOP_Y + top))" +repage "$tmp/strip.png"
  # The icon as the taskbar paints it: 16x16, alpha blended over the taskbar colour,
  # and only its opaque inside (14x14 at 1,1): an XEmbed tray sometimes has Wine paint
  # the first icon docked over black rather than over its own background, which
  # changes the blended rim and corners but nothing inside.
  local bg
  bg="$(convert "$tmp/strip.png" -format '%[pixel:p{0,0}]' info:)"
  { convert "${icon}[0]" -resize 16x16! -background "$bg" -flatten -crop 14x14+1+1 +repage "$tmp/icon.png" 2>/dev/null ||
    convert "$icon" -resize 16x16! -background "$bg" -flatten -crop 14x14+1+1 +repage "$tmp/icon.png"; } ||
    { rm -rf "$tmp"; return 1; }
  local out score offset
  out="$(compare -metric RMSE -subimage-search "$tmp/strip.png" "$tmp/icon.png" null: 2>&1)"
  rm -rf "$tmp"
  # "1234.5 (0.0188) @ 980,2": the normalised score in brackets, then the offset.
  score="$(sed -n 's/.*(\([0-9.e+-]*\)).*/\1/p' <<<"$out")"
  offset="$(sed -n 's/.*@ *\([0-9]*,[0-9]*\).*/\1/p' <<<"$out")"
  [ -n "$score" ] && [ -n "$offset" ] || return 1
  awk -v s="$score" 'BEGIN { exit !(s < 0.08) }' || return 1
  echo "$((from + ${offset%,*} + 7)) $((top + ${offset#*,} + 7))"
}

# Our buttons in the tray, named by the picture each shows, rightmost first: "Play,Eject".
E2E_ICONS="$KELVANE_SOURCE/resources/icon"
e2e_tray_icons() {
  local name point
  for name in Prev Play Pause Stop Next Eject; do
    if point="$(e2e_tray_find_icon "$E2E_ICONS/$name.ico")"; then echo "${point%% *} $name"; fi
  done | sort -rn | awk '{printf "%s%s", sep, $2; sep=","} END {print ""}'
}

# Waits (up to ~5 s) for the tray to show exactly the given pictures, first added rightmost.
e2e_tray_is() {
  local want="$1" got i
  for i in $(seq 1 25); do
    got="$(e2e_tray_icons)"
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  e2e_log "tray: want '$want', got '$got'"
  return 1
}

# Waits for the tray to show the picture (a loaded machine may take seconds to
# bring the icons up); prints where it is.
e2e_wait_icon() {
  local i
  for i in $(seq 1 $((E2E_TIMEOUT * 2))); do
    e2e_tray_find_icon "$E2E_ICONS/$1.ico" && return 0
    sleep 0.5
  done
  e2e_log "no $1 icon in the tray"
  return 1
}

# Clicks the tray icon showing the picture, once it is there. Button: 1 left
# (default), 2 middle, 3 right.
e2e_click_icon() {
  local point
  # Off the tray first, as a hand would come from elsewhere: the tip of the
  # icon clicked last may still stand over its neighbour and take the click.
  xdotool mousemove --sync $((E2E_DESKTOP_X + 200)) $((E2E_DESKTOP_Y + 200))
  sleep 0.3
  point="$(e2e_wait_icon "$1")" || return 1
  e2e_click ${point} "${2:-1}"
}

# --- evidence ------------------------------------------------------------------

# Screenshot of the whole X screen into the artefacts folder; prints its path.
e2e_screenshot() {
  local out="$E2E_ARTEFACTS/$1.png"
  kv_screenshot "$out" && echo "$out"
}

# Screenshot of one window (by class and/or title); prints its path. The window's
# find line is left in E2E_SHOT_WINDOW.
e2e_screenshot_window() {
  local name="$1" cls="$2" title="${3:--}" info out="$E2E_ARTEFACTS/$1.png"
  info="$(e2e_wait_window "$cls" "$title")" || return 1
  E2E_SHOT_WINDOW="$info"
  set -- $info
  import -display "$DISPLAY" -window root \
    -crop "$(($4 - $2))x$(($5 - $3))+$((E2E_DESKTOP_X + $2))+$((E2E_DESKTOP_Y + $3))" +repage "$out" && echo "$out"
}

# --- verdicts ------------------------------------------------------------------

# Runs a command as one named check; a failure is counted and reported, the test goes on.
e2e_check() {
  local what="$1"
  shift
  E2E_CHECKS=$((E2E_CHECKS + 1))
  if "$@"; then
    e2e_log "ok: $what"
  else
    E2E_FAILURES=$((E2E_FAILURES + 1))
    e2e_log "FAILED: $what"
  fi
}

# Compares an actual value with the expected one, naming both on failure.
e2e_expect_eq() {
  local what="$1" expected="$2" actual="$3"
  E2E_CHECKS=$((E2E_CHECKS + 1))
  if [ "$expected" = "$actual" ]; then
    e2e_log "ok: $what ($actual)"
  else
    E2E_FAILURES=$((E2E_FAILURES + 1))
    e2e_log "FAILED: $what: expected '$expected', got '$actual'"
  fi
}

e2e_finish() {
  e2e_log "$((E2E_CHECKS - E2E_FAILURES)) of $E2E_CHECKS checks passed"
  [ "$E2E_FAILURES" -eq 0 ]
  exit $?
}

# --- a sample library ----------------------------------------------------------

# Writes an MP3 file of silence-like bytes with an ID3v1 trailer (texts given in
# UTF-8 are stored as Shift-JIS, as a Japanese tagger would; E2E_TAG_CHARSET=CP1252
# stores them as a Western one does).
#   e2e_make_mp3 <file> <title> <artist> <album>
e2e_make_mp3() {
  local file="$1" field charset="${E2E_TAG_CHARSET:-CP932}"
  head -c 2048 /dev/zero | tr '\0' '\377' >"$file"
  printf 'TAG' >>"$file"
  for field in "$2" "$3" "$4"; do
    printf '%s' "$field" | iconv -f UTF-8 -t "$charset" | head -c 30 >>"$file"
    head -c $((30 - $(printf '%s' "$field" | iconv -f UTF-8 -t "$charset" | head -c 30 | wc -c))) /dev/zero >>"$file"
  done
  head -c 34 /dev/zero >>"$file"  # year, comment
  printf '\377' >>"$file"         # genre
}

# Clicks an item of the playlist window's menu bar, named by its caption. The items
# are found where the menu font put them: the bar's columns that hold dark pixels
# form one run per caption (the gaps inside a caption are up to 10 pixels at 96
# DPI in Noto Sans CJK JP, whose kana keep wide side bearings; those between
# items the menu's spacing, 17 or more), so no font's widths are written down here,
# and the bar's height and the gaps are taken at the system's DPI.
e2e_click_frame_menu() {
  local n info runs x dpi bar
  case "$1" in
    設定) n=1 ;;
    プレイリスト更新) n=2 ;;
    ヘルプ) n=3 ;;
    終了) n=4 ;;
    *) e2e_log "no menu item $1"; return 1 ;;
  esac
  read -r dpi bar <<<"$(e2e_probe metrics)"
  info="$(e2e_wait_shown - "${E2E_FRAME_TITLE:-Kelvane - プレイリストウインドウ}")" || return 1
  set -- $info
  local left="$7" right="$4" bar_bottom="$8" i
  # Until the bar is painted.
  for i in $(seq 1 $((E2E_TIMEOUT * 2))); do
    # The bar's text rows, folded into one row: a column is dark when any of its
    # pixels is.
    runs="$(import -display "$DISPLAY" -window root \
      -crop "$((right - left - 4))x$((bar - 5))+$((E2E_DESKTOP_X + left))+$((E2E_DESKTOP_Y + bar_bottom - bar + 3))" \
        +repage png:- |
      convert png:- -colorspace Gray -threshold 50% -negate -scale "$((right - left - 4))x1!" -depth 8 txt:- |
      awk -F'[,:() ]+' -v gap=$((12 * dpi / 96)) 'NR > 1 {
        dark = ($3 + 0 > 0)
        if (dark) { if (start < 0 || $1 - last > gap) { if (start >= 0) print start, last; start = $1 } last = $1 }
      }
      BEGIN { start = -1 } END { if (start >= 0) print start, last }')"
    x="$(sed -n "${n}p" <<<"$runs" | awk '{ print int(($1 + $2) / 2) }')"
    [ -n "$x" ] && break
    sleep 0.5
  done
  [ -n "$x" ] || { e2e_log "menu bar item $n not found: $(tr '\n' ' ' <<<"$runs")"; return 1; }
  e2e_click $((left + x)) $((bar_bottom - bar / 2))
}

# Clicks the first or the last item of the playlist window's "ヘルプ" submenu
# ("ReadMe を開く", "バージョン情報"). The submenu is a window of the menu class:
# its first item lies at its top, its last (after the separator) at its bottom.
e2e_click_frame_help() {  # first|last
  local which="$1" line
  e2e_click_frame_menu ヘルプ || return 1
  line="$(e2e_wait_shown '#32768')" || return 1
  set -- $line
  if [ "$which" = first ]; then
    e2e_click $((($2 + $4) / 2)) $(($3 + 10))
  else
    e2e_click $((($2 + $4) / 2)) $(($5 - 10))
  fi
}

# Clicks the middle of a window's child control found by its caption.
#   e2e_click_child '#32770' 警告 OK
e2e_click_child() {
  local point
  point="$(e2e_probe tree "$1" "$2" | awk -F'"' -v t="$3" 'NR > 1 && $4 == t {
    split($1, f, " "); print int((f[2] + f[4]) / 2), int((f[3] + f[5]) / 2); exit }')"
  [ -n "$point" ] || { e2e_log "no control '$3' in '$2'"; return 1; }
  e2e_click $point
}

# The controls of a window as they are now (see peer_probe controls), in UTF-8.
e2e_controls() { e2e_probe controls "$@"; }

# The items of the n-th tree view of a window (see peer_probe treeitems).
e2e_tree_items() { e2e_probe treeitems "$@"; }
# Prints "<x> <y>", the centre of the item of the n-th tree whose text is given.
e2e_tree_item_point() {
  local cls="$1" title="$2" n="$3" text="$4"
  e2e_tree_items "$cls" "$title" "$n" | awk -v t="$text" '
    $1 != "tree" { line = $0; for (i = 0; i < 5; ++i) sub(/^[^ ]* /, "", line);
                   if (line == t) { print int(($1 + $3) / 2), int(($2 + $4) / 2); found = 1; exit } }
    END { exit !found }'
}
# The texts of the selected items of the n-th tree, joined with "|".
e2e_tree_selected() {
  e2e_tree_items "$@" | awk '$1 != "tree" && $5 == 1 { line = $0; for (i = 0; i < 5; ++i) sub(/^[^ ]* /, "", line);
                                                       printf "%s%s", sep, line; sep = "|" } END { print "" }'
}

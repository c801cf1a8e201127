#!/usr/bin/env bash
# The ID3v2 option as a library story, with the console updater under Wine:
# one playlist of mixed tracks (ID3v2 only, ID3v2 and ID3v1, ID3v1 only,
# RIFF "RMP3", no tag, a blank or damaged ID3v2 tag) built with the option
# off, then on, then off again; beside it a playlist of albums (a compilation,
# an artist's own album, two bands' albums named alike) built with the album
# artist option off and on, and played from the playlist window with it on.
# Off gives the library as it always was, byte for byte; each change of an
# option rebuilds the unchanged playlists once.
. "$(dirname "$0")/tool_lib.sh"
python3 - "$work/Music" <<'EOF'
import struct, sys
music = sys.argv[1]
def syncsafe(n): return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
def frame3(fid, data): return fid.encode() + struct.pack('>I', len(data)) + b'\0\0' + data
def frame4(fid, data): return fid.encode() + syncsafe(len(data)) + b'\0\0' + data
def tag(version, frames, padding=512): return b'ID3' + bytes([version, 0, 0]) + syncsafe(len(frames) + padding) + frames + bytes(padding)
def id3v1(artist, album):
    f = lambda s: s.encode('cp932')[:30].ljust(30, b'\0')
    return b'TAG' + f('Song') + f(artist) + f(album) + b'2001' + bytes(30) + b'\x0c'
audio = b'\xff\xfb\x90\x64' + bytes(4000)
omd = 'Orchestral Manoeuvres in the Dark'
files = {
    # UTF-16 artist, a 100 KB picture before the album in UTF-8 (a Japanese title).
    'v2only.mp3': tag(3, frame3('TPE1', b'\x01' + '椎名林檎'.encode('utf-16')) +
                      frame3('APIC', b'\0image/jpeg\0\x03\0' + bytes(100000)) +
                      frame3('TALB', b'\x03' + '無罪モラトリアム'.encode('utf-8'))) + audio,
    # The album the ID3v2 tag lacks, a blank ID3v2 artist and a damaged tag give way to the trailer.
    'both.mp3': tag(4, frame4('TPE1', b'\x03' + omd.encode())) + audio + id3v1(omd, 'Dazzle Ships'),
    'blank.mp3': tag(3, frame3('TPE1', b'\0 \t ')) + audio + id3v1('Fallback', 'Old'),
    'damaged.mp3': tag(3, frame3('TPE1', b'\x07Bad')) + audio + id3v1('Trailer', 'T'),
    'v1only.mp3': audio + id3v1('Band A', 'First'),
    'riff.rmp': None,
    'none.mp3': tag(3, frame3('TIT2', b'\0Title only')) + audio,
}
info = b'INFO' + b'IART' + struct.pack('<I', 10) + b'Riff Band\0' + b'IPRD' + struct.pack('<I', 8) + b'Riff LP\0'
body = b'RMP3' + b'data' + struct.pack('<I', 100) + bytes(100) + b'LIST' + struct.pack('<I', len(info)) + info
files['riff.rmp'] = b'RIFF' + struct.pack('<I', len(body)) + body
def tracks(artist, album, *more):
    return tag(3, frame3('TPE1', b'\0' + artist.encode()) + frame3('TALB', b'\0' + album.encode()) +
               b''.join(frame3(f, b'\0' + t.encode()) for f, t in more)) + audio
files.update({
    'now1.mp3': tracks('Kino', 'Now 1986', ('TCMP', '1')),
    'now2.mp3': tracks('Blondie', 'Now 1986', ('TPE2', 'Various Artists')),
    'now3.mp3': tracks('a-ha', 'Now 1986', ('TCMP', '1')),
    **{f'own{n}.mp3': tracks('Kino', 'Gruppa Krovi') for n in (1, 2)},
    **{f'gh{n}.mp3': tracks('Queen', 'Greatest Hits', ('TPE2', 'Queen')) for n in (1, 2)},
    'gh3.mp3': tracks('ABBA', 'Greatest Hits', ('TPE2', 'ABBA')),
})
for name, data in files.items():
    open(f'{music}/{name}', 'wb').write(data)
EOF
winmusic="$(winpath "$work/Music")"
for t in v2only.mp3 both.mp3 v1only.mp3 riff.rmp none.mp3 blank.mp3 damaged.mp3; do printf '%s\\%s\r\n' "$winmusic" "$t"; done >"$work/Lists/Mix.m3u"
for t in now1 own1 gh1 now2 gh3 own2 now3 gh2; do printf '%s\\%s.mp3\r\n' "$winmusic" "$t"; done >"$work/Lists/Albums.m3u"

fail=0
run() {
  out="$(tool --check-mp3 "$@" "$(winpath "$work/App")" "$(winpath "$work/Lists")" 2>&1)"
  rc=$?
  [ $rc -eq 0 ] || { echo "FAILED: exit status $rc: $out"; fail=1; }
}
counted() { grep -q "^$1 2" <<<"$out" || { echo "FAILED: $2 (not '$1 2'): $out"; fail=1; }; }
snapshot() { (cd "$work/App" && find . -type f ! -name playlist.keys -print0 | sort -z | xargs -0 md5sum); }
cache() { cat "$work/App/playlist/$1" 2>/dev/null; }
lines() { printf '%s\r\n' "$@"; }
# expect <file> <line>...: the file holds exactly these lines.
expect() {
  local file="$1"; shift
  [ "$(cache "$file")" = "$(lines "$@")" ] || { echo "FAILED: $file holds:"; cache "$file" | od -c | head; fail=1; }
}
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

run
counted added "off: the playlists were not added"
off="$(snapshot)"
# As the program has always built it: the ID3v1 artist cut at 30 bytes, the
# ID3v2-only track filed nowhere.
expect "'Mix' Artist.dat" 'Band A' 'Fallback' 'Orchestral Manoeuvres in the D' 'Riff Band' 'Trailer'
expect "'Mix' Album.dat" 'Dazzle Ships' 'First' 'Old' 'Riff LP' 'T'
[ -f "$work/App/playlist/'Mix' Artist 'Orchestral Manoeuvres in the D'.m3u" ] || { echo "FAILED: off: no cut artist file"; fail=1; }

run --id3v2
counted updated "on: the unchanged playlists were not rebuilt"
# Index lines hold the system code page; Wine keeps file names in UTF-8.
expect "'Mix' Artist.dat" 'Band A' 'Fallback' 'Orchestral Manoeuvres in the Dark' 'Riff Band' 'Trailer' "$(sjis 椎名林檎)"
expect "'Mix' Album.dat" 'Dazzle Ships' 'First' 'Old' 'Riff LP' 'T' "$(sjis 無罪モラトリアム)"
expect "'Mix' Artist 'Orchestral Manoeuvres in the Dark'.m3u" "$winmusic\\both.mp3"
expect "'Mix' Artist '椎名林檎'.m3u" "$winmusic\\v2only.mp3"
expect "'Mix' Album '無罪モラトリアム'.m3u" "$winmusic\\v2only.mp3"
[ -f "$work/App/playlist/'Mix' Artist 'Orchestral Manoeuvres in the D'.m3u" ] && { echo "FAILED: on: the cut artist file stayed"; fail=1; }
[ "$(cat "$work/App/playlist.keys")" = "$(lines Keys=2 ReadID3v2=1 Paths=2 CodePage=932)" ] || { echo "FAILED: on: the key record"; fail=1; }
# Without the album artist: the albums as ever, a compilation's artists each
# a node, the two "Greatest Hits" one album.
expect "'Albums' Artist.dat" ABBA a-ha Blondie Kino Queen
expect "'Albums' Album.dat" 'Greatest Hits' 'Gruppa Krovi' 'Now 1986'
expect "'Albums' Album 'Greatest Hits'.m3u" "$winmusic\\gh1.mp3" "$winmusic\\gh3.mp3" "$winmusic\\gh2.mp3"
run --id3v2
counted skipped "on again: the playlists were not skipped"

out="$(tool --album-artist "$(winpath "$work/App")" "$(winpath "$work/Lists")" 2>&1)"
{ [ $? -eq 2 ] && grep -q 'needs --id3v2' <<<"$out"; } || { echo "FAILED: --album-artist alone was taken: $out"; fail=1; }
run --id3v2 --album-artist
counted updated "album artist: the unchanged playlists were not rebuilt"
# The compilation's tracks are filed under its album artist, not their own.
expect "'Albums' Artist 'Kino'.m3u" "$winmusic\\own1.mp3" "$winmusic\\own2.mp3"
expect "'Albums' Artist 'Various Artists'.m3u" "$winmusic\\now1.mp3" "$winmusic\\now2.mp3" "$winmusic\\now3.mp3"
run --id3v2 --album-artist
counted skipped "album artist again: the playlists were not skipped"
cp -r "$work/App" "$work/AppAlbums"

run
counted updated "off again: the playlists were not rebuilt"
[ "$(snapshot)" = "$off" ] || { echo "FAILED: off again differs from off"; diff <(echo "$off") <(snapshot); fail=1; }
[ $fail -eq 0 ] && echo "update tool with ID3v2: all checks passed"

# --- the albums played from the playlist window, the option on ----------------
# The program reads the library the tool built; each album node hands the
# player its own generated playlist, which holds exactly that album's tracks.
. "$KELVANE_SOURCE/tests/e2e/lib.sh"
E2E_FAILURES=$fail
e2e_setup
trap 'rc=$?; rm -rf "$work"; (exit $rc); e2e_cleanup' EXIT
e2e_copy_kelvane
cp -r "$work/AppAlbums/." "$E2E_APP_DIR/"
printf '[Setting]\r\nPlayerPath=%s\r\nPlayListPath=%s\r\nAutoHide=0\r\nReadID3v2=1\r\nGroupByAlbumArtist=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(winpath "$work/Lists")" >"$E2E_APP_DIR/kelvane.ini"
TITLE='Kelvane - プレイリストウインドウ'
tree_texts() { e2e_tree_items - "$TITLE" "$1" | awk '$1 != "tree"' | cut -d' ' -f6- | LC_ALL=C sort | paste -sd'|'; }
play_album() {  # <node text> <album artist and album of its file> <tracks>...
  local node="$1" file="'Albums' Album $2.m3u" point mark x y t
  shift 2
  point="$(e2e_tree_item_point - "$TITLE" 2 "$node")" || { e2e_log "no album node '$node'"; return 1; }
  read -r x y <<<"$point"
  mark="$(e2e_journal_lines)"
  xdotool mousemove --sync $((E2E_DESKTOP_X + x)) $((E2E_DESKTOP_Y + y)) click --repeat 2 --delay 80 1
  e2e_wait_journal_since "$mark" "^PLAYLIST $# tracks" || return 1
  e2e_journal_from $((mark + 1)) | LC_ALL=C grep -qaF "\\playlist\\$file" || { e2e_log "not handed \"$file\""; return 1; }
  cmp "$E2E_APP_DIR/playlist/$file" <(for t; do printf '%s\\%s.mp3\r\n' "$winmusic" "$t"; done)
}
e2e_start_player
e2e_start_kelvane
e2e_click_icon Play 3
e2e_check "the playlist window opens" e2e_wait_shown - "$TITLE" >/dev/null
point="$(e2e_tree_item_point - "$TITLE" 0 Albums)"
e2e_check "and shows the playlist Albums" e2e_click $point
sleep 0.5
e2e_expect_eq "one artist node for the compilation" "ABBA|Kino|Queen|Various Artists" "$(tree_texts 1)"
e2e_expect_eq "albums named alike show their album artist" \
  "Greatest Hits (ABBA)|Greatest Hits (Queen)|Gruppa Krovi|Now 1986" "$(tree_texts 2)"
e2e_screenshot_window albums - "$TITLE" >/dev/null
e2e_check "Greatest Hits (Queen) plays Queen's two tracks" play_album "Greatest Hits (Queen)" "'Queen' 'Greatest Hits'" gh1 gh2
e2e_check "Greatest Hits (ABBA) plays ABBA's track" play_album "Greatest Hits (ABBA)" "'ABBA' 'Greatest Hits'" gh3
e2e_check "the compilation plays its three tracks" play_album "Now 1986" "'Various Artists' 'Now 1986'" now1 now2 now3
e2e_check "the artist's own album plays its two tracks" play_album "Gruppa Krovi" "'Kino' 'Gruppa Krovi'" own1 own2
e2e_finish

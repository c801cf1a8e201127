#!/usr/bin/env bash
# The ID3v2 option as a library story, with the console updater under Wine:
# one playlist of mixed tracks (ID3v2 only, ID3v2 and ID3v1, ID3v1 only,
# RIFF "RMP3", no tag, a blank or damaged ID3v2 tag) built with the option
# off, then on, then off again.
# Off gives the library as it always was, byte for byte; each change of the
# option rebuilds the unchanged playlist once.
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
for name, data in files.items():
    open(f'{music}/{name}', 'wb').write(data)
EOF
winmusic="$(winpath "$work/Music")"
for t in v2only.mp3 both.mp3 v1only.mp3 riff.rmp none.mp3 blank.mp3 damaged.mp3; do printf '%s\\%s\r\n' "$winmusic" "$t"; done >"$work/Lists/Mix.m3u"

fail=0
run() {
  out="$(tool --check-mp3 "$@" "$(winpath "$work/App")" "$(winpath "$work/Lists")" 2>&1)"
  rc=$?
  [ $rc -eq 0 ] || { echo "FAILED: exit status $rc: $out"; fail=1; }
}
counted() { grep -q "^$1 1" <<<"$out" || { echo "FAILED: $2 (not '$1 1'): $out"; fail=1; }; }
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
counted added "off: the playlist was not added"
off="$(snapshot)"
# As the program has always built it: the ID3v1 artist cut at 30 bytes, the
# ID3v2-only track filed nowhere.
expect "'Mix' Artist.dat" 'Band A' 'Fallback' 'Orchestral Manoeuvres in the D' 'Riff Band' 'Trailer'
expect "'Mix' Album.dat" 'Dazzle Ships' 'First' 'Old' 'Riff LP' 'T'
[ -f "$work/App/playlist/'Mix' Artist 'Orchestral Manoeuvres in the D'.m3u" ] || { echo "FAILED: off: no cut artist file"; fail=1; }

run --id3v2
counted updated "on: the unchanged playlist was not rebuilt"
# Index lines hold the system code page; Wine keeps file names in UTF-8.
expect "'Mix' Artist.dat" 'Band A' 'Fallback' 'Orchestral Manoeuvres in the Dark' 'Riff Band' 'Trailer' "$(sjis 椎名林檎)"
expect "'Mix' Album.dat" 'Dazzle Ships' 'First' 'Old' 'Riff LP' 'T' "$(sjis 無罪モラトリアム)"
expect "'Mix' Artist 'Orchestral Manoeuvres in the Dark'.m3u" "$winmusic\\both.mp3"
expect "'Mix' Artist '椎名林檎'.m3u" "$winmusic\\v2only.mp3"
expect "'Mix' Album '無罪モラトリアム'.m3u" "$winmusic\\v2only.mp3"
[ -f "$work/App/playlist/'Mix' Artist 'Orchestral Manoeuvres in the D'.m3u" ] && { echo "FAILED: on: the cut artist file stayed"; fail=1; }
[ "$(cat "$work/App/playlist.keys")" = "$(lines Keys=2 ReadID3v2=1 Paths=2 CodePage=932)" ] || { echo "FAILED: on: the key record"; fail=1; }
run --id3v2
counted skipped "on again: the playlist was not skipped"

run
counted updated "off again: the playlist was not rebuilt"
[ "$(snapshot)" = "$off" ] || { echo "FAILED: off again differs from off"; diff <(echo "$off") <(snapshot); fail=1; }

[ $fail -eq 0 ] && echo "update tool with ID3v2: all checks passed"
exit $fail

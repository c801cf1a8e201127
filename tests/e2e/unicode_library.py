#!/usr/bin/env python3
"""A library of names in many scripts, and the checks of what an update made of it.

  unicode_library.py make <music> <lists> <windows music> <acp> <manifest> [--sample]
      Tracks: copies of a real MP3 frame stream with a new ID3v2.3 tag whose
      texts are UTF-16 (encoding 1), named and tagged in Japanese, Korean,
      Cyrillic, Latin-1 and an emoji. Playlists: Local.m3u in the code page
      <acp> (932 or 1252) with the tracks whose paths it holds, 世界.m3u8
      (UTF-8) with the rest, A.m3u beside A.m3u8, and an album of 300
      characters. The manifest (JSON) says which track is where.
      --sample: for the demo: the tracks without the long album, in one
      playlist 世界.m3u8, no A pair (its notice would stop a tour).
  unicode_library.py check <manifest> <cache> <windows cache> on|off <acp>
      Judges the generated playlists in <cache> (Kelvane's playlist folder;
      <windows cache> is the same folder as Windows names it). Prints one line
      per failure, saying what was expected and what was found.
  unicode_library.py names <manifest> <playlist> artist|album
      The playlist's artists or albums, one a line.
  unicode_library.py file <manifest> <cache> <windows cache> <playlist> album <key> on|off
      The Windows path of the generated playlist of that album (the shortened
      name when the key is too long), for the player's command line.
"""
import json
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_MP3 = os.path.join(HERE, '..', 'data', 'corpus', 'taglib', 'xing.mp3')  # frames only, no tag
BOM = b'\xef\xbb\xbf'
LONG_ALBUM = ('交響曲全集 ' + ' '.join(f'第{i}番' for i in range(1, 120)))[:300]
# file name, artist, album, title. Some tracks of Japanese and Korean artists
# have plain names, so that their playlist can be a code page one on every
# system while their tags are not: the tag rule is then seen apart from the
# path rule.
TRACKS = [
    ('Gunjou Biyori', '東京事変', '教育', '群青日和'),
    ('Koko de Kiss Shite', '椎名林檎', '勝訴', 'ここでキスして。'),
    ('丸の内サディスティック', '椎名林檎', '勝訴', '丸の内サディスティック'),
    ('Joeun Nal', '아이유', '꽃갈피', '좋은 날'),
    ('거짓말', '빅뱅', '메이드', '거짓말'),
    ('Группа крови', 'Кино', 'Группа крови', 'Группа крови'),
    ('Mötley - Kickstart My Heart', 'Mötley Crüe', 'Dr. Feelgood', 'Kickstart My Heart'),
    ('Motley - Shout', 'Motley Crue', 'Shout at the Devil', 'Shout at the Devil'),
    ('🎸 Riff', '🎸 Band', 'Riffs', 'Riff'),
    ('Long', 'Orchestra', LONG_ALBUM, 'Finale'),
]
KINDS = {'artist': 'Artist', 'album': 'Album'}


def codec(acp):
    return {'932': 'cp932', '1252': 'cp1252'}[str(acp)]


def fits(text, acp):
    try:
        text.encode(codec(acp))
        return True
    except UnicodeEncodeError:
        return False


def id3v23(frames):
    def syncsafe(n): return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
    body = b''.join(fid.encode() + struct.pack('>I', len(data)) + b'\0\0' + data for fid, data in frames)
    return b'ID3\x03\0\0' + syncsafe(len(body) + 256) + body + bytes(256)


def utf16_text(text):
    return b'\x01' + text.encode('utf-16')  # encoding 1: UTF-16 with its byte-order mark


def make(music, lists, wmusic, acp, manifest_path, sample):
    audio = open(SOURCE_MP3, 'rb').read()
    if audio[:3] == b'ID3' or audio[-128:-125] == b'TAG':
        sys.exit(f'{SOURCE_MP3} must be a bare frame stream')
    os.makedirs(music, exist_ok=True)
    os.makedirs(lists, exist_ok=True)
    tracks = {}
    for name, artist, album, title in TRACKS:
        if sample and album == LONG_ALBUM:
            continue
        with open(os.path.join(music, name + '.mp3'), 'wb') as f:
            f.write(id3v23([('TIT2', utf16_text(title)), ('TPE1', utf16_text(artist)),
                            ('TALB', utf16_text(album))]) + audio)
        tracks[name] = {'path': f'{wmusic}\\{name}.mp3', 'artist': artist, 'album': album, 'title': title}

    def write(file, names, encoding, bom=b'', extinf=False):
        lines = ['#EXTM3U']
        for n in names:
            if extinf:
                lines.append(f'#EXTINF:1,{tracks[n]["artist"]} - {tracks[n]["title"]}')
            lines.append(tracks[n]['path'])
        with open(os.path.join(lists, file), 'wb') as f:
            f.write(bom + ''.join(line + '\r\n' for line in lines).encode(encoding))

    if sample:
        playlists = {'世界': list(tracks)}
        write('世界.m3u8', playlists['世界'], 'utf-8', BOM, extinf=True)
    else:
        local = [n for n in tracks if fits(tracks[n]['path'], acp)]
        playlists = {'Local': local, '世界': [n for n in tracks if n not in local], 'A': ['Long']}
        write('Local.m3u', local, codec(acp))
        write('世界.m3u8', playlists['世界'], 'utf-8', extinf=True)  # as players write them: no BOM
        write('A.m3u8', ['Long'], 'utf-8', BOM)
        write('A.m3u', ['Motley - Shout'], 'ascii')  # passed over: A.m3u8 is the library's "A"
    with open(manifest_path, 'w', encoding='utf-8') as f:
        json.dump({'tracks': tracks, 'playlists': playlists}, f, ensure_ascii=False, indent=1)


def fnv1a32(data):
    h = 0x811C9DC5
    for b in data:
        h = ((h ^ b) * 0x01000193) & 0xFFFFFFFF
    return h


def units(text):
    return len(text.encode('utf-16-le')) // 2


class Judge:
    def __init__(self, manifest, cache, wcache, mode, acp):
        self.m, self.cache, self.wcache, self.mode, self.acp = manifest, cache, wcache, mode, acp
        self.ext = '.m3u8' if mode == 'on' else '.m3u'
        # Host names as Wine writes them: UTF-8, whatever this process's locale.
        self.files = sorted(n.decode('utf-8', 'surrogateescape') for n in os.listdir(cache.encode())) \
            if os.path.isdir(cache) else []
        self.failures = []
        self.read = {}

    def fail(self, text):
        self.failures.append(text)

    def keeps(self, text):
        """Whether this mode keeps the text as a name."""
        return self.mode == 'on' or fits(text, self.acp)

    def file_of(self, playlist, kind, key):
        """The generated file's name in the cache, or None. A name past the
        system's limits (255 UTF-16 units, a whole path of 259) is found by its
        start and the hash of the whole key. So may a shorter one: under Wine
        a name is also a host file name, of at most 255 bytes of UTF-8."""
        exact = f"'{playlist}' {KINDS[kind]} '{key}'{self.ext}"
        too_long = units(exact) > 255 or units(self.wcache) + 1 + units(exact) > 259
        if not too_long and exact in self.files:
            return exact
        start = f"'{playlist}' {KINDS[kind]} '{key[:8]}"
        mark = f'~{fnv1a32(key.encode()):08x}'
        found = [f for f in self.files if f.startswith(start) and mark in f.lower() and f.endswith(self.ext)]
        for f in found:
            whole = units(self.wcache) + 1 + units(f)
            if units(f) > 255 or whole > 259:
                self.fail(f'shortened name still too long ({units(f)} units, whole path {whole}): {f}')
        return found[0] if found else None

    def read_lines(self, name):
        if name in self.read:
            return self.read[name]
        data = open(os.path.join(self.cache, name).encode('utf-8', 'surrogateescape'), 'rb').read()
        has_bom = data.startswith(BOM)
        if self.mode == 'on':
            if not has_bom:
                self.fail(f'{name}: expected a UTF-8 byte-order mark, found {data[:3]!r}')
            text = data[len(BOM) if has_bom else 0:].decode('utf-8', errors='replace')
        else:
            if has_bom:
                self.fail(f'{name}: a byte-order mark in a code page file')
            text = data.decode(codec(self.acp), errors='replace')
        self.read[name] = [line for line in text.splitlines() if line and not line.startswith('#')]
        return self.read[name]

    def check(self):
        tracks, playlists = self.m['tracks'], self.m['playlists']
        by_path = {t['path']: t for t in tracks.values()}
        for f in self.files:
            # A character lost on the way: '?' from the code page, its full-width
            # stand-in, or bytes of one code page read as another.
            if any(c in '?\uff1f\ufffd' or '\x80' <= c <= '\x9f' for c in f):
                self.fail(f'a file name lost characters: {f!r}')
            if f.endswith('.m3u8' if self.mode == 'off' else '.m3u'):
                self.fail(f'a generated playlist of the other format: {f}')
        for playlist, names in playlists.items():
            if not self.keeps(playlist):
                left = [f for f in self.files if f.startswith(f"'{playlist}'")]
                if left:
                    self.fail(f'playlist {playlist} cannot be named in this code page, yet has files: {left}')
                continue
            for kind in KINDS:
                # Tracks this mode can name, by the key this mode can keep.
                want = {}
                for n in names:
                    t = tracks[n]
                    if self.keeps(t['path']) and self.keeps(t[kind]):
                        want.setdefault(t[kind], set()).add(t['path'])
                for key, paths in sorted(want.items()):
                    name = self.file_of(playlist, kind, key)
                    if name is None:
                        self.fail(f'no {KINDS[kind]} playlist of {playlist} for {key[:40]!r} '
                                  f'(expected {playlist!r} {KINDS[kind]} {key[:40]!r}...{self.ext})')
                        continue
                    got = set(self.read_lines(name))
                    if got != paths:
                        self.fail(f'{name}: expected tracks {sorted(paths)}, found {sorted(got)}')
                # Nothing merged: each generated file of the playlist holds one key's tracks.
                prefix = f"'{playlist}' {KINDS[kind]} '"
                for f in self.files:
                    if f.startswith(prefix) and f.endswith(self.ext):
                        keys = {by_path[p][kind] if p in by_path else f'<unknown {p}>' for p in self.read_lines(f)}
                        if len(keys) > 1:
                            self.fail(f'{f} merges {sorted(keys)}')
                if self.mode == 'on':
                    index = f"'{playlist}' {KINDS[kind]}.dat"
                    if index not in self.files:
                        self.fail(f'no index {index}')
                    elif set(self.read_lines(index)) != set(want):
                        self.fail(f'{index}: expected {sorted(want)}, found {sorted(set(self.read_lines(index)))}')
        return self.failures


def main(argv):
    sys.stdout.reconfigure(encoding='utf-8', errors='backslashreplace')
    cmd = argv[1] if len(argv) > 1 else ''
    if cmd == 'make' and len(argv) >= 7:
        make(*argv[2:7], sample='--sample' in argv[7:])
        return 0
    if cmd in ('check', 'names', 'file'):
        manifest = json.load(open(argv[2], encoding='utf-8'))
    if cmd == 'check' and len(argv) == 7:
        failures = Judge(manifest, *argv[3:7]).check()
        for f in failures:
            print('FAILED:', f)
        return 1 if failures else 0
    if cmd == 'names' and len(argv) == 5:
        tracks = manifest['tracks']
        for v in sorted({tracks[n][argv[4]] for n in manifest['playlists'][argv[3]]}):
            print(v)
        return 0
    if cmd == 'file' and len(argv) == 9:
        cache, wcache, playlist, kind, key, mode = argv[3:9]
        judge = Judge(manifest, cache, wcache, mode, 0)
        name = judge.file_of(playlist, kind, key)
        if name is None:
            return 1
        print(f'{wcache}\\{name}')
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Writes the ID3v2 seed files of the tag reader's fuzz target into this folder:
one small file per layout the reader knows (each version, each text encoding,
unsynchronisation, extended headers, frame flags, a picture first) and a few
damaged on purpose. Run it again after changing it; the files are kept in git."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])


def frame(version, fid, data, flags=0):
    if version == 2:
        return fid.encode() + struct.pack('>I', len(data))[1:] + data
    size = syncsafe(len(data)) if version == 4 else struct.pack('>I', len(data))
    return fid.encode() + size + bytes([0, flags]) + data


def tag(version, frames, flags=0, padding=64):
    return b'ID3' + bytes([version, 0, flags]) + syncsafe(len(frames) + padding) + frames + bytes(padding)


def unsync(data):
    return data.replace(b'\xff', b'\xff\x00')


def id3v1(artist, album):
    pad = lambda s: s.ljust(30, b'\0')[:30]
    return b'TAG' + pad(b'Song') + pad(artist) + pad(album) + b'2001' + bytes(30) + b'\x0c'


audio = b'\xff\xfb\x90\x64' + bytes(400)
name = '椎名林檎'
seeds = {
    'v22-latin1': tag(2, frame(2, 'TT2', b'\0Song') + frame(2, 'TP1', b'\0Artist') + frame(2, 'TAL', b'\0Album')),
    'v23-utf16-bom': tag(3, frame(3, 'TPE1', b'\x01' + name.encode('utf-16')) +
                         frame(3, 'TALB', b'\x01\xfe\xff' + '無罪'.encode('utf-16-be'))),
    'v24-utf16be': tag(4, frame(4, 'TPE1', b'\x02' + name.encode('utf-16-be')) + frame(4, 'TALB', b'\x03Album\0Two')),
    'v24-utf8': tag(4, frame(4, 'TPE1', b'\x03' + name.encode('utf-8')) + frame(4, 'TALB', b'\x00' + name.encode('cp932'))),
    'v23-unsync': tag(3, unsync(frame(3, 'TPE1', b'\x01\xff\xfeA\0') + frame(3, 'TALB', b'\0\xff\xe0Album')), flags=0x80),
    'v24-frame-unsync': tag(4, frame(4, 'TPE1', syncsafe(5) + unsync(b'\x01\xff\xfeA\0'), flags=0x03) +
                            frame(4, 'TALB', b'\x07' + b'\0Grouped', flags=0x40)),
    'v23-extended': tag(3, struct.pack('>I', 6) + bytes(6) + frame(3, 'TPE1', b'\0Ext'), flags=0x40),
    'v24-extended': tag(4, syncsafe(6) + b'\x01\x00' + frame(4, 'TPE1', b'\0Ext'), flags=0x40),
    'v23-compressed': tag(3, frame(3, 'TPE1', struct.pack('>I', 20) + b'x\x9c', flags=0x80) +
                          frame(3, 'TALB', b'\x01' + b'\0Secret', flags=0x40) + frame(3, 'TPE1', b'\0Plain')),
    'v23-picture-first': tag(3, frame(3, 'APIC', b'\0image/png\0\x03\0' + bytes(6000)) +
                             frame(3, 'TPE1', b'\0After') + frame(3, 'TALB', b'\0Picture')),
    'damaged-truncated': tag(3, frame(3, 'TPE1', b'\0Cut') + frame(3, 'TALB', b'\0Off'))[:-70],
    'damaged-frame-size': tag(3, b'TPE1' + struct.pack('>I', 5000) + b'\0\0\0Big'),
    'damaged-encoding': tag(4, frame(4, 'TPE1', b'\x09Bad')),
}
for key, data in seeds.items():
    with open(os.path.join(here, key + '.mp3'), 'wb') as f:
        f.write(data + audio + id3v1(b'Trailer', b'Seed'))

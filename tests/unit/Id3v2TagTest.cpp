// The ID3v2 reader: every version and text encoding, the flags that change
// how frames are laid out, damaged tags and the corpus. (That the prefetched
// source changes nothing the tag reader sees is the fuzz target's check.)
#include "library/Id3v2Tag.h"

#include <filesystem>

#include "LibraryTestSupport.h"

namespace {

using libtest::Frame;
using libtest::Id3v2;
using libtest::Text;

// Counts the reads asked of the source below the prefetch.
class CountingSource : public TMemoryTagSource {
 public:
  using TMemoryTagSource::TMemoryTagSource;
  std::size_t Read(void* buffer, std::size_t count) override {
    ++reads;
    const std::size_t n = TMemoryTagSource::Read(buffer, count);
    bytesRead += n;
    return n;
  }
  int reads = 0;
  std::size_t bytesRead = 0;
};

struct Read {
  bool ok;
  TId3v2Text text;
};
Read ReadBytes(const std::string& bytes) {
  TMemoryTagSource memory(bytes.data(), bytes.size());
  TPrefetchedTagSource source(memory, kTrackPrefixBytes);
  Read r;
  r.ok = ReadId3v2Text(source, &r.text);
  return r;
}

const std::string kShiinaSjis = "\x92\xC5\x96\xBC\x97\xD1\x8C\xE7";  // 椎名林檎 in code page 932
const std::string kShiinaUtf8 = "\xE6\xA4\x8E\xE5\x90\x8D\xE6\x9E\x97\xE6\xAA\x8E";
const std::string kShiinaUtf16Le("\x0E\x69\x0D\x54\x97\x67\x8E\x6A", 8);
const std::string kShiinaUtf16Be("\x69\x0E\x54\x0D\x67\x97\x6A\x8E", 8);

TEST(Id3v2Reader, EveryVersionAndEncodingGivesTheTextInUtf8) {
  const struct {
    int encoding;
    std::string bytes;
  } kTexts[] = {
      {0, kShiinaSjis},                                       // the system's text, as Japanese taggers wrote it
      {0, kShiinaSjis + std::string("\0Second\0", 8)},         // the first of several values
      {1, "\xFF\xFE" + kShiinaUtf16Le + std::string("\0\0", 2)},
      {1, "\xFE\xFF" + kShiinaUtf16Be},
      {1, "\xFF\xFE" + kShiinaUtf16Le + std::string("\0\0\xFF\xFE" "A\0", 6)},
      {2, kShiinaUtf16Be + std::string("\0", 1)},             // a last odd byte is no character
      {3, kShiinaUtf8},
      {3, "\xEF\xBB\xBF" + kShiinaUtf8 + std::string("\0x", 2)},
  };
  for (int version = 2; version <= 4; ++version) {
    for (const auto& t : kTexts) {
      SCOPED_TRACE("2." + std::to_string(version) + " encoding " + std::to_string(t.encoding));
      const std::string artistId = version == 2 ? "TP1" : "TPE1", albumId = version == 2 ? "TAL" : "TALB";
      const Read r = ReadBytes(Id3v2(version, Frame(version, version == 2 ? "TT2" : "TIT2", Text(0, "Song")) +
                                                  Frame(version, artistId, Text(t.encoding, t.bytes)) +
                                                  Frame(version, albumId, Text(3, "Album")),
                                     0, 300) +
                               std::string(1000, '\xFF'));
      EXPECT_TRUE(r.ok);
      EXPECT_EQ(r.text.Artist, kShiinaUtf8);
      EXPECT_EQ(r.text.Album, "Album");
    }
  }
  // 2.2 names are not 2.3 names, and the first of two frames counts.
  EXPECT_EQ(ReadBytes(Id3v2(2, Frame(2, "TPE", Text(0, "No")))).text.Artist, "");
  const Read twice = ReadBytes(Id3v2(3, libtest::Frame(3, "TPE1", Text(0, "One")) + Frame(3, "TPE1", Text(0, "Two"))));
  EXPECT_EQ(twice.text.Artist, "One");
}

// Encoding 0 on a code page 932 system: ISO-8859-1 unless the bytes can
// only be the system's double-byte text.
TEST(Id3v2Reader, EncodingZeroIsLatin1UnlessItIsTheSystemsDoubleByteText) {
  const struct {
    std::string bytes;
    std::string utf8;
  } kTable[] = {
      {kShiinaSjis, kShiinaUtf8},
      {"\x95\x6C\x8D\xE8\x82\xA0\x82\xE4\x82\xDD", u8"浜崎あゆみ"},  // names as Japanese taggers wrote them
      {"\x83\x5C\x83\x6A\x81\x5B", u8"ソニー"},
      {"\x89\x46\x91\xBD\x93\x63\x83\x71\x83\x4A\x83\x8B", u8"宇多田ヒカル"},
      {"\x82\x78\x82\x6C\x82\x6E", u8"ＹＭＯ"},
      {"\x82\xAB\x82\xE1\x82\xE8\x81\x5B\x82\xCF\x82\xDD\x82\xE3\x82\xCF\x82\xDD\x82\xE3", u8"きゃりーぱみゅぱみゅ"},
      {"\x88\x9F\xB1", u8"亜ｱ"},                         // with a half-width kana
      {"M\xF6tley Cr\xFC" "e", u8"Mötley Crüe"},          // user-defined lead bytes
      {"Beyonc\xE9", u8"Beyoncé"},                        // a lead byte at the end
      {"Caf\xE9 del Mar", u8"Café del Mar"},              // a lead byte before a blank
      {"\xB1\xB2", u8"±²"},                                // kana alone: no double-byte character
      {"\x87\x40", u8"\u0087@"},                           // NEC row 13
      {"\xED\x40\xEE\xEC", u8"í@îì"},                      // NEC-selected IBM
      {"\xFA\x40", u8"ú@"},                                // IBM
      {"\x85\x40", u8"\u0085@"},                           // unassigned
      {"Band", "Band"},
  };
  for (const auto& t : kTable) {
    std::string text;
    const std::string data = Text(0, t.bytes);
    EXPECT_TRUE(DecodeId3v2Text(reinterpret_cast<const unsigned char*>(data.data()), data.size(), &text));
    EXPECT_EQ(text, t.utf8) << t.bytes;
  }
}

// Encoding 0 measured on real names: a Western tagger's ISO-8859-1 (or its
// Windows superset, with typographic quotes and dashes) is never read as
// double-byte text on the Far-Eastern code pages, and the double-byte names
// those code pages' taggers wrote still are (932's in the table above).
TEST(Id3v2Reader, EncodingZeroTellsEuropeanNamesFromDoubleByteNamesOnEveryCodePage) {
  const auto lead932 = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  const auto lead936 = [](unsigned char b) { return b >= 0x81 && b <= 0xFE; };  // and 949, 950
  const auto western = [](const std::string& utf8) {
    std::string bytes;
    for (const char16_t c : platform::Utf8ToUtf16(utf8)) {
      bytes += static_cast<char>(c == u'\u2019' ? 0x92 : c == u'\u2013' ? 0x96 : c);
    }
    return bytes;
  };
  // One of each kind: an accent before a letter, a blank or the end, two
  // between letters, and the Windows quote and dash.
  const char* const european[] = {
      u8"Björk", u8"Ørjan Nilsen", u8"Die Ärzte", u8"Hélène Grimaud", u8"Théâtre", u8"Maná",
      u8"Zoë Keating", u8"Ça plane pour moi", u8"Amadou & Mariam – Sénégal", u8"Beyoncé’s Lemonade"};
  for (const char* name : european) {
    const std::string bytes = western(name);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    EXPECT_FALSE(Latin1LooksDoubleByte(p, bytes.size(), lead932, true)) << name;
    EXPECT_FALSE(Latin1LooksDoubleByte(p, bytes.size(), lead936, false)) << name;
    std::string text;
    const std::string data = Text(0, bytes);
    ASSERT_TRUE(DecodeId3v2Text(reinterpret_cast<const unsigned char*>(data.data()), data.size(), &text));
    if (bytes.find_first_of("\x92\x96") == std::string::npos) { EXPECT_EQ(text, name); }
  }
  // GBK 周杰伦 王菲, Big5 周杰倫 鄧麗君, EUC-KR 아이유 빅뱅 on their own code pages.
  for (const std::string bytes : {"\xD6\xDC\xBD\xDC\xC2\xD7", "\xCD\xF5\xB7\xC6", "\xA9\x50\xAA\x4E\xAD\xDB",
                                  "\xBE\x48\xC4\x52\xA7\x67", "\xBE\xC6\xC0\xCC\xC0\xAF", "\xBA\xF2\xB9\xF0"}) {
    EXPECT_TRUE(Latin1LooksDoubleByte(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), lead936, false));
  }
}

// Unsynchronisation as a writer applies it: a zero after every $FF.
std::string Unsynchronised(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    out += c;
    if (c == '\xFF') out += '\0';
  }
  return out;
}

TEST(Id3v2Reader, UnsynchronisationExtendedHeadersAndFrameFlagsAreUndone) {
  const std::string artist = Text(1, "\xFF\xFE" + kShiinaUtf16Le);  // a BOM of $FF bytes
  const std::string album = Text(0, "\xFF\xE0 Album");               // a false sync inside
  // 2.3: the whole tag, frame headers included; sizes are those before.
  const std::string frames3 = Frame(3, "TPE1", artist) + Frame(3, "TALB", album);
  Read r = ReadBytes(Id3v2(3, Unsynchronised(frames3), 0x80));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.text.Artist, kShiinaUtf8);
  EXPECT_EQ(r.text.Album, "\xC3\xBF\xC3\xA0 Album");  // ISO-8859-1
  // 2.4: per frame, after its data length; sizes are those in the file.
  const std::string unsyncArtist = Unsynchronised(artist);
  r = ReadBytes(Id3v2(4, Frame(4, "TPE1", libtest::Syncsafe(static_cast<std::uint32_t>(artist.size())) + unsyncArtist,
                               0x03) +
                             Frame(4, "TALB", album)));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.text.Artist, kShiinaUtf8);
  EXPECT_EQ(r.text.Album, "\xC3\xBF\xC3\xA0 Album");  // ISO-8859-1
  // 2.4 with the tag's flag: every frame is unsynchronised.
  r = ReadBytes(Id3v2(4, Frame(4, "TPE1", unsyncArtist), 0x80));
  EXPECT_EQ(r.text.Artist, kShiinaUtf8);
  // Extended headers: 2.3 sized without its size field, 2.4 with it.
  r = ReadBytes(Id3v2(3, libtest::Be(6, 4) + std::string(6, '\x01') + frames3, 0x40));
  EXPECT_EQ(r.text.Album, "\xC3\xBF\xC3\xA0 Album");  // ISO-8859-1
  r = ReadBytes(Id3v2(4, libtest::Syncsafe(12) + std::string("\x01\x20\x05\x08\x3A\x3B\x06\x07", 8) +
                             Frame(4, "TPE1", Text(0, "Ext")), 0x40));
  EXPECT_EQ(r.text.Artist, "Ext");
  // A group id before the text; compressed and encrypted frames are passed
  // by their size, and a later frame of the same name is read.
  r = ReadBytes(Id3v2(3, Frame(3, "TPE1", "\x07" + Text(0, "Grouped"), 0x20)));
  EXPECT_EQ(r.text.Artist, "Grouped");
  r = ReadBytes(Id3v2(4, Frame(4, "TPE1", "\x01" + Text(0, "Grouped4"), 0x40)));
  EXPECT_EQ(r.text.Artist, "Grouped4");
  r = ReadBytes(Id3v2(3, Frame(3, "TPE1", libtest::Be(50, 4) + "x\x9C...", 0x80) +
                             Frame(3, "TALB", "\x01" + Text(0, "Secret"), 0x40) + Frame(3, "TPE1", Text(0, "Plain"))));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.text.Artist, "Plain");
  EXPECT_EQ(r.text.Album, "");
  r = ReadBytes(Id3v2(4, Frame(4, "TPE1", "zz", 0x08) + Frame(4, "TALB", "\x01" "zz", 0x04)));
  EXPECT_EQ(r.text.Artist + r.text.Album, "");
}

TEST(Id3v2Reader, APictureBeforeTheTextsIsPassedBySizeNotRead) {
  const std::string picture = Frame(3, "APIC", std::string(2 << 20, '\x42'));
  const std::string bytes =
      Id3v2(3, picture + libtest::Id3v2Tag("Band", "Disc").substr(10), 0, 2048) + std::string(5000, '\xFF');
  CountingSource memory(bytes.data(), bytes.size());
  TPrefetchedTagSource source(memory, kTrackPrefixBytes);
  TId3v2Text text;
  EXPECT_TRUE(ReadId3v2Text(source, &text));
  EXPECT_EQ(text.Artist, "Band");
  EXPECT_EQ(text.Album, "Disc");
  // The prefix, then one read past the picture.
  EXPECT_LT(memory.bytesRead, 3 * kTrackPrefixBytes);
  EXPECT_EQ(memory.reads, 2);
  // The usual tag: one read.
  const std::string usual = libtest::Id3v2Tag("Band", "Disc") + std::string(100000, '\xFF');
  CountingSource plain(usual.data(), usual.size());
  TPrefetchedTagSource plainSource(plain, kTrackPrefixBytes);
  EXPECT_TRUE(ReadId3v2Text(plainSource, &text));
  EXPECT_EQ(plain.reads, 1);
}

TEST(Id3v2Reader, DamagedTagsGiveNoTextAndNeverReadPastTheFile) {
  const std::string good = libtest::Id3v2Tag("Band", "Disc");
  const std::string frames = good.substr(10);
  const struct {
    const char* what;
    std::string bytes;
  } kDamaged[] = {
      {"tag size past the end", good.substr(0, good.size() - 1)},
      {"frame size over the tag",
       Id3v2(3, Frame(3, "TPE1", Text(0, "Band")) + "TALB" + libtest::Be(900, 4) + std::string(2, '\0') + "x") +
           std::string(2000, '\0')},
      {"unknown encoding", Id3v2(3, Frame(3, "TPE1", Text(4, "Band")))},
      {"UTF-16 without its order", Id3v2(3, Frame(3, "TPE1", Text(1, std::string("B\0a\0", 4))))},
      {"broken UTF-8", Id3v2(4, Frame(4, "TPE1", Text(3, "Ba\xC3")))},
      {"overlong UTF-8", Id3v2(4, Frame(4, "TPE1", Text(3, "\xC0\xAF")))},
      {"2.4 frame size not syncsafe", Id3v2(4, "TPE1" + libtest::Be(0x80, 4) + std::string(2, '\0') +
                                                 std::string(0x80, 'a'))},
      {"tag size not syncsafe", std::string("ID3\x03\0\0\0\0\x80\0", 10) + frames},
      {"data length longer than the frame", Id3v2(4, Frame(4, "TPE1", "\x01\x02", 0x01))},
      {"extended header past the tag", Id3v2(3, libtest::Be(100, 4) + frames, 0x40)},
  };
  for (const auto& d : kDamaged) {
    SCOPED_TRACE(d.what);
    const Read r = ReadBytes(d.bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.text.Artist + r.text.Album, "");
  }
  // Not a tag at all: other versions, and no tag.
  for (const std::string& other : {std::string("ID3\x05\0\0\0\0\0\0", 10), std::string("ID3\x03\xFF\0\0\0\0\0", 10),
                                   std::string("ID3\x02\0\x40\0\0\0\x14", 10) + frames, std::string("TAG")}) {
    EXPECT_FALSE(ReadBytes(other).ok);
  }
  // Every cut of a tag, inside and around a picture: no read past the bytes
  // (the sanitizers watch), and a text only where the tag is whole.
  const std::string full = Id3v2(3, Frame(3, "APIC", std::string(5000, 'p')) + frames, 0, 16);
  for (std::size_t cut = 0; cut <= full.size(); cut += cut < 40 || full.size() - cut < 80 ? 1 : 97) {
    const Read r = ReadBytes(full.substr(0, cut));
    EXPECT_EQ(r.ok, cut == full.size()) << cut;
  }
}

// Expected texts from an independent reader (python3-mutagen 1.46): 2.2 and
// 2.3 tags with ISO-8859-1 and UTF-16 texts, a 2.4 extended header; tags
// whose size runs past the end of their file give nothing.
TEST(Id3v2Reader, CorpusFilesReadLikeAnIndependentReader) {
  const struct {
    const char* file;
    bool ok;
    const char* artist;
    const char* album;
  } kExpected[] = {
      {"itunes10.mp3", true, "Artist", "Album"},
      {"duplicate_id3v2.mp3", true, "ArtistXXXX", "AlbumXXXX"},
      {"extended-header.mp3", true, "Excelsis", "Vo Chrieger U Drache"},
      {"ape-id3v2.mp3", true, "", ""},
      {"id3v22-tda.mp3", true, "", ""},
      {"lame_cbr.mp3", true, "", ""},
      {"rare_frames.mp3", true, "", ""},
      {"toc_many_children.mp3", true, "", ""},
      {"compressed_id3_frame.mp3", false, "", ""},
      {"compressed_id3_frame_invalid.mp3", false, "", ""},
      {"excessive_alloc.mp3", false, "", ""},
      {"w000.mp3", false, "", ""},
      {"garbage.mp3", false, "", ""},
      {"ape-id3v1.mp3", false, "", ""},
  };
  for (const auto& e : kExpected) {
    SCOPED_TRACE(e.file);
    std::ifstream in(std::string(KELVANE_CORPUS) + "/" + e.file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_FALSE(bytes.empty());
    const Read r = ReadBytes(bytes);
    EXPECT_EQ(r.ok, e.ok);
    EXPECT_EQ(r.text.Artist, e.artist);
    EXPECT_EQ(r.text.Album, e.album);
  }
}

}  // namespace

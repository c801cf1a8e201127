// Names in every script: the Unicode library against one in the system code
// page (932 here), the source playlists of both formats, and generated names
// past the system's limits.
#include "library/LibraryUpdate.h"

#include <set>

#include "LibraryTestSupport.h"
#include "platform/Locale.h"
#include "tests/support/CountingProgress.h"
#include "ui/FrameRules.h"

namespace {

using libtest::Frame;
using libtest::Id3v2;
using libtest::Text;

// A 2.3 tag whose texts are UTF-16 with a byte order mark.
std::string Utf16Tag(const std::string& artist, const std::string& album) {
  const auto utf16 = [](const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : platform::Utf8ToUtf16(utf8)) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    return Text(1, bytes);
  };
  return Id3v2(3, Frame(3, "TPE1", utf16(artist)) + Frame(3, "TALB", utf16(album)));
}

// Names outside code page 932 (kept out of the test macros, whose text of
// their arguments is in that code page).
const std::string kIu = u8"아이유", kBigbang = u8"빅뱅", kMotley = u8"Mötley Crüe", kSmile = u8"😀";

class LibraryUnicodeTest : public libtest::LibraryFixture {
 protected:
  TCountingProgress Update(bool unicode) {
    TCountingProgress progress;
    TLibraryContext context{"C:\\App\\", false, true};
    context.UnicodeLibrary = unicode;
    std::string folder = "D:\\Lists";
    TLibraryUpdate update(context, progress);
    EXPECT_EQ(update.Run(&folder), TLibraryUpdate::Outcome::Done);
    return progress;
  }
  std::set<std::string> Index(const std::string& name) {
    TLines lines;
    EXPECT_TRUE(ReadTextList("C:\\App\\playlist\\" + name, &lines)) << name;
    return std::set<std::string>(lines.begin(), lines.end());
  }
  std::string Generated(bool unicode, const std::string& base, const std::string& kind, const std::string& key) {
    TLibraryContext context{"C:\\App\\"};
    context.UnicodeLibrary = unicode;
    return Get("C:\\App\\playlist\\" + GeneratedPlaylistFileName(context, base, kind, key));
  }
};

TEST_F(LibraryUnicodeTest, EveryNameKeptWithTheOptionAndNoneMergedWithout) {
  const std::string audio(1024, '\xFF');
  const struct {
    std::string path, artist, album, id3v1Artist;
  } tracks[] = {
      {u8"D:\\Music\\東京事変.mp3", u8"東京事変", u8"教育", ""},
      {u8"D:\\Music\\椎名林檎.mp3", u8"椎名林檎", u8"勝訴ストリップ", ""},
      {"D:\\Music\\iu.mp3", kIu, "Palette", "IU"},
      {"D:\\Music\\bigbang.mp3", kBigbang, "Made", ""},
      {"D:\\Music\\" + kIu + " 2.mp3", kIu, "Lilac", ""},
      {u8"D:\\Music\\Кино.mp3", u8"Кино", u8"Группа крови", ""},
      {"D:\\Music\\motley.mp3", kMotley, "Dr. Feelgood", ""},
      {"D:\\Music\\motley2.mp3", "Motley Crue", "Too Fast", ""},
      {"D:\\Music\\" + kSmile + ".mp3", kSmile, "Emoji", ""},
  };
  for (const auto& t : tracks) {
    Put(t.path, Utf16Tag(t.artist, t.album) + audio +
                    (t.id3v1Artist.empty() ? std::string() : libtest::Id3v1(t.id3v1Artist, t.album)));
  }
  std::string asia, west;
  for (int i = 0; i < 5; ++i) asia += tracks[i].path + "\r\n";
  for (int i = 5; i < 9; ++i) west += tracks[i].path + "\n";
  Put("D:\\Lists\\Asia.m3u8", asia);                      // UTF-8 without a BOM
  Put("D:\\Lists\\West.m3u", "\xEF\xBB\xBF" + west);      // a .m3u in UTF-8 says so
  Put("D:\\Lists\\Jp.m3u", platform::Utf8ToSystem(tracks[0].path + "\r\n" + tracks[1].path + "\r\n"));

  // On: every artist and album its own node and file, read back exactly.
  TCountingProgress on = Update(true);
  EXPECT_EQ(on.Added(), 3);
  EXPECT_TRUE(on.Notices.empty());
  EXPECT_EQ(Index("'Asia' Artist.dat"), (std::set<std::string>{u8"東京事変", u8"椎名林檎", kIu, kBigbang}));
  EXPECT_EQ(Index("'West' Artist.dat"), (std::set<std::string>{u8"Кино", kMotley, "Motley Crue", kSmile}));
  EXPECT_EQ(Index("'Asia' Album.dat").size(), 5u);
  EXPECT_EQ(Generated(true, "Asia", "Artist", kIu),
            "\xEF\xBB\xBF" + tracks[2].path + "\r\n" + tracks[4].path + "\r\n");
  EXPECT_EQ(Generated(true, "West", "Artist", kSmile), "\xEF\xBB\xBF" + tracks[8].path + "\r\n");
  EXPECT_EQ(Generated(true, "Jp", "Album", u8"勝訴ストリップ"), "\xEF\xBB\xBF" + tracks[1].path + "\r\n");
  EXPECT_EQ(Get("C:\\App\\playlist.keys"), "\xEF\xBB\xBFKeys=2\r\nReadID3v2=1\r\nUnicodeLibrary=1\r\nPaths=2\r\nCodePage=932\r\n");

  // Off: built again once; a text the code page cannot hold passes to the
  // next source (the ID3v1 trailer's "IU") or to none, a track whose path it
  // cannot hold is left out, and the one notice counts them.
  TCountingProgress off = Update(false);
  EXPECT_EQ(off.Updated(), 3);
  EXPECT_EQ(off.Notices, std::vector<std::string>{platform::Message(kUnfitNamesNotice, "5").Utf8()});
  EXPECT_EQ(Index("'Asia' Artist.dat"), (std::set<std::string>{u8"東京事変", u8"椎名林檎", "IU"}));
  EXPECT_EQ(Index("'West' Artist.dat"), (std::set<std::string>{u8"Кино", "Motley Crue"}));
  EXPECT_EQ(Index("'West' Album.dat"), (std::set<std::string>{u8"Группа крови", "Dr. Feelgood", "Too Fast"}));
  // The code page's own names are its bytes, as ever; the Unicode files are gone.
  // (The order of two kanji is the locale's: the stand-in's is not Windows'.)
  const std::string jp = Get("C:\\App\\playlist\\'Jp' Artist.dat");
  EXPECT_TRUE(jp == platform::Utf8ToSystem(u8"椎名林檎\r\n東京事変\r\n") ||
              jp == platform::Utf8ToSystem(u8"東京事変\r\n椎名林檎\r\n")) << jp;
  EXPECT_EQ(Generated(false, "Jp", "Artist", u8"東京事変"), platform::Utf8ToSystem(tracks[0].path + "\r\n"));
  EXPECT_EQ(Get("C:\\App\\playlist.keys"), "Keys=2\r\nReadID3v2=1\r\nPaths=2\r\nCodePage=932\r\n");
  for (const std::string& name : Names("C:\\App\\playlist")) EXPECT_NE(name.substr(name.size() - 5), ".m3u8") << name;
  // The stamps still name the tracks left out, so an unchanged library is skipped.
  EXPECT_EQ(Update(false).Skipped(), 3);
}

TEST(LibraryTagKeys, SystemTextBecomesUtf8AndALeadByteCutAtTheEndIsDropped) {
  EXPECT_EQ(RiffInfoKey(std::string("\x93\x8C\x8B\0pad", 7)), u8"東");
  std::string field(30, 'x');
  field[29] = '\x93';
  EXPECT_EQ(Id3v1Key(field.data(), field.size()), std::string(29, 'x'));
  EXPECT_EQ(Id3v1Key(" \x93\x8C\x8B\x9E\t", 6), u8"東京");
}

TEST(LibrarySourcePlaylists, M3u8WinsOverTheM3uOfItsNameAndOnlyLongNamesCount) {
  const struct {
    std::vector<std::string> names, kept, passedOver;
  } table[] = {
      {{"A.m3u", "A.m3u8"}, {"A.m3u8"}, {"A.m3u"}},
      {{"a.M3U8", "b.txt", "A.m3u"}, {"a.M3U8"}, {"A.m3u"}},
      {{"B.M3U", "c.m3u8x", "d.m3u~", "e.M3u8", "f.m3u.m3u8", "f.m3u", "g"}, {"B.M3U", "e.M3u8", "f.m3u.m3u8", "f.m3u"}, {}},
      {{u8"東京.m3u", u8"東京.m3u8", u8"東京 2.m3u"}, {u8"東京.m3u8", u8"東京 2.m3u"}, {u8"東京.m3u"}},
  };
  for (const auto& t : table) {
    std::vector<platform::FoundEntry> entries;
    for (const std::string& name : t.names) entries.push_back(platform::FoundEntry{name});
    std::vector<platform::Message> notices;
    std::vector<std::string> kept;
    for (const platform::FoundEntry& entry : SourcePlaylists(entries, &notices)) kept.push_back(entry.name);
    EXPECT_EQ(kept, t.kept) << t.names[0];
    ASSERT_EQ(notices.size(), t.passedOver.size()) << t.names[0];
    for (std::size_t i = 0; i < notices.size(); ++i) {
      EXPECT_EQ(notices[i].Utf8(), platform::Message(kSkippedForM3u8, {t.passedOver[i], t.kept[0]}).Utf8());
    }
  }
}

// A playlist with a long name of its own (80 kanji, legal everywhere) is
// built, played from the window, and built again without leftovers.
TEST_F(LibraryUnicodeTest, APlaylistWithALongNameOfItsOwnIsBuiltPlayedAndRebuilt) {
  std::string base;
  for (int i = 0; i < 80; ++i) base += u8"\u6559";
  for (const bool unicode : {false, true}) {
    Put("D:\\Music\\a.mp3", libtest::Mp3WithTag("Band A", "First"));
    Put("D:\\Music\\b.mp3", libtest::Mp3WithTag("Band B", "First"));
    Put("D:\\Lists\\" + base + ".m3u8", "D:\\Music\\a.mp3\r\n");
    const TCountingProgress built = Update(unicode);
    EXPECT_EQ(built.Failures, std::vector<std::string>{});
    TLibraryContext context{"C:\\App\\"};
    context.UnicodeLibrary = unicode;
    const std::string file = PlaylistFileOfNode(TTreeKind::Artist, "Band A", &base, "D:\\Lists", context);
    EXPECT_NE(Get(file).find("D:\\Music\\a.mp3\r\n"), std::string::npos) << file;
    Put("D:\\Lists\\" + base + ".m3u8", "D:\\Music\\b.mp3\r\n", 1100000000);
    EXPECT_EQ(Update(unicode).Updated(), 1);
    EXPECT_FALSE(Exists(file)) << file;
    EXPECT_EQ(Names("C:\\App\\playlist").size(), 5u);  // two indexes, two playlists, the .log
  }
}

TEST(LibraryGeneratedNames, LongNamesAreCutToTheLimitsAndStayApart) {
  const auto units = [](const std::string& name) { return platform::Utf8ToUtf16(name).size(); };
  const std::string longFolder = "C:\\" + std::string(150, 'f') + "\\";
  const struct {
    std::string appDir, key;
    std::size_t limit;
  } table[] = {
      {"C:\\App\\", std::string(300, 'a'), 259 - 16},
      {"C:\\App\\", std::string(150, 'a') + std::string(150, '\''), 259 - 16},
      {longFolder, std::string(300, 'a'), 259 - longFolder.size() - 9},
  };
  for (const bool unicode : {false, true}) {
    for (const auto& t : table) {
      TLibraryContext context{t.appDir};
      context.UnicodeLibrary = unicode;
      const std::string name = GeneratedPlaylistFileName(context, "L", "Album", t.key);
      // As long as it may be, less a doubled quote or a pair that did not fit.
      EXPECT_LE(units(name), t.limit) << name;
      EXPECT_GE(units(name), t.limit - 1) << name;
      EXPECT_NE(name, GeneratedPlaylistFileName(context, "L", "Album", t.key + "x"));
      EXPECT_EQ(name.substr(0, 13), "'L' Album '" + t.key.substr(0, 2));
    }
    // A long playlist name of its own, in a short and in a 220-character
    // AppDir: the whole name fits, stays that playlist's own and apart from
    // every other playlist's.
    std::string kanji, emoji;
    for (int i = 0; i < 80; ++i) kanji += u8"\u6559";
    for (int i = 0; i < 60; ++i) emoji += kSmile;
    for (const std::string& appDir : {std::string("C:\\App\\"), "C:\\" + std::string(216, 'd') + "\\"}) {
      TLibraryContext context{appDir};
      context.UnicodeLibrary = unicode;
      const std::size_t limit = std::min<std::size_t>(255, 259 - units(context.CacheFolder()));
      for (const std::string& base : {kanji, emoji, std::string(236, 'n'), std::string("L")}) {
        for (const std::string& key : {std::string("Band A"), std::string(300, 'k'), std::string(20, '\'')}) {
          const std::string name = GeneratedPlaylistFileName(context, base, "Artist", key);
          EXPECT_LE(units(name), limit) << name;
          EXPECT_LE(name.size(), 255u) << name;
          EXPECT_TRUE(IsOwnDerivedFileName(name, base)) << name;
          EXPECT_FALSE(IsOwnDerivedFileName(name, "Other")) << name;
          EXPECT_NE(name, GeneratedPlaylistFileName(context, base + "x", "Artist", key)) << name;
          EXPECT_NE(name, GeneratedPlaylistFileName(context, base, "Artist", key + "x")) << name;
        }
      }
    }
    // Whole characters only, and no more than a Linux name's 255 bytes (Wine
    // keeps the name on the host): a character too long for the rest is left
    // out, whether it is four bytes or three.
    TLibraryContext context{"C:\\App\\"};
    context.UnicodeLibrary = unicode;
    for (const std::string character : {std::string(kSmile), std::string(u8"\u6559")}) {
      std::string text;
      for (int i = 0; i < 200; ++i) text += character;
      for (int pad = 0; pad < 4; ++pad) {
        const std::string name = GeneratedPlaylistFileName(context, "L", "Album", std::string(pad, 'p') + text);
        EXPECT_LE(name.size(), 255u) << name;
        EXPECT_GT(name.size() + character.size(), 255u) << name;
        EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(name)), name);
      }
    }
  }
}

}  // namespace

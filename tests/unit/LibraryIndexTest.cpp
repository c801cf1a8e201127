// The artist and album index of one playlist: groups, names and files.
#include "library/PlaylistIndex.h"

#include "LibraryTestSupport.h"
#include "library/MP3Tag.h"
#include "platform/FileSystem.h"

namespace {

using libtest::Chunk;
using libtest::Mp3WithTag;

class LibraryIndexTest : public libtest::LibraryFixture {
 protected:
  std::vector<std::string> Build(const std::string& playlist, const std::string& content) {
    Put(playlist, content);
    std::vector<std::string> failures;
    for (const platform::Message& failure : BuildPlaylistIndex(context, playlist)) failures.push_back(failure.Utf8());
    return failures;
  }
  std::string Cache(const std::string& name) { return Get("C:\\App\\playlist\\" + name); }
  std::string Stamp(const std::string& path) {
    platform::FoundEntry e;
    EXPECT_TRUE(platform::FindFirstEntry(path, &e));
    return platform::StampText(e.stamp);
  }
  TLibraryContext context{"C:\\App\\", true};
};

TEST_F(LibraryIndexTest, WorkedExample) {
  Put("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
  Put("D:\\Music\\b.mp3", Mp3WithTag("band a", "Second"), 1100000000);
  Put("D:\\Music\\c.wav", Mp3WithTag("Wave", "Wave"));
  EXPECT_TRUE(Build("D:\\Lists\\Rock.m3u", "#EXTM3U\r\n\\Music\\a.mp3\r\nD:\\Music\\b.mp3\r\nD:\\Music\\c.wav\r\n").empty());
  EXPECT_EQ(Names("C:\\App\\playlist"),
            (std::vector<std::string>{"'Rock' Album 'First'.m3u", "'Rock' Album 'Second'.m3u", "'Rock' Album.dat",
                                      "'Rock' Artist 'Band A'.m3u", "'Rock' Artist.dat", "Rock.log", "Rock.mp3log"}));
  EXPECT_EQ(Cache("'Rock' Artist.dat"), "Band A\r\n");
  EXPECT_EQ(Cache("'Rock' Artist 'Band A'.m3u"), "D:\\Music\\a.mp3\r\nD:\\Music\\b.mp3\r\n");
  EXPECT_EQ(Cache("'Rock' Album.dat"), "First\r\nSecond\r\n");
  EXPECT_EQ(Cache("'Rock' Album 'First'.m3u"), "D:\\Music\\a.mp3\r\n");
  EXPECT_EQ(Cache("'Rock' Album 'Second'.m3u"), "D:\\Music\\b.mp3\r\n");
  EXPECT_EQ(Cache("Rock.mp3log"), "'D:\\Music\\a.mp3'=" + Stamp("D:\\Music\\a.mp3") + "\r\n'D:\\Music\\b.mp3'=" +
                                      Stamp("D:\\Music\\b.mp3") + "\r\n");
  EXPECT_EQ(Cache("Rock.log"),
            "'Rock' Artist.dat\r\n'Rock' Artist 'Band A'.m3u\r\n'Rock' Album.dat\r\n'Rock' Album 'First'.m3u\r\n"
            "'Rock' Album 'Second'.m3u\r\nRock.mp3log\r\n");
}

TEST_F(LibraryIndexTest, GroupsKeepTheFirstSpellingAndSortWithoutRegardToCase) {
  TGroupList list;
  AddToGroup(list, "band a", "1");
  AddToGroup(list, "BAND A", "2");
  AddToGroup(list, "Alpha", "3");
  AddToGroup(list, "band A", "1");
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.Entries()[0].Key, "band a");
  EXPECT_EQ(list.Entries()[0].Tracks, (TLines{"1", "2", "1"}));
  Put("D:\\Music\\1.mp3", Mp3WithTag("zeta", "x"));
  Put("D:\\Music\\2.MP3", Mp3WithTag("Zeta", "x"));
  Put("D:\\Music\\3.Rmp", Mp3WithTag("alpha", "x"));
  Put("D:\\Music\\4.mp3x", Mp3WithTag("nope", "x"));
  Build("D:\\Lists\\L.m3u", "D:\\Music\\1.mp3\nD:\\Music\\2.MP3\nD:\\Music\\3.Rmp\nD:\\Music\\4.mp3x\nD:\\Music\\1.mp3\n");
  EXPECT_EQ(Cache("'L' Artist.dat"), "alpha\r\nzeta\r\n");
  EXPECT_EQ(Cache("'L' Artist 'zeta'.m3u"), "D:\\Music\\1.mp3\r\nD:\\Music\\2.MP3\r\nD:\\Music\\1.mp3\r\n");
  const auto names = Names("C:\\App\\playlist");
  EXPECT_EQ(std::count(names.begin(), names.end(), "'L' Artist 'zeta'.m3u"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "'L' Artist 'Zeta'.m3u"), 0);
  EXPECT_EQ(ParseTextList(Cache("L.mp3log")).size(), 4u);  // the repeat has its own time line
}

// Thousands of keys make the table grow many times; every key must still be
// found under any spelling, with the first spelling kept.
TEST(LibraryGroups, EveryKeyIsFoundAsTheListGrows) {
  TGroupList list;
  for (int i = 0; i < 3000; ++i) AddToGroup(list, "Band " + std::to_string(i), "first");
  for (int i = 2999; i >= 0; --i) AddToGroup(list, "BAND " + std::to_string(i), "second");
  ASSERT_EQ(list.Entries().size(), 3000u);
  for (int i = 0; i < 3000; i += 7) {
    const TGroupEntry* entry = list.Find("band " + std::to_string(i));
    ASSERT_NE(entry, nullptr) << i;
    EXPECT_EQ(entry->Key, "Band " + std::to_string(i));
    EXPECT_EQ(entry->Tracks, (TLines{"first", "second"}));
  }
  EXPECT_EQ(list.Find("Band 3000"), nullptr);
  // Appending an equal key again adds an entry, but lookups keep answering
  // with the first.
  list.Append("band 5");
  EXPECT_EQ(list.Find("BAND 5")->Key, "Band 5");
  EXPECT_EQ(&list.FindOrAppend("band 5"), list.Find("Band 5"));
}

TEST_F(LibraryIndexTest, InfoTextWinsAndId3FieldsAreTrimmed) {
  using libtest::Rmp3;
  Put("D:\\Music\\r.rmp", Rmp3(Chunk("IART", std::string("  Spaced  \0", 11)) + Chunk("IID3", libtest::Id3v1("Id3 Artist", "Id3 Album"))));
  Put("D:\\Music\\s.mp3", Mp3WithTag("   ", "\t Album \x01"));
  Build("D:\\Lists\\T.m3u", "D:\\Music\\r.rmp\r\nD:\\Music\\s.mp3\r\nD:\\Music\\missing.mp3\r\n");
  EXPECT_EQ(Cache("'T' Artist.dat"), "  Spaced  \r\n");
  EXPECT_EQ(Cache("'T' Album.dat"), "Album\r\nId3 Album\r\n");
  // A missing track has no time line and is filed nowhere.
  EXPECT_EQ(ParseTextList(Cache("T.mp3log")).size(), 2u);
}

TEST_F(LibraryIndexTest, NamesQuoteAndMakeKeysSafe) {
  Put("D:\\Music\\1.mp3", Mp3WithTag("Up/Down", "What?"));
  Put("D:\\Music\\2.mp3", Mp3WithTag("It's", "A\tB"));
  Build("D:\\Lists\\Owl's.m3u", "D:\\Music\\1.mp3\r\nD:\\Music\\2.mp3\r\n");
  EXPECT_EQ(Cache("'Owl''s' Artist.dat"), "It's\r\nUp/Down\r\n");
  EXPECT_TRUE(Exists(u8"C:\\App\\playlist\\'Owl''s' Artist 'Up／Down'.m3u"));
  EXPECT_TRUE(Exists(u8"C:\\App\\playlist\\'Owl''s' Album 'What？'.m3u"));
  EXPECT_TRUE(Exists("C:\\App\\playlist\\'Owl''s' Artist 'It''s'.m3u"));
  // A control character never reaches a key; were one handed to the name
  // function, it would still give a name a file can have.
  EXPECT_EQ(Cache("'Owl''s' Album.dat"), "A B\r\nWhat?\r\n");
  EXPECT_EQ(Cache("'Owl''s' Album 'A B'.m3u"), "D:\\Music\\2.mp3\r\n");
  EXPECT_EQ(SafeKeyForFileName(std::string("a\0\x1F", 3)), "a%00%1F");
}

TEST_F(LibraryIndexTest, PlaylistWithoutTracksGivesTwoEmptyIndexes) {
  Put("D:\\Music\\x.wav", "w");
  EXPECT_TRUE(Build("D:\\Lists\\E.m3u", "#only\r\n\r\nD:\\Music\\x.wav\r\n").empty());
  EXPECT_EQ(Names("C:\\App\\playlist"), (std::vector<std::string>{"'E' Album.dat", "'E' Artist.dat", "E.log"}));
  EXPECT_EQ(Cache("'E' Artist.dat"), "");
  EXPECT_EQ(Cache("E.log"), "'E' Artist.dat\r\n'E' Album.dat\r\n");
}

TEST_F(LibraryIndexTest, AFileThatCannotBeWrittenIsReportedAndTheRestIsWritten) {
  Put("D:\\Music\\1.mp3", Mp3WithTag("A", "B"));
  Put("C:\\App\\playlist\\'P' Artist 'A'.m3u", "old\r\n");
  sim::LockFile("C:\\App\\playlist\\'P' Artist 'A'.m3u");
  Put("D:\\Music\\2.mp3", Mp3WithTag("C", "D"));
  sim::LockFile("D:\\Music\\2.mp3");
  const auto failures = Build("D:\\Lists\\P.m3u", "D:\\Music\\1.mp3\r\nD:\\Music\\2.mp3\r\n");
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_NE(failures[0].find("2.mp3"), std::string::npos);
  EXPECT_NE(failures[1].find("'P' Artist 'A'.m3u"), std::string::npos);
  EXPECT_EQ(Cache("'P' Artist 'A'.m3u"), "old\r\n");
  EXPECT_EQ(Cache("'P' Album 'B'.m3u"), "D:\\Music\\1.mp3\r\n");
  // The .log still names the file, so the next build's clean-up tries again.
  EXPECT_NE(Cache("P.log").find("'P' Artist 'A'.m3u"), std::string::npos);
}

TEST_F(LibraryIndexTest, TheMainObjectHoldsEachBuildsReader) {
  std::unique_ptr<TMP3Tag> holder;
  context.TagReaderHolder = &holder;
  Build("D:\\Lists\\H.m3u", "");
  ASSERT_TRUE(holder);
  EXPECT_TRUE(holder->FileName.empty());
}

// A track whose ID3v2 tag holds the given frames (version 3 unless told).
std::string Tagged(const std::string& frames, int version = 3) {
  return libtest::Id3v2(version, frames) + std::string(512, '\xFF');
}
// A text frame in ISO-8859-1, of 2.2 when its id has three letters.
std::string T(const std::string& id, const std::string& text) {
  return libtest::Frame(id.size() == 3 ? 2 : 3, id, libtest::Text(0, text));
}
std::string Txxx(const std::string& description, const std::string& value) { return T("TXXX", description + '\0' + value); }

TEST_F(LibraryIndexTest, AlbumArtistRules) {
  using libtest::Frame;
  using libtest::Text;
  context.ReadID3v2 = true;
  context.GroupByAlbumArtist = true;
  const std::string utf16Txxx = Frame(
      3, "TXXX", Text(1, std::string("\xFF\xFEu\0\0\0\xFF\xFEZ\0", 10)) /* not the description */) +
      Frame(3, "TXXX", Text(1, std::string("\xFF\xFE" "A\0l\0b\0u\0m\0A\0r\0t\0i\0s\0t\0\0\0\xFF\xFEZ\0z\0", 32)));
  const struct {
    const char* name;
    std::vector<std::string> tracks;  // tag bytes, one track each
    std::string artists, albums;      // the index files
  } kCases[] = {
      {"TPE2 wins, also over TXXX and TCMP; trimmed",
       {Tagged(T("TPE1", "Freddie") + T("TALB", "Hits") + Txxx("ALBUM ARTIST", "Other") + T("TPE2", " Queen\t")),
        Tagged(T("TPE1", "Brian") + T("TALB", "hits") + T("TCMP", "1") + T("TPE2", "QUEEN"))},
       "Queen\r\n", "Hits\tQueen\r\n"},
      {"TXXX in either spelling and any case; another description is not it",
       {Tagged(T("TPE1", "A") + T("TALB", "X") + Txxx("album artist", "Yy")),
        Tagged(T("TPE1", "B") + T("TALB", "X") + utf16Txxx),
        Tagged(T("TPE1", "C") + T("TALB", "Solo") + Txxx("ALBUM_ARTIST", "No"))},
       "C\r\nYy\r\nZz\r\n", "Solo\tC\r\nX\tYy\r\nX\tZz\r\n"},
      {"without one: one artist is it, several a compilation, TCMP 1 Various Artists; no artist nor TCMP 0 decides",
       {Tagged(T("TPE1", "Abba") + T("TALB", "Gold")), Tagged(T("TPE1", "ABBA") + T("TALB", "Gold")),
        Tagged(T("TALB", "Gold")), Tagged(T("TPE1", "A") + T("TALB", "Mix")),
        Tagged(T("TPE1", "B") + T("TALB", "Mix")), Tagged(T("TALB", "Nameless")),
        Tagged(T("TPE1", "C") + T("TALB", "Now") + T("TCMP", "1")),
        Tagged(T("TPE1", "C") + T("TALB", "Own") + T("TCMP", "0"))},
       "A\r\nAbba\r\nB\r\nC\r\nVarious Artists\r\n",
       "Gold\tAbba\r\nMix\tVarious Artists\r\nNameless\r\nNow\tVarious Artists\r\nOwn\tC\r\n"},
      {"2.2 frames",
       {Tagged(T("TP1", "A") + T("TAL", "L") + T("TP2", "Band"), 2), Tagged(T("TP1", "B") + T("TAL", "C") + T("TCP", "1"), 2),
        Tagged(T("TP1", "D") + T("TAL", "E") + T("TXX", std::string("ALBUMARTIST\0F", 13)), 2)},
       "Band\r\nF\r\nVarious Artists\r\n", "C\tVarious Artists\r\nE\tF\r\nL\tBand\r\n"},
      {"a broken or blank album artist frame is passed over, the tag still counts",
       {Tagged(T("TPE1", "A") + T("TALB", "L") + Frame(3, "TPE2", Text(4, "X")) + Frame(3, "TXXX", Text(1, "B"))),
        Tagged(T("TPE1", "B") + T("TALB", "L")),
        Tagged(T("TPE1", "C") + T("TALB", "M") + T("TPE2", " \t ") + Txxx("ALBUMARTIST", "T")),
        Tagged(T("TPE1", "D") + T("TALB", "N") + T("TPE2", "  ") + Txxx("ALBUMARTIST", " "))},
       "A\r\nB\r\nD\r\nT\r\n", "L\tVarious Artists\r\nM\tT\r\nN\tD\r\n"},
  };
  int n = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string list = "P" + std::to_string(++n);
    std::string lines;
    for (std::size_t t = 0; t < c.tracks.size(); ++t) {
      const std::string path = "D:\\Music\\" + list + "-" + std::to_string(t) + ".mp3";
      Put(path, c.tracks[t]);
      lines += path + "\r\n";
    }
    EXPECT_TRUE(Build("D:\\Lists\\" + list + ".m3u", lines).empty());
    EXPECT_EQ(Cache("'" + list + "' Artist.dat"), c.artists);
    EXPECT_EQ(Cache("'" + list + "' Album.dat"), c.albums);
  }
}

}  // namespace

// What the library relies on from platform/FileSystem.h, run against both
// sides of the seam: the native stand-in and the Win32 calls under Wine. A
// fake that answers otherwise than Windows fails here, not in the field.
#include <gtest/gtest.h>

#include <algorithm>

#include "library/PathText.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "tests/contract/FileSeamContract.h"

namespace {

using platform::FileExists;

class FileSeamContract : public ::testing::Test {
 protected:
  void SetUp() override { base_ = contract::NewFolder(::testing::UnitTest::GetInstance()->current_test_info()->name()); }
  void TearDown() override { contract::RemoveFolder(base_); }
  std::string Read(const std::string& name) {
    std::string bytes;
    return platform::ReadWholeFile(base_ + name, &bytes) ? bytes : "<none>";
  }
  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<std::string> names;
    for (const auto& e : platform::FindEntries(base_ + pattern)) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string base_;
};

TEST_F(FileSeamContract, NamesAreFoundAndReplacedWithoutRegardToCase) {
  contract::PutFile(base_ + "Song.MP3", "old");
  EXPECT_TRUE(FileExists(base_ + "SONG.mp3"));
  EXPECT_FALSE(FileExists(base_ + "none.mp3"));
  platform::WriteFileSafely(base_ + "song.mp3", "safe");
  EXPECT_EQ(Read("SONG.MP3"), "safe");
  // An old file under another spelling is written over, never doubled.
  platform::WriteRebuildableFile(base_ + "sOnG.Mp3", "rebuilt");
  platform::WriteRebuildableFile(base_ + "New.m3u", "new");
  platform::WriteRebuildableFile(base_ + "Empty.m3u", "");
  EXPECT_EQ(Read("song.mp3"), "rebuilt");
  EXPECT_EQ(Read("NEW.M3U"), "new");
  EXPECT_EQ(Read("empty.m3u"), "");
  EXPECT_EQ(Names("*").size(), 5u);  // ".", ".." and the three, no ".kvnew" left behind
  EXPECT_EQ(platform::FoldFileName("Rock.m3u"), "ROCK.M3U");
}

// Names in every script, UTF-8 through the seam: created, found by pattern
// and without regard to case, read, replaced and removed, each kept exactly.
// (Names with non-Japanese letters stay out of the macros: their text is a
// narrow literal of code page 932.)
TEST_F(FileSeamContract, NamesInEveryScriptAreKeptExactly) {
  struct Name {
    std::string written, otherCase;
  };
  const std::vector<Name> names = {
      {u8"東京事変 教育.mp3", u8"東京事変 教育.MP3"}, {u8"아이유.m3u8", u8"아이유.M3U8"},
      {u8"Кино Ёлка.mp3", u8"кИНО ёЛКА.Mp3"},       {u8"😀 Party.mp3", u8"😀 pARTY.mp3"},
      {u8"Mötley Crüe.mp3", u8"MÖTLEY CRÜE.mp3"},
  };
  const std::string greek = u8"Ελλάδα.txt";
  contract::PutFile(base_ + greek, "put");
  EXPECT_EQ(Read(greek), "put");
  for (const Name& n : names) platform::WriteRebuildableFile(base_ + n.written, n.written);
  std::vector<std::string> all = {".", "..", greek};
  for (const Name& n : names) all.push_back(n.written);
  std::sort(all.begin(), all.end());
  EXPECT_EQ(Names("*"), all);
  const std::vector<std::string> korean = {names[1].written};
  EXPECT_EQ(Names("*.M3U8"), korean);
  EXPECT_EQ(Names("*.mp3").size(), 4u);
  for (const Name& n : names) {
    EXPECT_EQ(platform::FoldFileName(n.written), platform::FoldFileName(n.otherCase)) << n.written;
    EXPECT_TRUE(FileExists(base_ + n.otherCase)) << n.written;
    EXPECT_EQ(Read(n.otherCase), n.written);
    platform::FoundEntry entry;
    ASSERT_TRUE(platform::FindFirstEntry(base_ + n.written, &entry)) << n.written;
    EXPECT_EQ(entry.name, n.written);
    platform::ReadOnlyFile file;
    bool found = false;
    EXPECT_TRUE(file.OpenIfFile(base_ + n.otherCase, &entry, &found)) << n.written;
    EXPECT_EQ(file.Size(), static_cast<std::int64_t>(n.written.size())) << n.written;
    file.Close();  // an open file is not replaced on Windows
    platform::WriteFileSafely(base_ + n.otherCase, "replaced");
    EXPECT_EQ(Read(n.written), "replaced");
  }
  EXPECT_EQ(Names("*"), all);  // replaced under another spelling, never doubled
  for (const Name& n : names) EXPECT_TRUE(platform::RemoveFile(base_ + n.otherCase)) << n.written;
  const std::vector<std::string> left = {".", "..", greek};
  EXPECT_EQ(Names("*"), left);
  // A folder in a script, and a path longer in UTF-8 bytes than MAX_PATH yet
  // well within it in UTF-16 units.
  const std::string folder = base_ + u8"음악 Музыка";
  EXPECT_TRUE(platform::MakeDirectory(folder));
  EXPECT_TRUE(platform::DirectoryExists(folder));
  const std::string deep = folder + "\\" + std::string(60, 'x') + u8"東京事変東京事変東京事変東京事変東京事変東京事変東京事変東京事変東京事変東京事変.txt";
  platform::WriteFileSafely(deep, "deep");
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(deep, &bytes));
  EXPECT_EQ(bytes, "deep");
}

TEST_F(FileSeamContract, FailedWritesRaiseAndLeaveWhatWasThere) {
  contract::PutFolder(base_ + "folder.m3u");
  for (const std::string& path : {base_ + "NoFolder\\x.m3u", base_ + "folder.m3u"}) {
    try {
      platform::WriteRebuildableFile(path, "x");
      ADD_FAILURE() << path << ": no error raised";
    } catch (const platform::Error& e) {
      EXPECT_EQ(std::string(e.what()), platform::Message(platform::kErrCannotWrite, path).Utf8());
    }
    EXPECT_THROW(platform::WriteFileSafely(path, "x"), platform::Error) << path;
  }
  EXPECT_TRUE(platform::DirectoryExists(base_ + "FOLDER.m3u"));
  EXPECT_FALSE(FileExists(base_ + "FOLDER.m3u"));
  std::string bytes = "kept";
  EXPECT_FALSE(platform::ReadWholeFile(base_ + "none.txt", &bytes));
  EXPECT_FALSE(platform::ReadWholeFile(base_ + "folder.m3u", &bytes));
  EXPECT_EQ(bytes, "kept");
  contract::PutFile(base_ + "big.txt", std::string(100, 'x'));
  EXPECT_THROW(platform::ReadWholeFile(base_ + "big.txt", &bytes, 99), platform::Error);
  EXPECT_TRUE(platform::ReadWholeFile(base_ + "big.txt", &bytes, 100));
}

TEST_F(FileSeamContract, SearchGivesEveryKindAndTheDotsMatchingWithoutCase) {
  // No longer extension ("c.m3u8"): Windows may match it through its short
  // name ("C~1.M3U"), which the stand-in does not make.
  for (const char* name : {"b.M3U", "a.m3u", "c.mp3", "d.txt"}) contract::PutFile(base_ + name, "");
  contract::PutFolder(base_ + "folder.m3u");
  EXPECT_EQ(Names("*.M3U"), (std::vector<std::string>{"a.m3u", "b.M3U", "folder.m3u"}));
  EXPECT_EQ(Names("?.m3u"), (std::vector<std::string>{"a.m3u", "b.M3U"}));
  const auto all = platform::FindEntries(base_ + "*");
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[0].name, ".");
  EXPECT_EQ(all[1].name, "..");
  EXPECT_TRUE(all[0].IsDirectory());
  EXPECT_EQ(Names("*.*").size(), all.size());  // names without a dot too
  EXPECT_TRUE(Names("None\\*.m3u").empty());
  EXPECT_TRUE(Names("a.m3u\\*").empty());
  platform::FoundEntry entry;
  EXPECT_FALSE(platform::FindFirstEntry(base_, &entry));  // a path ending in "\" finds nothing
  ASSERT_TRUE(platform::FindFirstEntry(base_ + "Folder.M3U", &entry));
  EXPECT_TRUE(entry.IsDirectory());
  EXPECT_TRUE(platform::IsSameDirectory(base_ + "FOLDER.m3u", base_ + "x\\..\\.\\folder.m3u\\"));
  EXPECT_FALSE(platform::IsSameDirectory(base_ + "folder.m3u", base_ + "a.m3u"));
  EXPECT_TRUE(platform::RemoveFile(base_ + "A.M3U"));
  EXPECT_FALSE(platform::RemoveFile(base_ + "a.m3u"));
  EXPECT_FALSE(platform::RemoveFile(base_ + "folder.m3u"));
  EXPECT_TRUE(platform::MakeDirectory(base_ + "New"));
  EXPECT_FALSE(platform::MakeDirectory(base_ + "NEW"));
}

TEST_F(FileSeamContract, OpeningATrackGivesWhatTheSearchGives) {
  contract::PutFile(base_ + "Song.MP3", "0123456789");
  platform::FoundEntry searched;
  ASSERT_TRUE(platform::FindFirstEntry(base_ + "Song.MP?", &searched));
  EXPECT_EQ(searched.name, "Song.MP3");
  for (const std::string name : {"Song.MP3", "song.mp3", "S?ng.mp3"}) {
    platform::FoundEntry entry, plain;
    bool found = false;
    platform::ReadOnlyFile file;
    // A wildcard finds the entry but opens nothing, as CreateFileA refuses it.
    EXPECT_EQ(file.OpenIfFile(base_ + name, &entry, &found), name.find('?') == std::string::npos) << name;
    EXPECT_TRUE(found) << name;
    ASSERT_TRUE(platform::FindFirstEntry(base_ + name, &plain)) << name;
    for (const platform::FoundEntry* e : {&entry, &plain}) {
      EXPECT_EQ(platform::FoldFileName(e->name), "SONG.MP3") << name;
      EXPECT_EQ(e->stamp, searched.stamp) << name;
      EXPECT_EQ(e->attributes, searched.attributes) << name;
    }
    if (name.find('?') == std::string::npos) {
      EXPECT_EQ(file.Size(), 10) << name;
    }
  }
  platform::FoundEntry entry;
  bool found = false;
  platform::ReadOnlyFile file;
  EXPECT_FALSE(file.OpenIfFile(base_.substr(0, base_.size() - 1), &entry, &found));
  EXPECT_TRUE(found);
  EXPECT_TRUE(entry.IsDirectory());
  EXPECT_FALSE(file.OpenIfFile(base_ + "none.mp3", &entry, &found));
  EXPECT_FALSE(found);
}

TEST_F(FileSeamContract, ReadOnlyFileSeeksLikeAWindowsFilePointer) {
  contract::PutFile(base_ + "short.bin", "0123456789");
  platform::ReadOnlyFile file;
  file.Open(base_ + "short.bin");
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 4), 4u);
  EXPECT_FALSE(file.Seek(-128, platform::ReadOnlyFile::Origin::kEnd));
  EXPECT_EQ(file.Position(), 4);
  EXPECT_TRUE(file.Seek(100, platform::ReadOnlyFile::Origin::kCurrent));
  EXPECT_EQ(file.Read(buffer, 4), 0u);
  EXPECT_TRUE(file.Seek(-2, platform::ReadOnlyFile::Origin::kEnd));
  EXPECT_EQ(file.Read(buffer, 16), 2u);
  EXPECT_EQ(std::string(buffer, 2), "89");
  platform::ReadOnlyFile other;
  EXPECT_THROW(other.Open(base_ + "none.bin"), platform::Error);
  EXPECT_THROW(other.Open(base_.substr(0, base_.size() - 1)), platform::Error);
}

// A playlist line as the player takes it, natively and under Wine; the last
// lines, resolved against a real folder, name the file the system opens.
TEST_F(FileSeamContract, PlaylistLinesNameTheTracksThePlayerPlays) {
  using Kind = TPlaylistLine;
  const std::string lists = base_ + "Lists", song = base_ + "Music\\Song.mp3";
  std::string url = "file:///" + song;
  std::replace(url.begin(), url.end(), '\\', '/');
  const struct {
    std::string folder, line;
    Kind kind;
    std::string path;
  } table[] = {
      {"D:\\Lists", "D:\\Music\\a.mp3", Kind::Track, "D:\\Music\\a.mp3"},
      {"D:\\Lists", "d:/Music/./a.mp3", Kind::Track, "d:/Music/./a.mp3"},  // as written, byte for byte
      {"D:\\Lists", "\\\\server\\share\\..\\a.mp3", Kind::Track, "\\\\server\\share\\..\\a.mp3"},
      {"D:\\Lists", "\\Music\\a.mp3", Kind::Track, "D:\\Music\\a.mp3"},
      {"D:\\Lists", "/Music/a.mp3", Kind::Track, "D:\\Music\\a.mp3"},
      {"D:\\Lists", "Band\\Song.mp3", Kind::Track, "D:\\Lists\\Band\\Song.mp3"},
      {"D:\\Lists", ".\\Song.mp3", Kind::Track, "D:\\Lists\\Song.mp3"},
      {"D:\\Lists\\Sub", "..\\..\\Music\\Song.mp3", Kind::Track, "D:\\Music\\Song.mp3"},
      {"D:\\Lists", "../Music/x/../Song.mp3", Kind::Track, "D:\\Music\\Song.mp3"},
      {"D:\\Lists", "..\\..\\..\\Song.mp3", Kind::Track, "D:\\Song.mp3"},  // never above the root
      {"D:", "..\\Song.mp3", Kind::Track, "D:\\Song.mp3"},
      {"\\\\srv\\share\\Lists", "..\\..\\..\\a.mp3", Kind::Track, "\\\\srv\\share\\a.mp3"},
      {"D:\\Lists", "file:///D:/Music/Counting%20Crows/01.mp3", Kind::Track, "D:\\Music\\Counting Crows\\01.mp3"},
      {"D:\\Lists", "FILE://localhost/D:/x/../a.mp3?at=1#t", Kind::Track, "D:\\a.mp3"},
      {"D:\\Lists", "file:/D:/a%27b.mp3", Kind::Track, "D:\\a'b.mp3"},
      {"D:\\Lists", "file://server/share/a.mp3", Kind::Track, "\\\\server\\share\\a.mp3"},
      {"D:\\Lists", "file:///D:/%E6%A4%8E%E5%90%8D%F0%9F%98%80.mp3", Kind::Track, u8"D:\\椎名😀.mp3"},
      {"D:\\Lists", "file:///D:/100%%2x%4.mp3", Kind::Track, "D:\\100%%2x%4.mp3"},
      {"D:\\Lists", "file:///D:/%E6%A4.mp3", Kind::Unusable, ""},     // cut UTF-8
      {"D:\\Lists", "file:///D:/a%0D%0Ab.mp3", Kind::Unusable, ""},  // would split the generated line
      {"D:\\Lists", "http://radio.example/live.mp3?sid=1", Kind::Passed, ""},
      {"D:\\Lists", "#EXTINF:1,D:\\a.mp3", Kind::Passed, ""},
      {"D:\\Lists", "", Kind::Passed, ""},
      {"D:\\Lists", "  \t ", Kind::Passed, ""},
      {lists, "..\\Lists\\..\\Music\\.\\Song.mp3", Kind::Track, song},
      {lists, url, Kind::Track, song},
  };
  contract::PutFolder(lists);
  contract::PutFolder(base_ + "Music");
  contract::PutFile(song, "x");
  std::string path = "left over";
  for (const auto& t : table) {
    EXPECT_EQ(TrackPathOfLine(t.line.data(), t.line.size(), t.folder, &path), t.kind) << t.line;
    EXPECT_EQ(path, t.path) << t.line;
    if (t.folder == lists) { EXPECT_TRUE(FileExists(path)) << t.line; }
  }
}

}  // namespace

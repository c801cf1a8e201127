// Whole updates on disk: skip, update, add, delete, and the failures that
// must not stop an update.
#include "library/LibraryUpdate.h"

#include "LibraryTestSupport.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "tests/support/CountingProgress.h"

namespace {

using libtest::Mp3WithTag;

class LibraryScanTest : public libtest::LibraryFixture {
 protected:
  void SetUp() override {
    LibraryFixture::SetUp();
    Put("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
    Put("D:\\Music\\b.mp3", Mp3WithTag("Band B", "Second"));
  }
  struct Result {
    int skipped, updated, added, deleted, maximum;
    std::vector<std::string> failures;
    TLibraryUpdate::Outcome outcome;
  };
  Result Update(std::string folder = "D:\\Lists") {
    TCountingProgress progress;
    TLibraryContext context{"C:\\App\\", check};
    TLibraryUpdate update(context, progress);
    const auto outcome = update.Run(&folder);
    lastFolder = folder;
    return {progress.Skipped(), progress.Updated(), progress.Added(), progress.Deleted(), progress.Maximum,
            progress.Failures, outcome};
  }
  static std::vector<int> Counts(const Result& r) { return {r.skipped, r.updated, r.added, r.deleted}; }
  std::string Cache(const std::string& name) { return Get("C:\\App\\playlist\\" + name); }
  bool Cached(const std::string& name) { return Exists("C:\\App\\playlist\\" + name); }

  bool check = false;
  std::string lastFolder;
};

TEST_F(LibraryScanTest, NewChangedAndUnchangedPlaylists) {
  Put("D:\\Lists\\One.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\Two.m3u", "D:\\Music\\b.mp3\r\n");
  auto first = Update();
  EXPECT_EQ(Counts(first), (std::vector<int>{0, 0, 2, 0}));
  EXPECT_EQ(first.maximum, 3);
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "'D:\\Lists\\One.m3u'=816199941\r\n'D:\\Lists\\Two.m3u'=816199941\r\n");
  Put("D:\\Lists\\Three.m3u", "D:\\Music\\a.mp3\r\n");
  sim::SetLastWriteTime("D:\\Lists\\Two.m3u", 1100000000);  // same content, new stamp
  auto second = Update();
  EXPECT_EQ(Counts(second), (std::vector<int>{1, 1, 1, 0}));
  EXPECT_EQ(second.maximum, 4);
  EXPECT_EQ(Counts(Update()), (std::vector<int>{3, 0, 0, 0}));
  EXPECT_TRUE(second.failures.empty());
}

// Lines as the player reads them: relative, "file:" URLs, "#UTF8" and
// UTF-16 playlists name the same tracks as their twin of absolute lines, and
// a library built before is built again only where its lines changed meaning.
TEST_F(LibraryScanTest, PlaylistsOfEveryLineFormNameTheTracksOfTheirAbsoluteTwin) {
  check = true;
  const std::string shiina = u8"\u690E\u540D";  // Shift-JIS 92 C5 96 BC
  Put("D:\\Music\\" + shiina + ".mp3", Mp3WithTag("Band A", "Third"));
  Put("D:\\Lists\\Abs.m3u", "D:\\Music\\a.mp3\r\nD:\\Music\\b.mp3\r\nD:\\Music\\\x92\xC5\x96\xBC.mp3\r\n");
  Put("D:\\Lists\\Rel.m3u", "#EXTM3U\r\n#UTF8\r\n..\\Music\\a.mp3\nfile:///D:/Music/b.mp3\r\nhttp://radio/x.mp3\r\n"
      "file:///D:/%FF.mp3\r\n./../Music/" + shiina + ".mp3\r\n");
  std::string utf16 = "\xFF\xFE";
  for (const char16_t unit : platform::Utf8ToUtf16("../Music/a.mp3\r\n\\Music\\b.mp3\r\n" + shiina + "\\..\\..\\Music\\" + shiina + ".mp3")) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  }
  Put("D:\\Lists\\Wide.m3u8", utf16);
  const Result built = Update();
  EXPECT_EQ(Counts(built), (std::vector<int>{0, 0, 3, 0}));
  ASSERT_EQ(built.failures.size(), 1u);  // the URL that is no UTF-8, once
  for (const char* name : {" Artist.dat", " Album.dat", " Artist 'Band A'.m3u", " Album 'Third'.m3u", " Album 'Second'.m3u"}) {
    EXPECT_EQ(Cache("'Rel'" + std::string(name)), Cache("'Abs'" + std::string(name))) << name;
    EXPECT_EQ(Cache("'Wide'" + std::string(name)), Cache("'Abs'" + std::string(name))) << name;
  }
  EXPECT_EQ(Cache("'Abs' Artist 'Band A'.m3u"), "D:\\Music\\a.mp3\r\nD:\\Music\\\x92\xC5\x96\xBC.mp3\r\n");
  EXPECT_EQ(Cache("Rel.mp3log"), Cache("Abs.mp3log"));
  // A library of the earlier rule: only the playlists whose lines changed
  // meaning are built again, once, whatever their stamps say.
  Put("C:\\App\\playlist.keys", "Keys=2\r\nReadID3v2=0\r\n");
  Put("C:\\App\\playlist\\'Rel' Artist.dat", "");
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 2, 0, 0}));
  EXPECT_EQ(Cache("'Rel' Artist.dat"), Cache("'Abs' Artist.dat"));
  EXPECT_EQ(Counts(Update()), (std::vector<int>{3, 0, 0, 0}));
}

TEST_F(LibraryScanTest, TrackCheckFindsRetaggedAndAppearedTracks) {
  check = true;
  Put("D:\\Lists\\L.m3u", "#EXTM3U\r\n\\Music\\a.mp3\r\nD:\\Music\\late.mp3\r\nD:\\Music\\a.wav\r\n");
  EXPECT_EQ(Counts(Update()), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 0, 0}));
  // Retagged: the track's stamp changed.
  Put("D:\\Music\\a.mp3", Mp3WithTag("Band C", "First"), 1100000000);
  EXPECT_EQ(Counts(Update()), (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(Cache("'L' Artist.dat"), "Band C\r\n");
  // A track missing at the build that exists now.
  Put("D:\\Music\\late.mp3", Mp3WithTag("Late", "Late"));
  EXPECT_EQ(Counts(Update()), (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(Cache("'L' Artist.dat"), "Band C\r\nLate\r\n");
  // With the setting off, a retagged track goes unnoticed.
  check = false;
  Put("D:\\Music\\a.mp3", Mp3WithTag("Band D", "First"), 1200000000);
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 0, 0}));
  EXPECT_EQ(Cache("'L' Artist.dat"), "Band C\r\nLate\r\n");
}

TEST_F(LibraryScanTest, MissingMp3LogRebuildsButCountsSkipped) {
  Put("D:\\Lists\\L.m3u", "D:\\Music\\a.mp3\r\n");
  Update();
  check = true;
  EXPECT_FALSE(Cached("L.mp3log"));
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 0, 0}));
  EXPECT_TRUE(Cached("L.mp3log"));
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 0, 0}));
  DeleteFilesByMask("C:\\App\\playlist\\*.MP3LOG");
  EXPECT_FALSE(Cached("L.mp3log"));
  EXPECT_TRUE(Cached("L.log"));
}

TEST_F(LibraryScanTest, UnchangedEmptiedPlaylistCountsNothing) {
  check = true;
  Put("D:\\Lists\\L.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\M.m3u", "D:\\Music\\b.mp3\r\n");
  Update();
  Put("D:\\Lists\\L.m3u", "");  // same stamp, no lines, ".mp3log" still there
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 0, 0}));
}

TEST_F(LibraryScanTest, FolderChangeAddsTheNewAndPurgesTheOld) {
  Put("D:\\Lists\\Old.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\Rock.m3u", "D:\\Music\\a.mp3\r\n");
  Update();
  Put("E:\\Other\\New.m3u", "D:\\Music\\b.mp3\r\n");
  Put("E:\\Other\\Rock.m3u", "D:\\Music\\b.mp3\r\n");
  auto r = Update("E:\\Other\\\\");
  EXPECT_EQ(lastFolder, "E:\\Other");
  EXPECT_EQ(Counts(r), (std::vector<int>{0, 0, 2, 2}));
  EXPECT_FALSE(Cached("Old.log"));
  EXPECT_FALSE(Cached("'Old' Artist.dat"));
  // Rock of the new folder has the vanished Rock's file names: they stay.
  EXPECT_EQ(Cache("'Rock' Artist.dat"), "Band B\r\n");
  EXPECT_TRUE(Cached("Rock.log"));
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "'E:\\Other\\New.m3u'=816199941\r\n'E:\\Other\\Rock.m3u'=816199941\r\n");
}

TEST_F(LibraryScanTest, NameChangedOnlyInCaseKeepsItsFiles) {
  Put("D:\\Lists\\rock.m3u", "D:\\Music\\a.mp3\r\n");
  Update();
  std::filesystem::rename(Host("D:\\Lists\\rock.m3u"), root_ + "/D/Lists/Rock.m3u");
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 0, 1}));
  EXPECT_EQ(Cache("'rock' Artist.dat"), "Band A\r\n");
  EXPECT_TRUE(Cached("rock.log"));
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 0, 0}));
}

TEST_F(LibraryScanTest, EqualsSignsInPathsStillMatchTheirLines) {
  check = true;
  Put("D:\\Li=sts\\A=B.m3u", "D:\\Music\\x=y.mp3\r\n");
  Put("D:\\Music\\x=y.mp3", Mp3WithTag("Eq", "Eq"));
  EXPECT_EQ(Counts(Update("D:\\Li=sts")), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "'D:\\Li=sts\\A=B.m3u'=816199941\r\n");
  EXPECT_EQ(Cache("A=B.mp3log"), "'D:\\Music\\x=y.mp3'=816199941\r\n");
  EXPECT_EQ(Counts(Update("D:\\Li=sts")), (std::vector<int>{1, 0, 0, 0}));
}

TEST_F(LibraryScanTest, UnreadablePlaylistIsReportedKeptAndRetried) {
  Put("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\B.m3u", "D:\\Music\\b.mp3\r\n");
  Update();
  sim::SetLastWriteTime("D:\\Lists\\A.m3u", 1100000000);
  sim::LockFile("D:\\Lists\\A.m3u");
  auto r = Update();
  EXPECT_EQ(Counts(r), (std::vector<int>{1, 0, 0, 0}));
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_NE(r.failures[0].find("D:\\Lists\\A.m3u"), std::string::npos);
  EXPECT_EQ(r.outcome, TLibraryUpdate::Outcome::DoneWithFailures);
  EXPECT_EQ(Cache("'A' Artist.dat"), "Band A\r\n");  // the old index stays
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "'D:\\Lists\\A.m3u'=\r\n'D:\\Lists\\B.m3u'=816199941\r\n");
  sim::UnlockAllFiles();
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(LibraryScanTest, UnreadableMp3LogAndFolderNamedLikeAPlaylist) {
  check = true;
  Put("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\B.m3u", "D:\\Music\\b.mp3\r\n");
  Update();
  std::filesystem::create_directories(root_ + "/D/Lists/Folder.m3u");
  sim::LockFile("C:\\App\\playlist\\A.mp3log");
  auto r = Update();
  EXPECT_EQ(Counts(r), (std::vector<int>{1, 0, 0, 0}));
  EXPECT_EQ(r.maximum, 4);
  ASSERT_EQ(r.failures.size(), 2u);
  EXPECT_NE(r.failures[0].find("A.mp3log"), std::string::npos);
  EXPECT_NE(r.failures[1].find("Folder.m3u"), std::string::npos);
  EXPECT_TRUE(Cached("A.log"));
  EXPECT_FALSE(Cached("Folder.log"));
}

TEST_F(LibraryScanTest, UnwritableDerivedFileIsReportedAndBuiltAgainNextTime) {
  Put("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\B.m3u", "D:\\Music\\b.mp3\r\n");
  Put("C:\\App\\playlist\\'A' Album.dat", "");
  sim::LockFile("C:\\App\\playlist\\'A' Album.dat");
  auto r = Update();
  EXPECT_EQ(Counts(r), (std::vector<int>{0, 0, 1, 0}));
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(Cache("'B' Album.dat"), "Second\r\n");
  sim::UnlockAllFiles();
  EXPECT_EQ(Counts(Update()), (std::vector<int>{1, 0, 1, 0}));
  EXPECT_EQ(Cache("'A' Album.dat"), "First\r\n");
}

TEST_F(LibraryScanTest, UnreadablePlaylistLogStopsBeforeTheScan) {
  Put("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  Put("C:\\App\\playlist.log", "'D:\\Lists\\Gone.m3u'=1\r\n");
  sim::LockFile("C:\\App\\playlist.log");
  auto r = Update();
  EXPECT_EQ(r.outcome, TLibraryUpdate::Outcome::DoneWithFailures);
  EXPECT_EQ(Counts(r), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_FALSE(Cached("A.log"));
  sim::UnlockAllFiles();
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "'D:\\Lists\\Gone.m3u'=1\r\n");
}

TEST_F(LibraryScanTest, MissingFolderChangesNothingAndEmptyFolderPurgesAll) {
  Put("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  Update();
  EXPECT_EQ(Update("").outcome, TLibraryUpdate::Outcome::FolderMissing);
  EXPECT_EQ(Update("D:\\Nowhere\\").outcome, TLibraryUpdate::Outcome::FolderMissing);
  EXPECT_TRUE(Cached("A.log"));
  std::filesystem::remove(Host("D:\\Lists\\A.m3u"));
  auto r = Update();
  EXPECT_EQ(Counts(r), (std::vector<int>{0, 0, 0, 1}));
  EXPECT_EQ(r.maximum, 1);
  EXPECT_EQ(Names("C:\\App\\playlist"), std::vector<std::string>{});
  EXPECT_TRUE(Exists("C:\\App\\playlist.log"));
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "");
}

TEST_F(LibraryScanTest, TrimmedRootOfADriveStillSearchesIt) {
  Put("D:\\Root.m3u", "\\Music\\a.mp3\r\n");
  auto r = Update("D:\\\\");
  EXPECT_EQ(lastFolder, "D:");
  EXPECT_EQ(Counts(r), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "'D:\\Root.m3u'=816199941\r\n");
  EXPECT_EQ(Cache("'Root' Artist 'Band A'.m3u"), "D:\\Music\\a.mp3\r\n");
}

TEST_F(LibraryScanTest, PurgeOnlyDeletesNamesInTheCacheFolder) {
  Put("C:\\App\\keep.txt", "mine");
  Put("C:\\App\\playlist\\Gone.log", "..\\keep.txt\r\n'Gone' Artist.dat\r\n");
  Put("C:\\App\\playlist\\'Gone' Artist.dat", "");
  Put("C:\\App\\playlist.log", "'D:\\Lists\\Gone.m3u'=1\r\n");
  EXPECT_EQ(Counts(Update()), (std::vector<int>{0, 0, 0, 1}));
  EXPECT_TRUE(Exists("C:\\App\\keep.txt"));
  EXPECT_FALSE(Cached("'Gone' Artist.dat"));
  EXPECT_FALSE(Cached("Gone.log"));
}

}  // namespace

// The library through the real Win32 file system and locale: drive paths,
// FindFirstFileA stamps in local time, CompareStringA order, "*.m3u" matched
// without regard to case, and whole updates whose files must be byte for byte
// those of the native run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "WinTestSupport.h"
#include "library/LibraryUpdate.h"
#include "library/MP3Tag.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "tests/support/CountingProgress.h"

namespace {

void Put(const std::string& path, const std::string& bytes) {
  platform::WriteFileSafely(path, bytes);
}

std::string Get(const std::string& path) {
  std::string bytes;
  platform::ReadWholeFile(path, &bytes);
  return bytes;
}

std::string Mp3(const std::string& artist, const std::string& album) {
  std::string block(128, '\0');
  block.replace(0, 3, "TAG");
  block.replace(33, artist.size(), artist);
  block.replace(63, album.size(), album);
  return std::string(2048, '\xFF') + block;
}

void SetTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  ASSERT_TRUE(wintest::SetWriteTime(path, {year, month, 0, day, hour, minute, second, 0}));
}

class LibraryWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = wintest::TempFolder("kv-lib-" + std::to_string(GetTickCount()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    for (const char* dir : {"App", "Lists", "Music"}) CreateDirectoryA((base_ + dir).c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* mask : {"App\\playlist\\*", "App\\*", "Lists\\*", "Music\\*"}) {
      for (const auto& e : platform::FindEntries(base_ + mask)) {
        const std::string folder = base_ + std::string(mask).substr(0, std::string(mask).size() - 1);
        DeleteFileA((folder + e.name).c_str());
        RemoveDirectoryA((folder + e.name).c_str());
      }
    }
    for (const char* dir : {"App\\playlist", "App", "Lists", "Music", ""}) RemoveDirectoryA((base_ + dir).c_str());
  }
  std::string base_;
};

TEST_F(LibraryWinTest, StampsComeFromTheSearchInLocalTime) {
  const std::string path = base_ + "Music\\a.mp3";
  Put(path, "x");
  SetTime(path, 2004, 5, 6, 7, 8, 11);
  platform::FoundEntry entry;
  ASSERT_TRUE(platform::FindFirstEntry(path, &entry));
  EXPECT_EQ(platform::StampText(entry.stamp), "816199941");
  SetTime(path, 1979, 12, 31, 23, 0, 0);
  ASSERT_TRUE(platform::FindFirstEntry(path, &entry));
  EXPECT_EQ(platform::StampText(entry.stamp), "2162688");
}

TEST_F(LibraryWinTest, SearchMatchesM3uWithoutRegardToCaseAndGivesFolders) {
  Put(base_ + "Lists\\a.M3U", "");
  Put(base_ + "Lists\\b.m3u", "");
  Put(base_ + "Lists\\c.txt", "");
  CreateDirectoryA((base_ + "Lists\\d.m3u").c_str(), nullptr);
  std::vector<std::string> names;
  for (const auto& e : platform::FindEntries(base_ + "Lists\\*.m3u")) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.M3U", "b.m3u", "d.m3u"}));
  platform::FoundEntry entry;
  ASSERT_TRUE(platform::FindFirstEntry(base_ + "LISTS\\D.M3U", &entry));
  EXPECT_TRUE(entry.IsDirectory());
  EXPECT_FALSE(platform::FileExists(base_ + "Lists\\d.m3u"));
  EXPECT_TRUE(platform::DirectoryExists(base_ + "Lists\\d.m3u"));
}

TEST_F(LibraryWinTest, HeldFilesCannotBeReadOrReplacedAndStayAsTheyWere) {
  const std::string path = base_ + "App\\held.txt";
  Put(path, "old\r\n");
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string bytes;
  EXPECT_THROW(platform::ReadWholeFile(path, &bytes), platform::Error);
  EXPECT_THROW(platform::WriteFileSafely(path, "new\r\n"), platform::Error);
  TMP3Tag reader;
  TTag tag;
  EXPECT_THROW(reader.ReadTag(path, &tag), platform::Error);
  CloseHandle(held);
  EXPECT_EQ(Get(path), "old\r\n");
  EXPECT_FALSE(platform::FileExists(path + ".kvnew"));
  reader.ReadTag(base_ + "Music", &tag);
  EXPECT_FALSE(tag.HasTag);
}

TEST_F(LibraryWinTest, RebuildableFilesAreCreatedInPlaceAndReplaceOldOnesSafely) {
  const std::string path = base_ + "App\\Index.dat";
  platform::WriteRebuildableFile(path, "a\r\n");
  EXPECT_EQ(Get(path), "a\r\n");
  platform::WriteRebuildableFile(base_ + "APP\\index.DAT", "b\r\n");
  EXPECT_EQ(Get(path), "b\r\n");
  EXPECT_EQ(platform::FindEntries(base_ + "App\\*.dat").size(), 1u);
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  try {
    platform::WriteRebuildableFile(path, "c\r\n");
    ADD_FAILURE() << "no error raised";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), platform::Message(platform::kErrCannotWrite, path).Utf8());
  }
  CloseHandle(held);
  EXPECT_EQ(Get(path), "b\r\n");
  EXPECT_FALSE(platform::FileExists(path + ".kvnew"));
  EXPECT_THROW(platform::WriteRebuildableFile(base_ + "None\\x.dat", "x"), platform::Error);
  EXPECT_THROW(platform::WriteRebuildableFile(base_ + "Music", "x"), platform::Error);
}

TEST(LibraryWinLocale, CompareStringOrderAndSortKeysAgree) {
  // Code page 932 bytes here, compared as the UTF-8 all text inside is; and
  // names beyond the code page.
  std::vector<std::string> texts = {"band a", "BAND A", "Band B", "", "_x", "a", "\x82\x60", "\x82\x81",
                                    "\x95\x5C", "Zeta", "zeta", "\x83\x41", "\x83\x60"};
  for (std::string& text : texts) text = platform::SystemToUtf8(text);
  for (const char16_t* wide : {u"M\u00F6tley", u"M\u00D6TLEY", u"Motley", u"\uC544\uC774\uC720", u"\U0001F600"}) {
    texts.push_back(platform::Utf16ToUtf8(wide));
  }
  EXPECT_EQ(platform::CompareTextIgnoringCase(texts[13], texts[14]), 0);
  EXPECT_NE(platform::CompareTextIgnoringCase(texts[13], texts[15]), 0);
  EXPECT_EQ(platform::CompareTextIgnoringCase("band a", "BAND A"), 0);
  EXPECT_LT(platform::CompareTextIgnoringCase("alpha", "Beta"), 0);
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      const int ab = platform::CompareTextIgnoringCase(a, b);
      const std::string ka = platform::CaseInsensitiveKey(a), kb = platform::CaseInsensitiveKey(b);
      EXPECT_EQ(ab == 0, ka == kb) << a << " / " << b;
      EXPECT_EQ(ab < 0, ka < kb) << a << " / " << b;
      EXPECT_EQ(platform::EqualIgnoringCase(a.data(), a.size(), b.data(), b.size()), ab == 0) << a << " / " << b;
      if (ab == 0) {
        EXPECT_EQ(platform::CaseInsensitiveHash(a.data(), a.size()), platform::CaseInsensitiveHash(b.data(), b.size()));
      }
    }
  }
}

// The same library as the native worked example: the files must be the same
// bytes (stamps aside, which are this system's local times).
TEST_F(LibraryWinTest, UpdateWritesTheSameFilesAsTheNativeRun) {
  Put(base_ + "Music\\a.mp3", Mp3("Band A", "First"));
  Put(base_ + "Music\\b.mp3", Mp3("band a", "Second"));
  Put(base_ + "Music\\c.wav", Mp3("Wave", "Wave"));
  const std::string music = base_ + "Music\\";
  Put(base_ + "Lists\\Rock.m3u", "#EXTM3U\r\n" + music + "a.mp3\r\n" + music + "b.mp3\r\n" + music + "c.wav\r\n");
  Put(base_ + "Lists\\Up.m3u", music + "a.mp3\r\n");
  TLibraryContext context{base_ + "App\\", false};
  TCountingProgress progress;
  TLibraryUpdate update(context, progress);
  std::string folder = base_ + "Lists\\\\";
  EXPECT_EQ(update.Run(&folder), TLibraryUpdate::Outcome::Done);
  EXPECT_EQ(folder, base_ + "Lists");
  EXPECT_EQ(progress.Added(), 2);
  EXPECT_EQ(progress.Maximum, 3);
  const std::string cache = base_ + "App\\playlist\\";
  EXPECT_EQ(Get(cache + "'Rock' Artist.dat"), "Band A\r\n");
  EXPECT_EQ(Get(cache + "'Rock' Artist 'Band A'.m3u"), music + "a.mp3\r\n" + music + "b.mp3\r\n");
  EXPECT_EQ(Get(cache + "'Rock' Album.dat"), "First\r\nSecond\r\n");
  EXPECT_EQ(Get(cache + "Rock.log"),
            "'Rock' Artist.dat\r\n'Rock' Artist 'Band A'.m3u\r\n'Rock' Album.dat\r\n'Rock' Album 'First'.m3u\r\n"
            "'Rock' Album 'Second'.m3u\r\n");
  // Renamed in letter case only, on a file system that ignores case: kept.
  MoveFileA((base_ + "Lists\\Up.m3u").c_str(), (base_ + "Lists\\UP.m3u").c_str());
  TCountingProgress second;
  TLibraryUpdate again(context, second);
  EXPECT_EQ(again.Run(&folder), TLibraryUpdate::Outcome::Done);
  // Wine may keep the stored spelling on a rename in case only; the key
  // changes (and the old one counts as deleted) only when the name did.
  const auto found = platform::FindEntries(base_ + "Lists\\Up.m3u");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(second.Skipped(), 2);
  EXPECT_EQ(second.Deleted(), found[0].name == "UP.m3u" ? 1 : 0);
  EXPECT_EQ(Get(cache + "'Up' Artist.dat"), "Band A\r\n");
  // A key with a control character: the index line names a file the file
  // system accepts.
  Put(base_ + "Music\\t.mp3", Mp3("A\tB", "C"));
  Put(base_ + "Lists\\Tab.m3u", music + "t.mp3\r\n");
  TCountingProgress third;
  TLibraryUpdate once_more(context, third);
  EXPECT_EQ(once_more.Run(&folder), TLibraryUpdate::Outcome::Done);
  EXPECT_TRUE(third.Failures.empty());
  EXPECT_EQ(Get(cache + "'Tab' Artist.dat"), "A B\r\n");
  EXPECT_EQ(Get(cache + GeneratedPlaylistFileName(context, "Tab", "Artist", "A B")), music + "t.mp3\r\n");
}

// Playlists whose names the locale comparison calls equal are two files for
// the file system: each keeps its own line of "playlist.log", so neither is
// rebuilt for the other's stamp nor skipped for it.
TEST_F(LibraryWinTest, PlaylistsTheComparisonCallsEqualKeepTheirOwnLines) {
  const std::string music = base_ + "Music\\", lists = base_ + "Lists\\";
  Put(music + "a.mp3", Mp3("Band A", "First"));
  Put(music + "b.mp3", Mp3("Band B", "Second"));
  const auto put = [&](const std::string& name, const char* track, WORD year) {
    Put(lists + name + ".m3u8", music + track + "\r\n");
    SetTime(lists + name + ".m3u8", year, 5, 6, 7, 8, 10);
  };
  std::vector<std::string> seconds;
  for (const auto& [first, second] : {std::pair<std::string, std::string>{"Strasse", u8"Stra\u00DFe"},
                                      {u8"Caf\u00E9", u8"Cafe\u0301"}, {u8"\uFB01ve", "five"}}) {
    if (platform::CompareTextIgnoringCase(first, second) != 0) continue;
    put(first, "a.mp3", 2004);
    put(second, "b.mp3", 2005);
    seconds.push_back(second);
  }
  const int equal = static_cast<int>(seconds.size());
  ASSERT_GT(equal, 0) << "the comparison keeps every pair apart here";
  TLibraryContext context{base_ + "App\\", false};
  context.UnicodeLibrary = true;
  const auto update = [&] {
    TCountingProgress progress;
    TLibraryUpdate run(context, progress);
    std::string folder = base_ + "Lists";
    EXPECT_EQ(run.Run(&folder), TLibraryUpdate::Outcome::Done);
    return std::vector<int>{progress.Skipped(), progress.Updated(), progress.Added(), progress.Deleted()};
  };
  EXPECT_EQ(update(), (std::vector<int>{0, 0, 2 * equal, 0}));
  EXPECT_EQ(update(), (std::vector<int>{2 * equal, 0, 0, 0}));
  // The second of each pair replaced by a list with the first one's stamp.
  for (const std::string& second : seconds) put(second, "a.mp3", 2004);
  EXPECT_EQ(update(), (std::vector<int>{equal, equal, 0, 0}));
  for (const std::string& second : seconds) {
    EXPECT_EQ(Get(base_ + "App\\playlist\\" + IndexFileName(second, "Artist")), "\xEF\xBB\xBF" "Band A\r\n") << second;
  }
}

// A group of names the comparison calls equal is named by a spelling
// without the replacement character where it has one.
TEST(LibraryWinLocale, AGroupTakesASpellingWithoutAReplacementCharacter) {
  const std::string damaged = u8"Queen\uFFFD";
  for (const bool damagedFirst : {true, false}) {
    TGroupList list;
    AddToGroup(list, damagedFirst ? damaged : "Queen", "D:\\a.mp3");
    AddToGroup(list, damagedFirst ? "Queen" : damaged, "D:\\b.mp3");
    if (platform::CompareTextIgnoringCase("Queen", damaged) != 0) continue;
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].Key, "Queen");
    EXPECT_EQ(list.Entries()[0].Tracks.size(), 2u);
  }
}

// Beyond MAX_PATH the A functions answer as if nothing were there; the file
// is made here through the wide functions, as another program could.
TEST_F(LibraryWinTest, ATrackBeyondMaxPathIsReportedNotLeftOutSilently) {
  const std::string music = base_ + "Music\\";
  std::string folder = music;
  std::vector<std::wstring> made;
  while (folder.size() < MAX_PATH + 10) {
    folder += std::string(60, 'd') + "\\";
    const std::wstring wide = L"\\\\?\\" + std::wstring(folder.begin(), folder.end());
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr)) << folder;
    made.push_back(wide);
  }
  const std::string track = folder + "long.mp3";
  const std::wstring wideTrack = L"\\\\?\\" + std::wstring(track.begin(), track.end());
  HANDLE file = CreateFileW(wideTrack.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const std::string bytes = Mp3("Deep", "Deep");
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  Put(music + "a.mp3", Mp3("Band A", "First"));
  Put(base_ + "Lists\\Long.m3u", track + "\r\n" + music + "a.mp3\r\n");

  TLibraryContext context{base_ + "App\\", true};
  TCountingProgress progress;
  TLibraryUpdate update(context, progress);
  std::string lists = base_ + "Lists";
  EXPECT_EQ(update.Run(&lists), TLibraryUpdate::Outcome::DoneWithFailures);
  ASSERT_EQ(progress.Failures.size(), 1u);
  EXPECT_NE(progress.Failures[0].find("long.mp3"), std::string::npos);
  EXPECT_EQ(Get(base_ + "App\\playlist\\'Long' Artist.dat"), "Band A\r\n");
  // Reported, so not recorded as done: the next update tries again.
  EXPECT_EQ(Get(base_ + "App\\playlist.log").find("'=\r\n") != std::string::npos, true);

  DeleteFileW(wideTrack.c_str());
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
}

// A list far larger than any playlist is refused by its size, before it is
// read into memory (a 32-bit process would run out of it).
TEST_F(LibraryWinTest, AnAbsurdlyLargeListIsRefusedBeforeItIsRead) {
  const std::string path = base_ + "Lists\\Huge.m3u";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = static_cast<LONGLONG>(kMaxTextListBytes) + 1;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  TLines lines;
  try {
    ReadTextList(path, &lines);
    ADD_FAILURE() << "read";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), platform::Message(platform::kErrTooLarge, path).Utf8());
  }
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, &bytes));  // no bound asked: read whole
  EXPECT_EQ(bytes.size(), kMaxTextListBytes + 1);
}

// Only files on a disk are opened for reading: a device name is refused
// rather than read (a serial port or a pipe could block the read).
TEST_F(LibraryWinTest, ADeviceIsNotReadAsAFile) {
  std::string bytes;
  EXPECT_THROW(platform::ReadWholeFile("NUL", &bytes), platform::Error);
  platform::ReadOnlyFile file;
  EXPECT_THROW(file.Open("NUL"), platform::Error);
}

}  // namespace

// The native stand-in of the file seam: Windows paths mapped onto folders
// under a root, and the test controls that real Windows has no call for.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/posix/SimFileSystem.h"

namespace fs = std::filesystem;

namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kv-fs-XXXXXX";
    root_ = mkdtemp(pattern);
    sim::SetFileSystemRoot(root_);
    sim::SetCurrentFolder("C:\\");
    sim::UnlockAllFiles();
    fs::create_directories(root_ + "/C");
    fs::create_directories(root_ + "/D/Music");
  }
  void TearDown() override {
    sim::UnlockAllFiles();
    fs::remove_all(root_);
  }
  void Put(const std::string& hostRelative, const std::string& bytes) {
    std::ofstream(root_ + "/" + hostRelative, std::ios::binary) << bytes;
  }
  std::string Host(const std::string& hostRelative) {
    std::ifstream in(root_ + "/" + hostRelative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string root_;
};

}  // namespace

namespace contract {

std::string NewFolder(const std::string& name) {
  static std::string root;
  if (root.empty()) {
    char pattern[] = "/tmp/kv-contract-XXXXXX";
    root = mkdtemp(pattern);
  }
  sim::SetFileSystemRoot(root);
  sim::SetCurrentFolder("C:\\");
  fs::create_directories(root + "/D/" + name);
  return "D:\\" + name + "\\";
}
void RemoveFolder(const std::string&) { fs::remove_all(sim::FileSystemRoot()); }
void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream(sim::HostPath(path), std::ios::binary) << bytes;
}
void PutFolder(const std::string& path) { fs::create_directories(sim::HostPath(path)); }

}  // namespace contract

namespace {

TEST_F(FileSystemTest, MapsDriveLettersAndSeparators) {
  Put("D/Music/a.mp3", "x");
  EXPECT_EQ(sim::HostPath("D:\\Music\\a.mp3"), root_ + "/D/Music/a.mp3");
  EXPECT_EQ(sim::HostPath("d:/Music/a.mp3"), root_ + "/D/Music/a.mp3");
  EXPECT_TRUE(platform::FileExists("D:\\Music\\a.mp3"));
  EXPECT_FALSE(platform::FileExists("D:\\Music"));
  EXPECT_TRUE(platform::DirectoryExists("D:\\Music"));
  EXPECT_TRUE(platform::DirectoryExists("D:\\Music\\"));
  EXPECT_TRUE(platform::DirectoryExists("D:"));
  EXPECT_FALSE(platform::DirectoryExists("E:\\"));
}

TEST_F(FileSystemTest, RelativePathsStartAtTheCurrentFolder) {
  Put("D/Music/a.mp3", "x");
  sim::SetCurrentFolder("D:\\Music");
  EXPECT_TRUE(platform::FileExists("a.mp3"));
  EXPECT_TRUE(platform::FileExists(".\\a.mp3"));
  EXPECT_TRUE(platform::FileExists("..\\Music\\a.mp3"));
  EXPECT_TRUE(platform::FileExists("\\Music\\a.mp3"));
  EXPECT_FALSE(platform::FileExists("C:a.mp3"));
  EXPECT_TRUE(platform::FileExists("D:a.mp3"));
}

TEST_F(FileSystemTest, MapsDotsDoubledSeparatorsUncAndDriveRelativePaths) {
  Put("D/Music/a.mp3", "x");
  sim::SetCurrentFolder("d:\\Music\\Sub\\");
  const struct {
    const char* windows;
    const char* host;
  } cases[] = {
      {"D:\\Music\\..\\..\\..\\x", "/D/x"},
      {"D:\\\\Music\\.\\a.mp3", "/D/Music/a.mp3"},
      {"D:/Music//", "/D/Music"},
      {"\\\\server\\share\\x", "/UNC/server/share/x"},
      {"D:a.mp3", "/D/Music/Sub/a.mp3"},
      {"d:", "/D/Music/Sub"},
      {"C:a.mp3", "/C/a.mp3"},
      {"..\\b", "/D/Music/b"},
      {"\\top\\.\\", "/D/top"},
      {"", "/D/Music/Sub"},
  };
  for (const auto& c : cases) EXPECT_EQ(sim::HostPath(c.windows), root_ + c.host) << c.windows;
  ASSERT_EQ(platform::FindEntries("d:\\MUSIC\\sub\\..\\.\\*.MP3").size(), 1u);
  EXPECT_EQ(platform::FindEntries("D:..\\*.mp3")[0].name, "a.mp3");
  EXPECT_TRUE(platform::FindEntries("D:\\Music\\a.mp3\\*").empty());
}

TEST_F(FileSystemTest, ReadWholeFileAnswersFalseForNoFileAndRaisesWhenLocked) {
  std::string bytes = "old";
  EXPECT_FALSE(platform::ReadWholeFile("D:\\Music\\none.txt", &bytes));
  EXPECT_FALSE(platform::ReadWholeFile("D:\\Music", &bytes));
  EXPECT_EQ(bytes, "old");
  Put("D/Music/a.txt", std::string("a\0b", 3));
  ASSERT_TRUE(platform::ReadWholeFile("D:\\Music\\a.txt", &bytes));
  EXPECT_EQ(bytes, std::string("a\0b", 3));
  sim::LockFile("D:\\Music\\a.txt");
  try {
    platform::ReadWholeFile("D:\\Music\\a.txt", &bytes);
    FAIL() << "no error raised";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), platform::FormatText(platform::kErrCannotOpen, "D:\\Music\\a.txt"));
  }
}

TEST_F(FileSystemTest, WriteFileSafelyReplacesWholeAndLeavesTheOldFileOnFailure) {
  platform::WriteFileSafely("D:\\Music\\list.txt", "one\r\n");
  EXPECT_EQ(Host("D/Music/list.txt"), "one\r\n");
  platform::WriteFileSafely("D:\\Music\\list.txt", "");
  EXPECT_EQ(fs::file_size(root_ + "/D/Music/list.txt"), 0u);
  platform::WriteFileSafely("D:\\Music\\list.txt", "two\r\n");
  sim::LockFile("D:\\Music\\list.txt");
  try {
    platform::WriteFileSafely("D:\\Music\\list.txt", "three\r\n");
    FAIL() << "no error raised";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), platform::FormatText(platform::kErrCannotWrite, "D:\\Music\\list.txt"));
  }
  EXPECT_EQ(Host("D/Music/list.txt"), "two\r\n");
  EXPECT_THROW(platform::WriteFileSafely("D:\\NoFolder\\x.txt", "x"), platform::Error);
  fs::create_directories(root_ + "/D/Music/folder.txt");
  EXPECT_THROW(platform::WriteFileSafely("D:\\Music\\folder.txt", "x"), platform::Error);
  for (const auto& e : fs::directory_iterator(root_ + "/D/Music")) {
    EXPECT_EQ(e.path().filename().string().find(".kvnew"), std::string::npos);
  }
}

// Files larger than `limit` bytes cannot be written while it lives (a full
// disk, as far as the writer can tell).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit lowered = previous_;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(FileSystemTest, WriteRebuildableFileCreatesNewFilesInPlaceAndReplacesOldOnesSafely) {
  platform::WriteRebuildableFile("D:\\Music\\New.m3u", "a\r\n");
  EXPECT_EQ(Host("D/Music/New.m3u"), "a\r\n");
  // The name cache knows the new file: another spelling finds it, and a
  // second write replaces it instead of adding a file.
  EXPECT_TRUE(platform::FileExists("D:\\MUSIC\\NEW.M3U"));
  platform::WriteRebuildableFile("D:\\music\\new.M3U", "b\r\n");
  EXPECT_EQ(Host("D/Music/New.m3u"), "b\r\n");
  EXPECT_FALSE(fs::exists(root_ + "/D/Music/new.M3U"));
  platform::WriteRebuildableFile("D:\\Music\\Empty.m3u", "");
  EXPECT_EQ(fs::file_size(root_ + "/D/Music/Empty.m3u"), 0u);

  sim::LockFile("D:\\Music\\New.m3u");
  try {
    platform::WriteRebuildableFile("D:\\Music\\New.m3u", "c\r\n");
    FAIL() << "no error raised";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), platform::FormatText(platform::kErrCannotWrite, "D:\\Music\\New.m3u"));
  }
  EXPECT_EQ(Host("D/Music/New.m3u"), "b\r\n");
  EXPECT_THROW(platform::WriteRebuildableFile("D:\\NoFolder\\x.m3u", "x"), platform::Error);
  fs::create_directories(root_ + "/D/Music/folder.m3u");
  EXPECT_THROW(platform::WriteRebuildableFile("D:\\Music\\folder.m3u", "x"), platform::Error);
  for (const auto& e : fs::directory_iterator(root_ + "/D/Music")) {
    EXPECT_EQ(e.path().filename().string().find(".kvnew"), std::string::npos);
  }
}

TEST_F(FileSystemTest, AWriteCutShortLeavesNoNewFileAndKeepsTheOldOne) {
  Put("D/Music/old.m3u", "old\r\n");
  const std::string big(4096, 'x');
  {
    FileSizeLimit limit(1024);
    for (const char* path : {"D:\\Music\\fresh.m3u", "D:\\Music\\old.m3u"}) {
      try {
        platform::WriteRebuildableFile(path, big);
        ADD_FAILURE() << path << ": no error raised";
      } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), platform::FormatText(platform::kErrCannotWrite, path));
      }
    }
    EXPECT_THROW(platform::WriteFileSafely("D:\\Music\\fresh.m3u", big), platform::Error);
  }
  EXPECT_FALSE(fs::exists(root_ + "/D/Music/fresh.m3u"));
  EXPECT_FALSE(platform::FileExists("D:\\Music\\fresh.m3u"));
  EXPECT_EQ(Host("D/Music/old.m3u"), "old\r\n");
  for (const auto& e : fs::directory_iterator(root_ + "/D/Music")) {
    EXPECT_EQ(e.path().filename().string().find(".kvnew"), std::string::npos);
  }
  // Nothing of the failure sticks: the same write now succeeds.
  platform::WriteRebuildableFile("D:\\Music\\fresh.m3u", big);
  EXPECT_EQ(Host("D/Music/fresh.m3u"), big);
}

TEST_F(FileSystemTest, OpeningATrackGivesTheEntryTheSearchGives) {
  Put("D/Music/Song.MP3", "0123456789");
  platform::FoundEntry searched, entry;
  bool found = false;
  ASSERT_TRUE(platform::FindFirstEntry("D:\\Music\\Song.MP3", &searched));
  for (const char* path : {"D:\\Music\\Song.MP3", "d:\\music\\song.mp3", "D:\\Music\\S?ng.mp3"}) {
    platform::ReadOnlyFile file;
    const bool opened = file.OpenIfFile(path, &entry, &found);
    EXPECT_TRUE(found) << path;
    EXPECT_EQ(entry.name, "Song.MP3") << path;
    EXPECT_EQ(entry.stamp, searched.stamp) << path;
    EXPECT_EQ(entry.attributes, searched.attributes) << path;
    if (opened) {
      EXPECT_EQ(file.Size(), 10) << path;
    }
  }
  platform::ReadOnlyFile file;
  EXPECT_FALSE(file.OpenIfFile("D:\\Music", &entry, &found));
  EXPECT_TRUE(found);
  EXPECT_TRUE(entry.IsDirectory());
  EXPECT_FALSE(file.OpenIfFile("D:\\Music\\none.mp3", &entry, &found));
  EXPECT_FALSE(found);
  sim::LockFile("D:\\Music\\Song.MP3");
  found = false;
  EXPECT_THROW(file.OpenIfFile("D:\\Music\\Song.MP3", &entry, &found), platform::Error);
  EXPECT_TRUE(found);
}

TEST_F(FileSystemTest, StampsArePackedLocalTimeFromTheSearch) {
  setenv("TZ", "JST-9", 1);
  tzset();
  Put("D/Music/a.mp3", "x");
  // 2004-05-06 07:08:11 JST (odd second cut down) = 2004-05-05 22:08:11 UTC.
  ASSERT_TRUE(sim::SetLastWriteTime("D:\\Music\\a.mp3", 1083794891));
  platform::FoundEntry entry;
  ASSERT_TRUE(platform::FindFirstEntry("D:\\Music\\a.mp3", &entry));
  EXPECT_EQ(platform::StampText(entry.stamp), "816199941");
  ASSERT_EQ(platform::FindEntries("D:\\Music\\*.mp3").size(), 1u);
  EXPECT_EQ(platform::FindEntries("D:\\Music\\*.mp3")[0].stamp, entry.stamp);
  // Before 1980 and after 2107 are clamped to the ends of the format.
  ASSERT_TRUE(sim::SetLastWriteTime("D:\\Music\\a.mp3", 0));
  ASSERT_TRUE(platform::FindFirstEntry("D:\\Music\\a.mp3", &entry));
  EXPECT_EQ(platform::StampText(entry.stamp), "2162688");
  ASSERT_TRUE(sim::SetLastWriteTime("D:\\Music\\a.mp3", 4354819200LL));  // 2108-01-01 UTC
  ASSERT_TRUE(platform::FindFirstEntry("D:\\Music\\a.mp3", &entry));
  EXPECT_EQ(platform::StampText(entry.stamp), platform::StampText(platform::PackDosStamp(2107, 12, 31, 23, 59, 58)));
  EXPECT_EQ(platform::StampText(platform::PackDosStamp(2044, 1, 1, 0, 0, 0)), "-2145320960");
  unsetenv("TZ");
  tzset();
}

TEST_F(FileSystemTest, ALockedFileIsNotRemoved) {
  Put("D/Music/locked.mp3", "x");
  sim::LockFile("D:\\Music\\locked.mp3");
  EXPECT_FALSE(platform::RemoveFile("D:\\Music\\locked.mp3"));
}

// 表 (0x95 0x5C) and ソ (0x83 0x5C) end in the byte of "\": it is part of
// the character, not a separator, in names, folders and patterns alike.
TEST_F(FileSystemTest, DoubleByteCharactersEndingInTheBackslashByteStayWhole) {
  fs::create_directories(root_ + "/D/Music/\x95\x5C");
  Put("D/Music/\x95\x5C/a.mp3", "x");
  Put("D/Music/\x95\x5C/\x83\x5C.mp3", "so");
  EXPECT_EQ(sim::HostPath("D:\\Music\\\x95\x5C\\\x83\x5C.mp3"), root_ + "/D/Music/\x95\x5C/\x83\x5C.mp3");
  platform::FoundEntry entry;
  ASSERT_TRUE(platform::FindFirstEntry("D:\\music\\\x95\x5C", &entry));
  EXPECT_TRUE(entry.IsDirectory());
  EXPECT_EQ(entry.name, "\x95\x5C");
  ASSERT_TRUE(platform::FindFirstEntry("D:\\Music\\\x95\x5C\\A.MP3", &entry));
  EXPECT_EQ(entry.name, "a.mp3");
  EXPECT_FALSE(platform::FindFirstEntry("D:\\Music\\\x95\x5C\\", &entry));
  std::vector<std::string> names;
  for (const auto& e : platform::FindEntries("D:\\Music\\\x95\x5C\\*.mp3")) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.mp3", "\x83\x5C.mp3"}));
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile("D:\\Music\\\x95\x5C\\\x83\x5C.mp3", &bytes));
  EXPECT_EQ(bytes, "so");
  bool found = false;
  platform::ReadOnlyFile file;
  EXPECT_TRUE(file.OpenIfFile("D:\\Music\\\x95\x5C\\\x83\x5C.mp3", &entry, &found));
  EXPECT_EQ(entry.name, "\x83\x5C.mp3");
}

}  // namespace

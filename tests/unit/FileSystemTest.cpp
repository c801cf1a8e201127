// The native stand-in of the file seam: Windows paths mapped onto folders
// under a root, and the test controls that real Windows has no call for.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/posix/SimFileSystem.h"
#include "tests/support/MappedRoot.h"

namespace fs = std::filesystem;

namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  kvtest::MappedRoot mapped_{"C", "D/Music"};
  const std::string& root_ = mapped_.path;
  void Put(const std::string& hostRelative, const std::string& bytes) {
    std::ofstream(root_ + "/" + hostRelative, std::ios::binary) << bytes;
  }
  std::string Host(const std::string& hostRelative) {
    std::ifstream in(root_ + "/" + hostRelative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
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
        EXPECT_EQ(std::string(e.what()), platform::Message(platform::kErrCannotWrite, path).Utf8());
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

// A file another program holds cannot be read, written, replaced or removed;
// a search still finds it.
TEST_F(FileSystemTest, ALockedFileRaisesOrRefusesAndKeepsItsBytes) {
  Put("D/Music/Song.MP3", "old");
  sim::LockFile("D:\\music\\song.mp3");
  std::string bytes;
  for (const auto& touch : std::vector<std::function<void()>>{
           [&] { platform::ReadWholeFile("D:\\Music\\Song.MP3", &bytes); },
           [] { platform::WriteFileSafely("D:\\Music\\Song.MP3", "new"); },
           [] { platform::WriteRebuildableFile("D:\\Music\\Song.MP3", "new"); },
           [] { platform::ReadOnlyFile().Open("D:\\Music\\Song.MP3"); }}) {
    EXPECT_THROW(touch(), platform::Error);
  }
  EXPECT_FALSE(platform::RemoveFile("D:\\Music\\Song.MP3"));
  platform::FoundEntry entry;
  bool found = false;
  EXPECT_THROW(platform::ReadOnlyFile().OpenIfFile("D:\\Music\\Song.MP3", &entry, &found), platform::Error);
  EXPECT_TRUE(found);
  EXPECT_EQ(Host("D/Music/Song.MP3"), "old");
  for (const auto& e : fs::directory_iterator(root_ + "/D/Music")) EXPECT_EQ(e.path().filename(), "Song.MP3");
}

// Host names are the UTF-8 names. What a folder's listing taught is kept,
// yet a test may change the folder behind the program's back at any moment:
// such a change is seen at the next lookup.
TEST_F(FileSystemTest, FoldersChangedBehindItsBackAreListedAgain) {
  const std::string folder = u8"D/Music/ソ表";
  const std::string windows = u8"D:\\Music\\ソ表\\";
  const auto name = [](const char* utf8) { return std::string(utf8); };
  fs::create_directories(root_ + "/" + folder);
  Put(folder + u8"/Ärger.mp3", "x");
  const std::string hostArger = root_ + "/" + folder + u8"/Ärger.mp3";
  const std::string arger = windows + u8"äRGER.MP3";  // macro texts are narrow literals: no "ä" in them
  EXPECT_EQ(sim::HostPath(arger), hostArger);
  const std::string beetle = windows + u8"ЖУК.mp3";
  EXPECT_FALSE(platform::FileExists(beetle));
  Put(folder + u8"/жук.mp3", "y");
  EXPECT_TRUE(platform::FileExists(beetle));
  fs::rename(root_ + "/" + folder + u8"/жук.mp3", root_ + "/" + folder + u8"/Жук2.mp3");
  EXPECT_FALSE(platform::FileExists(beetle));
  EXPECT_TRUE(platform::FileExists(windows + u8"жук2.MP3"));
  // Changes made through the seam are learned as they are made.
  platform::WriteRebuildableFile(windows + u8"Ｎｅｗ.m3u", "n");
  EXPECT_TRUE(platform::FileExists(windows + u8"ｎｅｗ.M3U"));
  EXPECT_TRUE(platform::RemoveFile(arger));
  EXPECT_FALSE(platform::FileExists(arger));
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(root_ + "/" + folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  const std::vector<std::string> left = {name(u8"Жук2.mp3"), name(u8"Ｎｅｗ.m3u")};
  EXPECT_EQ(names, left);
}

}  // namespace

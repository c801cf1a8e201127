// The Win32 file system's shortcuts past the directory search: each must give
// what the search gives, and cost what the library's floor allows (counted
// by counters put into the import table).
#include <windows.h>

#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "library/MP3Tag.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "tools/bench/FileCallCount.h"

namespace {

using bench::FileCall;

class FileCallWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = wintest::TempFolder("kv-calls-" + std::to_string(GetTickCount()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    bench::CountFileCalls(nullptr);
    for (const auto& e : platform::FindEntries(base_ + "*")) {
      DeleteFileA((base_ + e.name).c_str());
      RemoveDirectoryA((base_ + e.name).c_str());
    }
    RemoveDirectoryA(base_.c_str());
  }
  void Put(const std::string& name, const std::string& bytes) { platform::WriteFileSafely(base_ + name, bytes); }
  // The entry a real directory search gives.
  bool Search(const std::string& path, platform::FoundEntry* entry) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    platform::FoundEntry all;
    for (const auto& e : platform::FindEntries(path)) {
      all = e;
      break;
    }
    *entry = all;
    return true;
  }
  std::string base_;
};

TEST_F(FileCallWinTest, EntryLookupsAnswerAsTheSearchDoes) {
  Put("Song.mp3", "x");
  Put("a long name.mp3x", "y");
  CreateDirectoryA((base_ + "Folder.mp3").c_str(), nullptr);
  SetFileAttributesA((base_ + "Song.mp3").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  std::vector<std::string> paths;
  for (const char* name : {"Song.mp3", "SONG.MP3", "song.mp3.", "Song.mp3 ", "S*.mp3", "Folder.mp3", "none.mp3",
                           "Nowhere\\x.mp3", "Folder.mp3\\", ""}) {
    paths.push_back(base_ + name);
  }
  char shortPath[MAX_PATH] = {};
  const DWORD n = GetShortPathNameA((base_ + "a long name.mp3x").c_str(), shortPath, sizeof shortPath);
  if (n > 0 && n < sizeof shortPath && std::string(shortPath).find('~') != std::string::npos) {
    // A short name leads to an entry whose name differs in more than case.
    paths.push_back(shortPath);
  }
  for (const std::string& path : paths) {
    platform::FoundEntry searched, looked, opened;
    const bool inSearch = Search(path, &searched);
    EXPECT_EQ(platform::FindFirstEntry(path, &looked), inSearch) << path;
    platform::ReadOnlyFile file;
    bool found = false;
    file.OpenIfFile(path, &opened, &found);
    EXPECT_EQ(found, inSearch) << path;
    if (!inSearch) continue;
    for (const platform::FoundEntry* entry : {&looked, &opened}) {
      EXPECT_EQ(lstrcmpiA(entry->name.c_str(), searched.name.c_str()), 0) << path << ": " << entry->name;
      EXPECT_EQ(entry->attributes, searched.attributes) << path;
      EXPECT_EQ(entry->stamp, searched.stamp) << path;
    }
  }
  SetFileAttributesA((base_ + "Song.mp3").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileCallWinTest, WholeFilesAreReadWhateverTheirSize) {
  std::string big(200000, 'b');
  big[199999] = 'e';
  Put("big.txt", big);
  Put("empty.txt", "");
  CreateDirectoryA((base_ + "folder.txt").c_str(), nullptr);
  std::string bytes = "old";
  ASSERT_TRUE(platform::ReadWholeFile(base_ + "big.txt", &bytes));
  EXPECT_EQ(bytes, big);
  ASSERT_TRUE(platform::ReadWholeFile(base_ + "EMPTY.TXT", &bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(platform::ReadWholeFile(base_ + "none.txt", &bytes));
  EXPECT_FALSE(platform::ReadWholeFile(base_ + "none\\x.txt", &bytes));
  EXPECT_FALSE(platform::ReadWholeFile(base_ + "folder.txt", &bytes));
  HANDLE held = CreateFileA((base_ + "big.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_THROW(platform::ReadWholeFile(base_ + "big.txt", &bytes), platform::Error);
  CloseHandle(held);
}

// The floor of a build is six calls per track and three per new derived
// file; an unchanged update's is one per track. More is a regression that the
// benchmark would show only as a slower ratio.
TEST_F(FileCallWinTest, ATrackAndADerivedFileCostTheFloorsCalls) {
  Put("t.mp3", std::string(3000, 'U') + "TAG" + std::string(125, 'a'));
  bench::FileCallTally tally;
  bench::CountFileCalls(&tally);
  TMP3Tag reader;
  TTag tag;
  platform::FoundEntry entry;
  bool found = false;
  reader.ReadTag(base_ + "t.mp3", &tag, &entry, &found);
  bench::CountFileCalls(nullptr);
  EXPECT_TRUE(found);
  EXPECT_TRUE(tag.HasTag);
  // The floor's six, and the check that keeps a pipe from being read.
  EXPECT_EQ(tally.Total(), 7u);
  EXPECT_EQ(tally.calls[static_cast<int>(FileCall::kGetFileType)], 1u);

  tally = bench::FileCallTally();
  bench::CountFileCalls(&tally);
  EXPECT_TRUE(platform::FindFirstEntry(base_ + "t.mp3", &entry));
  bench::CountFileCalls(nullptr);
  EXPECT_EQ(tally.Total(), 1u);

  tally = bench::FileCallTally();
  bench::CountFileCalls(&tally);
  platform::WriteRebuildableFile(base_ + "new.m3u", "line\r\n");
  bench::CountFileCalls(nullptr);
  EXPECT_EQ(tally.Total(), 3u);
  EXPECT_EQ(tally.calls[static_cast<int>(FileCall::kFlushFileBuffers)], 0u);

  // Over an old file: the safe replacement, flushed.
  tally = bench::FileCallTally();
  bench::CountFileCalls(&tally);
  platform::WriteRebuildableFile(base_ + "new.m3u", "other\r\n");
  bench::CountFileCalls(nullptr);
  EXPECT_EQ(tally.calls[static_cast<int>(FileCall::kFlushFileBuffers)], 1u);
  EXPECT_EQ(tally.calls[static_cast<int>(FileCall::kMoveFileEx)], 1u);
}

}  // namespace

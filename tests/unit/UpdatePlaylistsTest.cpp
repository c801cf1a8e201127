// The library update as the playlist window runs it, through a plain fake of
// the progress the window hands it: what reaches the window, how the update
// ended, and what is (not) written.
#include <filesystem>
#include <functional>

#include "LibraryTestSupport.h"
#include "library/MP3Tag.h"
#include "MainTestSupport.h"
#include "platform/posix/SimFileSystem.h"

namespace {

using libtest::Mp3WithTag;

// Records what the update told it, in order, and how it ended; stops when
// the program says a close waits, as the window's progress does.
class FakeRoad : public TUpdateProgress {
 public:
  explicit FakeRoad(TMain& main) : main_(main) {}
  void AddOne(TUpdateCounter counter) override {
    ++counts[static_cast<int>(counter)];
    if (OnOutcome) OnOutcome();
  }
  void SetProgressMaximum(int m) override { maximum = m; }
  void StepProgress() override { ++position; }
  void BeginPlaylist(const std::string& name) override { playlist = name; }
  void ReportFailure(const platform::Message& failure) override {
    events.push_back("failure " + playlist + "|" + failure.Utf8());
  }
  void ShowNotice(const platform::Message& notice) override { events.push_back("notice " + notice.Utf8()); }
  bool StopRequested() override { return main_.CloseAwaited(); }

  std::vector<std::string> Counters() const {
    return {std::to_string(counts[0]), std::to_string(counts[1]), std::to_string(counts[2]),
            std::to_string(counts[3])};
  }
  long counts[4] = {};
  int maximum = 0;
  int position = 0;
  std::string playlist;
  std::vector<std::string> events;
  std::function<void()> OnOutcome;

 private:
  TMain& main_;
};

class UpdatePlaylistsTest : public kvtest::MainFixture {
 protected:
  void SetUp() override {
    MainFixture::SetUp();
    WriteFile("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
    WriteFile("D:\\Music\\b.mp3", Mp3WithTag("Band B", "Second"));
    main_ = nullptr;
    Bare().Info.PlayListPath = "D:\\Lists";
  }
  // Runs one update through a fresh road.
  FakeRoad& Update(std::function<void()> onOutcome = nullptr) {
    road_ = std::make_unique<FakeRoad>(*main_);
    road_->OnOutcome = std::move(onOutcome);
    sim::ClearJournal();
    const TUpdateOutcome end = main_->UpdatePlaylists(*road_);
    road_->events.push_back(end.closeCame        ? "abandoned"
                            : end.folderUnusable ? "unusable " + end.folderUnusable->Utf8()
                                                 : "finished");
    return *road_;
  }
  std::vector<std::string> Names(const std::string& windowsFolder) {
    std::vector<std::string> names;
    const std::filesystem::path host = sim::HostPath(windowsFolder);
    if (!std::filesystem::exists(host)) return names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(host)) {
      names.push_back(e.path().string().substr(host.string().size()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::unique_ptr<FakeRoad> road_;
};

TEST_F(UpdatePlaylistsTest, FailuresAndNoticesArriveWithTheirPlaylistAndTheirPartsApart) {
  const std::string noList = "RIFF" + libtest::Le32(24) + "RMP3" + "data" + libtest::Le32(4) + "abcd" + "JUNK";
  WriteFile("D:\\Music\\broken.rmp", noList);
  WriteFile("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  WriteFile("D:\\Lists\\Mixed.m3u", "D:\\Music\\broken.rmp\r\nD:\\Music\\a.mp3\r\n");
  sim::LockFile("D:\\Lists\\A.m3u");
  FakeRoad& road = Update();
  EXPECT_EQ(road.events, (std::vector<std::string>{
                             "failure A.m3u|ファイル D:\\Lists\\A.m3u は開けません",
                             "notice LISTチャンクを識別できません。スキップします。\r\nD:\\Music\\broken.rmp",
                             "finished"}));
  EXPECT_EQ(road.Counters(), (std::vector<std::string>{"0", "0", "1", "0"}));
}

TEST_F(UpdatePlaylistsTest, ACloseDuringTheUpdateStopsItBeforeTheNextPlaylistThenClosesAgain) {
  for (const char* name : {"One", "Two", "Three"}) {
    WriteFile(std::string("D:\\Lists\\") + name + ".m3u", "D:\\Music\\a.mp3\r\n");
  }
  // The close arrives while the first playlist is built: the program stays.
  FakeRoad& road = Update([this] { EXPECT_FALSE(sim::CloseMainWindow()); });
  EXPECT_EQ(road.Counters(), (std::vector<std::string>{"0", "0", "1", "0"}));
  EXPECT_EQ(road.events, std::vector<std::string>{"abandoned"});
  EXPECT_EQ(sim::Journal(), std::vector<std::string>{"post close"});
  EXPECT_FALSE(main_->CloseAwaited());
  // What was not reached is left for the next update, which goes on (and
  // builds the first again: the stop left no record of how keys are made).
  EXPECT_EQ(Update().Counters(), (std::vector<std::string>{"0", "1", "2", "0"}));
}

TEST_F(UpdatePlaylistsTest, OneOfEachThenAllSkippedThenOneDeleted) {
  main_->Info.CheckMP3OnUpdate = false;
  WriteFile("D:\\Lists\\Same.m3u", "D:\\Music\\a.mp3\r\n");
  WriteFile("D:\\Lists\\Changed.m3u", "D:\\Music\\b.mp3\r\n");
  Update();
  sim::SetLastWriteTime("D:\\Lists\\Changed.m3u", 1100000000);
  WriteFile("D:\\Lists\\New.m3u", "D:\\Music\\a.mp3\r\n");
  FakeRoad& road = Update();
  EXPECT_EQ(road.Counters(), (std::vector<std::string>{"1", "1", "1", "0"}));
  EXPECT_EQ(road.maximum, 4);
  EXPECT_EQ(road.position, 3);
  EXPECT_EQ(road.events, std::vector<std::string>{"finished"});
  EXPECT_EQ(Update().Counters(), (std::vector<std::string>{"3", "0", "0", "0"}));
  // Deleting a playlist counts it as deleted and takes its files away.
  std::filesystem::remove(sim::HostPath("D:\\Lists\\Changed.m3u"));
  EXPECT_EQ(Update().Counters(), (std::vector<std::string>{"2", "0", "0", "1"}));
  for (const std::string& name : Names("C:\\Kelvane\\playlist")) {
    EXPECT_EQ(name.find("Changed"), std::string::npos) << name;
  }
}

TEST_F(UpdatePlaylistsTest, TheId3v2SettingReachesTheLibrary) {
  WriteFile("D:\\Music\\v2.mp3", "ID3\x03" + std::string("\0\0\0\0\0\x0F", 6) + "TPE1" +
                                        std::string("\0\0\0\x05\0\0\0", 7) + "V2Ar" + std::string(100, '\xFF'));
  WriteFile("D:\\Lists\\One.m3u", "D:\\Music\\v2.mp3\r\n");
  main_->Info.ReadID3v2 = true;
  Update();
  EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist\\'One' Artist.dat"), "V2Ar\r\n");
  // So does the album artist's, and changing it builds the playlist again.
  WriteFile("D:\\Music\\v2.mp3", libtest::Id3v2(3, libtest::Frame(3, "TPE1", libtest::Text(0, "V2Ar")) +
                                                     libtest::Frame(3, "TPE2", libtest::Text(0, "Band"))));
  main_->Info.GroupByAlbumArtist = true;
  EXPECT_EQ(Update().Counters(), (std::vector<std::string>{"0", "1", "0", "0"}));
  EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist\\'One' Artist.dat"), "Band\r\n");
  EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist.keys"), "Keys=2\r\nReadID3v2=1\r\nGroupByAlbumArtist=1\r\nPaths=2\r\nCodePage=932\r\n");
}

TEST_F(UpdatePlaylistsTest, TrailingBackslashesAreTrimmedAndTheTrimmedFolderIsSaved) {
  WriteFile("D:\\Lists\\One.m3u", "D:\\Music\\a.mp3\r\n");
  main_->Info.PlayListPath = "D:\\Lists\\\\\\";
  EXPECT_EQ(Update().Counters(), (std::vector<std::string>{"0", "0", "1", "0"}));
  EXPECT_EQ(main_->Info.PlayListPath, "D:\\Lists");
  EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist.log").substr(0, 19), "'D:\\Lists\\One.m3u'=");
  main_->SaveSettings();
  EXPECT_NE(ReadFile("C:\\Kelvane\\kelvane.ini").find("PlayListPath=D:\\Lists\r\n"), std::string::npos);
}

TEST_F(UpdatePlaylistsTest, AnUnusableFolderIsSaidAndNothingIsWritten) {
  WriteFile("C:\\Kelvane\\playlist.log", "'D:\\Old\\Gone.m3u'=1\r\n");
  WriteFile("C:\\Kelvane\\playlist\\Gone.log", "'Gone' Artist.dat\r\n");
  WriteFile("C:\\Kelvane\\playlist\\'Gone' Artist.dat", "Band\r\n");
  const std::vector<std::string> before = Names("C:\\Kelvane");
  const std::string missing =
      "プレイリストを格納するフォルダが、設定されていないか存在しません。\r\n\r\n設定し直してください。";
  const std::string cache = "プレイリストを格納するフォルダに、Kelvane がライブラリを作るフォルダ "
                            "C:\\Kelvane\\playlist が設定されています。\r\n\r\n設定し直してください。";
  const std::pair<const char*, std::string> cases[] = {
      {"", missing}, {"D:\\Nowhere", missing}, {"D:\\Music\\a.mp3", missing}, {"C:\\Kelvane\\playlist\\", cache}};
  for (const auto& [folder, text] : cases) {
    SCOPED_TRACE(folder);
    main_->Info.PlayListPath = folder;
    EXPECT_EQ(Update().events, std::vector<std::string>{"unusable " + text});
    EXPECT_EQ(Names("C:\\Kelvane"), before);
    EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist.log"), "'D:\\Old\\Gone.m3u'=1\r\n");
  }
}

}  // namespace

// The library update as the playlist window runs it: what the dialog shows,
// what happens to the playlist window, and what is (not) written.
#include <filesystem>

#include "LibraryTestSupport.h"
#include "library/MP3Tag.h"
#include "MainTestSupport.h"
#include "platform/posix/SimFileSystem.h"
#include "tests/sim/UpdateInfoStandIn.h"

namespace {

using libtest::Mp3WithTag;

class UpdatePlaylistsTest : public kvtest::MainFixture {
 protected:
  void SetUp() override {
    MainFixture::SetUp();
    updateinfostandin::Reset();
    WriteFile("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
    WriteFile("D:\\Music\\b.mp3", Mp3WithTag("Band B", "Second"));
    main_ = nullptr;
    Bare().Info.PlayListPath = "D:\\Lists";
  }
  void TearDown() override {
    updateinfostandin::Reset();
    MainFixture::TearDown();
  }
  updateinfostandin::Record& W() { return updateinfostandin::Calls(); }
  std::vector<std::string> Counters() {
    const auto& c = W().Last().counters;
    return {c[0], c[1], c[2], c[3]};
  }
  // Runs one update from a fresh record of events, after OK closed the
  // dialog of the last one.
  void Update() {
    if (updatewindows::UpdateInfo()) {
      ASSERT_TRUE(updateinfostandin::PressOK());
    }
    W().events.clear();
    sim::ClearJournal();
    main_->UpdatePlaylists();
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
};

TEST_F(UpdatePlaylistsTest, TheTagReadersNoticeIsABoxOverTheDialogThatTheUpdateWaitsFor) {
  const std::string noList = "RIFF" + libtest::Le32(24) + "RMP3" + "data" + libtest::Le32(4) + "abcd" + "JUNK";
  WriteFile("D:\\Music\\broken.rmp", noList);
  WriteFile("D:\\Lists\\Mixed.m3u", "D:\\Music\\broken.rmp\r\nD:\\Music\\a.mp3\r\n");
  // What the dialog showed while the box was up: the playlist not yet added.
  std::vector<std::string> addedAtBox;
  sim::SetMessageBoxHook([&](const std::string&) { addedAtBox.push_back(W().Last().counters[2]); });
  Update();
  ASSERT_EQ(W().dialogs.size(), 1u);
  EXPECT_EQ(sim::JournalLines("msgbox"),
            (std::vector<std::string>{"msgbox " + std::to_string(W().Last().handle) + " 0 Kelvane|" +
                                      kListChunkMissing + "\r\nD:\\Music\\broken.rmp"}));
  EXPECT_EQ(addedAtBox, (std::vector<std::string>{"0"}));
  EXPECT_EQ(Counters(), (std::vector<std::string>{"0", "0", "1", "0"}));
}

TEST_F(UpdatePlaylistsTest, OneOfEachEndsDoneWithTheBarFullAndABeep) {
  WriteFile("D:\\Lists\\Same.m3u", "D:\\Music\\a.mp3\r\n");
  WriteFile("D:\\Lists\\Changed.m3u", "D:\\Music\\b.mp3\r\n");
  main_->Info.CheckMP3OnUpdate = false;
  Update();
  sim::SetLastWriteTime("D:\\Lists\\Changed.m3u", 1100000000);
  WriteFile("D:\\Lists\\New.m3u", "D:\\Music\\a.mp3\r\n");
  Update();

  ASSERT_EQ(W().dialogs.size(), 2u);
  EXPECT_EQ(Counters(), (std::vector<std::string>{"1", "1", "1", "0"}));
  EXPECT_EQ(W().Last().maximum, 4);
  EXPECT_EQ(W().Last().position, 4);
  EXPECT_EQ(W().Last().result, "プレイリスト更新が完了しました。");
  EXPECT_TRUE(W().Last().okEnabled);
  EXPECT_FALSE(W().Last().closed);
  ASSERT_NE(updatewindows::UpdateInfo(), nullptr);
  EXPECT_EQ(updatewindows::UpdateInfo()->DialogHandle(), W().Last().handle);

  // Drawn before the work and at the end, both windows in between at most
  // once per playlist (at a pace, not per playlist), the trees cleared before
  // the dialog says it is done; the playlist window stays disabled for OK to
  // enable.
  const auto& e = W().events;
  ASSERT_GE(e.size(), 2u);
  EXPECT_EQ(e[0], "create");
  EXPECT_EQ(e[1], "repaint");
  EXPECT_LE(W().Count("frame repaint"), 3);
  EXPECT_LE(W().Count("draw changed"), 3);
  EXPECT_EQ(W().Count("repaint"), 2);
  EXPECT_EQ(W().Count("frame enable"), 0);
  EXPECT_EQ(W().Count("frame hide"), 0);
  const std::vector<std::string> tail(e.end() - 4, e.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"clear trees", "result プレイリスト更新が完了しました。", "ok enabled", "repaint"}));
  EXPECT_EQ(sim::Journal(), std::vector<std::string>{"beep"});
}

TEST_F(UpdatePlaylistsTest, SecondRunWithoutChangesSkipsEveryPlaylist) {
  main_->Info.CheckMP3OnUpdate = true;
  WriteFile("D:\\Lists\\One.m3u", "D:\\Music\\a.mp3\r\n");
  WriteFile("D:\\Lists\\Two.m3u", "D:\\Music\\b.mp3\r\nD:\\Music\\a.mp3\r\n");
  WriteFile("D:\\Lists\\Three.m3u", "#EXTM3U\r\nD:\\Music\\b.mp3\r\n");
  Update();
  EXPECT_EQ(Counters(), (std::vector<std::string>{"0", "0", "3", "0"}));
  Update();
  // A fresh dialog whose counters started from zero.
  ASSERT_EQ(W().dialogs.size(), 2u);
  EXPECT_EQ(Counters(), (std::vector<std::string>{"3", "0", "0", "0"}));
  EXPECT_EQ(W().Last().position, W().Last().maximum);
  // Deleting a playlist counts it as deleted and takes its files away.
  std::filesystem::remove(sim::HostPath("D:\\Lists\\Two.m3u"));
  Update();
  EXPECT_EQ(Counters(), (std::vector<std::string>{"2", "0", "0", "1"}));
  EXPECT_EQ(W().Last().maximum, 3);
  for (const std::string& name : Names("C:\\Kelvane\\playlist")) EXPECT_EQ(name.find("Two"), std::string::npos) << name;
}

TEST_F(UpdatePlaylistsTest, TheId3v2SettingReachesTheLibrary) {
  WriteFile("D:\\Music\\v2.mp3", "ID3\x03" + std::string("\0\0\0\0\0\x0F", 6) + "TPE1" +
                                        std::string("\0\0\0\x05\0\0\0", 7) + "V2Ar" + std::string(100, '\xFF'));
  WriteFile("D:\\Lists\\One.m3u", "D:\\Music\\v2.mp3\r\n");
  main_->Info.ReadID3v2 = true;
  Update();
  EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist\\'One' Artist.dat"), "V2Ar\r\n");
}

TEST_F(UpdatePlaylistsTest, TrailingBackslashesAreTrimmedAndTheTrimmedFolderIsSaved) {
  WriteFile("D:\\Lists\\One.m3u", "D:\\Music\\a.mp3\r\n");
  main_->Info.PlayListPath = "D:\\Lists\\\\\\";
  Update();
  EXPECT_EQ(main_->Info.PlayListPath, "D:\\Lists");
  EXPECT_EQ(Counters(), (std::vector<std::string>{"0", "0", "1", "0"}));
  EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist.log").substr(0, 19), "'D:\\Lists\\One.m3u'=");
  main_->SaveSettings();
  EXPECT_NE(ReadFile("C:\\Kelvane\\kelvane.ini").find("PlayListPath=D:\\Lists\r\n"), std::string::npos);
}

TEST_F(UpdatePlaylistsTest, MissingFolderWarnsHidesTheWindowAndWritesNothing) {
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
    Update();
    const std::string box = "msgbox " + std::to_string(W().Last().handle) + " 48 警告|" + text;
    EXPECT_EQ(sim::Journal(), std::vector<std::string>{box});
    const std::vector<std::string> events(W().events.begin() + 2, W().events.end());
    EXPECT_EQ(events, (std::vector<std::string>{"frame enable", "frame hide", "close", "options browse"}));
    EXPECT_TRUE(W().Last().closed);
    EXPECT_FALSE(W().Last().okEnabled);
    EXPECT_EQ(updatewindows::UpdateInfo(), nullptr);
    EXPECT_EQ(Names("C:\\Kelvane"), before);
    EXPECT_EQ(ReadFile("C:\\Kelvane\\playlist.log"), "'D:\\Old\\Gone.m3u'=1\r\n");
  }
}

TEST_F(UpdatePlaylistsTest, FailuresAreListedByPlaylistAfterTheDialogIsDone) {
  WriteFile("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  WriteFile("D:\\Lists\\B.m3u", "D:\\Music\\b.mp3\r\n");
  sim::LockFile("D:\\Lists\\A.m3u");
  bool doneWhenShown = false;
  sim::SetMessageBoxHook([&](const std::string&) {
    doneWhenShown = W().Last().okEnabled && W().Last().result == "プレイリスト更新が完了しました。";
  });
  Update();
  EXPECT_EQ(Counters(), (std::vector<std::string>{"0", "0", "1", "0"}));
  EXPECT_TRUE(W().Last().okEnabled);
  ASSERT_EQ(sim::Journal().size(), 2u);
  EXPECT_EQ(sim::Journal()[0], "beep");
  EXPECT_EQ(sim::Journal()[1], "msgbox " + std::to_string(W().Last().handle) +
                                    " 48 警告|プレイリスト更新中に処理できなかったものがあります。\r\n"
                                    "該当するプレイリストは次回の更新でもう一度処理します。\r\n"
                                    "\r\nA.m3u : ファイル D:\\Lists\\A.m3u は開けません");
  EXPECT_TRUE(doneWhenShown);
  sim::UnlockAllFiles();
  Update();
  EXPECT_EQ(Counters(), (std::vector<std::string>{"1", "0", "1", "0"}));
  EXPECT_EQ(sim::Journal(), std::vector<std::string>{"beep"});
}

TEST_F(UpdatePlaylistsTest, ManyFailuresAreCutShortWithTheirCount) {
  for (int i = 0; i < 20; ++i) {
    const std::string list = "D:\\Lists\\L" + std::to_string(100 + i) + ".m3u";
    WriteFile(list, "D:\\Music\\a.mp3\r\n");
    sim::LockFile(list);
  }
  Update();
  ASSERT_EQ(sim::JournalLines("msgbox ").size(), 1u);
  const std::string box = sim::JournalLines("msgbox ")[0];
  EXPECT_NE(box.find("\r\nほか 5 件"), std::string::npos);
  int lines = 0;
  for (std::size_t at = box.find(" : "); at != std::string::npos; at = box.find(" : ", at + 1)) ++lines;
  EXPECT_EQ(lines, 15);
}

}  // namespace

// The library update run from the playlist window's menu, in-process on real
// windows and a real file system: what the dialog shows, and the playlist
// window given back by OK.
#include <gtest/gtest.h>

#include <fstream>

#include "WinTestSupport.h"
#include "app/MainUnit.h"
#include "platform/Application.h"
#include "ui/FrameUnit.h"
#include "ui/UpdateInfoUnit.h"

namespace {

using wintest::WriteText;

void SetStamp(const std::string& path, WORD year) { wintest::SetWriteTime(path, {year, 5, 0, 6, 7, 8, 10, 0}); }

class UpdatePlaylistsWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = wintest::TempFolder("kelvane-update-test");
    lists_ = dir_ + "Lists";
    // A fresh folder each run: the previous run's library is gone.
    for (const char* name : {"Same", "Changed", "New"}) DeleteFileA((lists_ + "\\" + name + ".m3u").c_str());
    DeleteFileA((dir_ + "playlist.log").c_str());
    CreateDirectoryA(lists_.c_str(), nullptr);
    main_ = std::make_unique<TMain>();
    platform::app::CreateMainWindow(main_.get());
    main_->InitCommandTable();
    main_->InitDefaults();
    main_->Info.AppDir = dir_;
    main_->Info.PlayListPath = lists_;
    main_->Info.CheckMP3OnUpdate = false;
    main_->CreatePlaylistWindow();
    frame_ = dynamic_cast<TFrame*>(Frame);
    frame_->ShowFrame();
  }
  void TearDown() override {
    main_.reset();
  }
  // "プレイリスト更新" as the menu runs it.
  TUpdateInfo& RunUpdate() {
    frame_->menuClick("menuUpdate");
    EXPECT_NE(updatewindows::UpdateInfo(), nullptr);
    return *dynamic_cast<TUpdateInfo*>(updatewindows::UpdateInfo());
  }
  std::vector<std::string> Counters(TUpdateInfo& d) {
    return {d.lblSkipped.Text(), d.lblUpdated.Text(), d.lblAdded.Text(), d.lblDeleted.Text()};
  }
  void PressOK(TUpdateInfo& d) {
    SendMessageA(d.btnOK.Handle(), BM_CLICK, 0, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  std::string dir_, lists_;
  std::unique_ptr<TMain> main_;
  TFrame* frame_ = nullptr;
};

TEST_F(UpdatePlaylistsWinTest, OneOfEachThenAllSkippedWithTheWindowGivenBackByOK) {
  WriteText(lists_ + "\\Same.m3u", "");
  WriteText(lists_ + "\\Changed.m3u", "");
  main_->Info.PlayListPath = lists_ + "\\\\";
  PressOK(RunUpdate());
  EXPECT_EQ(main_->Info.PlayListPath, lists_);
  SetStamp(lists_ + "\\Changed.m3u", 2010);
  WriteText(lists_ + "\\New.m3u", "");

  TUpdateInfo& d = RunUpdate();
  const HWND dialog = d.Handle();
  EXPECT_EQ(Counters(d), (std::vector<std::string>{"1", "1", "1", "0"}));
  EXPECT_EQ(SendMessageA(d.ProgressBar.Handle(), PBM_GETRANGE, FALSE, 0), 4);
  EXPECT_EQ(d.ProgressPosition(), 4);
  EXPECT_EQ(d.lblResult.Text(), "プレイリスト更新が完了しました。");
  EXPECT_TRUE(IsWindowEnabled(d.btnOK.Handle()));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), frame_->Handle());
  // The playlist window waits for OK, its list already refilled.
  EXPECT_FALSE(IsWindowEnabled(frame_->Handle()));
  EXPECT_EQ(frame_->TreePlaylist.Nodes().size(), 3u);
  EXPECT_TRUE(frame_->TreeArtist.Nodes().empty());
  EXPECT_TRUE(frame_->TreeAlbum.Nodes().empty());
  wintest::SaveWindowImage(dialog, "update-info-in-program");
  PressOK(d);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(updatewindows::UpdateInfo(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(frame_->Handle()));

  TUpdateInfo& again = RunUpdate();
  EXPECT_EQ(Counters(again), (std::vector<std::string>{"3", "0", "0", "0"}));
  PressOK(again);
}

}  // namespace

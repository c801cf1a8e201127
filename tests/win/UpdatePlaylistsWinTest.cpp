// The library update run from the playlist window's menu, in-process on real
// windows and a real file system: what the dialog shows, and the playlist
// window given back by OK.
#include <gtest/gtest.h>

#include <fstream>

#include "WinTestSupport.h"
#include "app/MainUnit.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"
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
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((lists_ + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
      DeleteFileA((lists_ + "\\" + found.cFileName).c_str());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
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
    platform::RedirectMessageBoxes(nullptr);
    for (HANDLE h : locks_) CloseHandle(h);
    main_.reset();
  }
  // Held open without sharing: the update cannot read it.
  void Lock(const std::string& path) {
    locks_.push_back(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  // The boxes shown, as the system's text.
  std::vector<std::string> boxes_;
  std::vector<HANDLE> locks_;
  // "プレイリスト更新" as the menu runs it.
  TUpdateInfo& RunUpdate() {
    frame_->menuClick("menuUpdate");
    EXPECT_NE(frame_->CurrentUpdateInfo(), nullptr);
    return *frame_->CurrentUpdateInfo();
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
  EXPECT_EQ(frame_->CurrentUpdateInfo(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(frame_->Handle()));
  EXPECT_EQ(GetFocus(), frame_->TreePlaylist.Handle());

  TUpdateInfo& again = RunUpdate();
  EXPECT_EQ(Counters(again), (std::vector<std::string>{"3", "0", "0", "0"}));
  PressOK(again);
}

// The failure list: each failure led by its playlist, its fixed text read as
// Japanese and its name as the system's text on any code page (the en_US run
// of this test has code page 1252, whose "é" is a lead byte of code page
// 932); then cut short with the count of the rest.
TEST_F(UpdatePlaylistsWinTest, FailuresAreListedAfterTheDoneStateEachPartByItsOwnRule) {
  const bool western = GetACP() == 1252;
  const std::string name = western ? "Beyonc\xE9" : "\x93\x8C\x8B\x9E";  // 東京 in code page 932
  const std::u16string wideName = western ? u"Beyonc\u00E9" : u"\u6771\u4EAC";
  const std::string list = lists_ + "\\" + name + ".m3u";
  WriteText(list, "");
  Lock(list);
  bool doneWhenShown = false;
  platform::RedirectMessageBoxes([&](const std::string& text, const std::string&) {
    TUpdateInfo* d = frame_->CurrentUpdateInfo();
    doneWhenShown = d && IsWindowEnabled(d->btnOK.Handle());
    boxes_.push_back(text);
    return 1;
  });
  PressOK(RunUpdate());
  const std::u16string wideList = platform::AnsiToUtf16(lists_) + u"\\" + wideName + u".m3u";
  const std::u16string expected =
      u"\u30D7\u30EC\u30A4\u30EA\u30B9\u30C8\u66F4\u65B0\u4E2D\u306B\u51E6\u7406\u3067\u304D\u306A\u304B\u3063\u305F"
      u"\u3082\u306E\u304C\u3042\u308A\u307E\u3059\u3002\r\n"
      u"\u8A72\u5F53\u3059\u308B\u30D7\u30EC\u30A4\u30EA\u30B9\u30C8\u306F\u6B21\u56DE\u306E\u66F4\u65B0\u3067"
      u"\u3082\u3046\u4E00\u5EA6\u51E6\u7406\u3057\u307E\u3059\u3002\r\n\r\n" +
      wideName + u".m3u : \u30D5\u30A1\u30A4\u30EB " + wideList + u" \u306F\u958B\u3051\u307E\u305B\u3093";
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], platform::Utf16ToUtf8(expected));
  EXPECT_TRUE(doneWhenShown);

  for (int i = 0; i < 17; ++i) {
    const std::string more = lists_ + "\\L" + std::to_string(100 + i) + ".m3u";
    WriteText(more, "");
    Lock(more);
  }
  boxes_.clear();
  PressOK(RunUpdate());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find(platform::Utf16ToUtf8(u"\r\n\u307B\u304B 3 \u4EF6")), std::string::npos) << boxes_[0];
  int lines = 0;
  for (std::size_t at = boxes_[0].find(" : "); at != std::string::npos; at = boxes_[0].find(" : ", at + 1)) ++lines;
  EXPECT_EQ(lines, 15);
}

}  // namespace

// The options dialog built in-process over a main object: its controls as
// the user sees them (captions, rectangles, hints, tab order), its opening
// state and corner, the click rules through real clicks, OK, Cancel and the
// close box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "WinTestSupport.h"
#include "app/MainUnit.h"
#include "platform/Dialogs.h"
#include "ui/OptionTexts.h"
#include "ui/FrameUnit.h"
#include "ui/OptionUnit.h"

namespace {

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

// A control's rectangle in its form's client area.
RECT InClient(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Click(gui::Button& button) { SendMessageA(button.Handle(), BM_CLICK, 0, 0); }

class OptionFormWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_.InitCommandTable();
    main_.InitDefaults();
    main_.Info.PlaylistPos = 3;
    main_.Info.CloseOnStop = true;
    main_.Info.AutoHide = true;
    main_.Info.CheckMP3OnUpdate = true;
    const std::string icons = wintest::EnvPath("KELVANE_SOURCE") + "\\resources\\";
    main_.Info.AppDir = icons;
    main_.IconPlay = std::make_unique<TTrayIcon>();
    main_.IconEject = std::make_unique<TTrayIcon>();
    main_.IconPlay->SetInfo(2, icons + kc::kIconFiles[2]);
    main_.IconEject->SetInfo(6, icons + kc::kIconFiles[6]);
    platform::RedirectMessageBoxes([this](const std::string& text, const std::string&) {
      boxes_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    platform::RedirectMessageBoxes(nullptr);
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  TOptionForm* Open() {
    TOptionForm* form = frame_.OpenOptions(nullptr, false, [this] { ++treeLoads_; });
    window_ = form->Handle();
    return form;
  }

  TMain main_;
  TFrame frame_{nullptr};
  HWND window_ = nullptr;
  int treeLoads_ = 0;
  std::vector<std::string> boxes_;
};

TEST_F(OptionFormWinTest, EveryControlSitsAtItsPlaceWithItsCaptionAndHint) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  TOptionForm* f = Open();
  char text[256] = {};
  GetWindowTextA(f->Handle(), text, sizeof(text));
  EXPECT_EQ(std::string(text), optiontext::kCaption);
  RECT client{};
  GetClientRect(f->Handle(), &client);
  EXPECT_EQ(Str(client), "0,0 505x260");
  const LONG style = GetWindowLongA(f->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongA(f->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(SendMessageA(f->Handle(), WM_GETICON, ICON_SMALL, 0), 0);

  struct Row {
    gui::Control* control;
    std::string caption;
    const char* rect;
  };
  namespace t = optiontext;
  const Row rows[] = {
      {&f->GroupTray, t::kGroupTray, "8,8 241x137"},
      {&f->chkPrev, t::kPrev, "16,24 73x17"},
      {&f->chkPause, t::kPause, "16,40 81x17"},
      {&f->chkPlayChangePause, t::kPlayChangePause, "32,56 201x17"},
      {&f->chkStop, t::kStop, "16,72 73x17"},
      {&f->chkCloseOnStop, t::kCloseOnStop, "32,88 185x17"},
      {&f->chkNext, t::kNext, "16,104 73x17"},
      {&f->chkEject, t::kEject, "16,120 73x17"},
      {&f->GroupStartup, t::kGroupStartup, "256,8 241x57"},
      {&f->chkStartup, t::kStartup, "264,24 137x17"},
      {&f->chkPlayOnStartup, t::kPlayOnStartup, "264,40 201x17"},
      {&f->GroupEffect, t::kGroupEffect, "256,72 241x121"},
      {&f->chkFadeoutOnStop, t::kFadeoutOnStop, "264,88 193x17"},
      {&f->chkFadeoutOnChange, t::kFadeoutOnChange, "264,104 225x17"},
      {&f->chkAutoHide, t::kAutoHide, "264,128 177x17"},
      {&f->Label1, t::kLabel1, "272,148 152x12"},
      {&f->chkNotifyTrack, t::kNotifyTrack, "264,168 177x17"},
      {&f->GroupPlayList, t::kGroupPlayList, "8,152 241x105"},
      {&f->chkCheckMP3OnUpdate, t::kCheckMP3OnUpdate, "16,168 169x17"},
      {&f->editPlayListPath, "", "16,208 185x20"},
      {&f->btnBrouth, t::kBrowse, "200,208 35x20"},
      {&f->chkReadID3v2, t::kReadID3v2, "16,232 169x17"},
      {&f->btnCancel, t::kCancel, "352,216 75x25"},
      {&f->btnOK, t::kOK, "432,216 64x25"},
  };
  // A caption that does not fit its font may widen its box to the right (see
  // below): the designed place and height stay, the width is at least the
  // designed one.
  const auto expectPlaced = [](HWND control, const char* rect, const std::string& name) {
    int x = 0, y = 0, w = 0, h = 0;
    std::sscanf(rect, "%d,%d %dx%d", &x, &y, &w, &h);
    const RECT r = InClient(control);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.bottom - r.top}), (std::vector<LONG>{x, y, h})) << name;
    EXPECT_GE(r.right - r.left, w) << name;
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.control->Text(), row.caption) << row.control->Name;
    expectPlaced(row.control->Handle(), row.rect, row.control->Name);
  }
  EXPECT_EQ(f->editPlayListPath.EditLabel.Text(), t::kPlayListPathLabel);
  expectPlaced(f->editPlayListPath.EditLabel.Handle(), "16,193 185x12", "EditLabel");
  EXPECT_TRUE(GetWindowLongW(f->btnOK.Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_FALSE(GetWindowLongW(f->btnCancel.Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
  RECT combo{};
  GetWindowRect(f->cmbPlaylistPos.Handle(), &combo);
  MapWindowPoints(nullptr, f->Handle(), reinterpret_cast<POINT*>(&combo), 2);
  EXPECT_EQ(combo.left, 432);
  EXPECT_EQ(combo.top, 144);
  EXPECT_EQ(combo.right - combo.left, 57);
  ASSERT_EQ(f->cmbPlaylistPos.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    char item[32] = {};
    SendMessageA(f->cmbPlaylistPos.Handle(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(std::string(item), t::kPositions[i]);
  }

  // Hints: CR LF line breaks, an empty line as a second one.
  EXPECT_EQ(f->chkPlayChangePause.Hint,
            "再生中に、PlayボタンをPauseボタンに切り替えます。\r\n\r\nこれによって、PlayボタンとPauseボタンを同時に表示"
            "する必要がなくなり\r\nタスクトレイの占有スペースを節約できます。");
  for (gui::Control* c : {static_cast<gui::Control*>(&f->chkEject), static_cast<gui::Control*>(&f->chkCloseOnStop),
                          static_cast<gui::Control*>(&f->chkStartup), static_cast<gui::Control*>(&f->chkPlayOnStartup),
                          static_cast<gui::Control*>(&f->chkFadeoutOnStop),
                          static_cast<gui::Control*>(&f->chkFadeoutOnChange),
                          static_cast<gui::Control*>(&f->chkAutoHide), static_cast<gui::Control*>(&f->cmbPlaylistPos),
                          static_cast<gui::Control*>(&f->editPlayListPath),
                          static_cast<gui::Control*>(&f->chkCheckMP3OnUpdate),
                          static_cast<gui::Control*>(&f->chkReadID3v2),
                          static_cast<gui::Control*>(&f->chkNotifyTrack)}) {
    EXPECT_FALSE(c->Hint.empty()) << c->Name;
    EXPECT_EQ(c->Hint.find('\n') == std::string::npos || c->Hint.find("\r\n") != std::string::npos, true);
  }
  for (gui::Control* c : {static_cast<gui::Control*>(&f->chkPrev), static_cast<gui::Control*>(&f->btnOK)}) {
    EXPECT_TRUE(c->Hint.empty()) << c->Name;
  }
  EXPECT_EQ(f->FolderDialog.Title, t::kFolderDialogTitle);
}

TEST_F(OptionFormWinTest, TabGoesThroughTheGroupsWithOkAfterTheStartupGroup) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  TOptionForm* f = Open();
  const std::vector<gui::Control*> order = {
      &f->chkPrev,          &f->chkPause,         &f->chkPlayChangePause, &f->chkStop,
      &f->chkCloseOnStop,   &f->chkNext,          &f->chkEject,           &f->chkStartup,
      &f->chkPlayOnStartup, &f->btnOK,            &f->chkFadeoutOnStop,   &f->chkFadeoutOnChange,
      &f->chkAutoHide,      &f->cmbPlaylistPos,   &f->chkNotifyTrack,   &f->chkCheckMP3OnUpdate, &f->editPlayListPath,
      &f->btnBrouth,        &f->chkReadID3v2,     &f->btnCancel};
  // Focus starts on OK.
  EXPECT_EQ(GetFocus(), f->btnOK.Handle());
  HWND at = f->chkPrev.Handle();
  for (std::size_t i = 1; i < order.size(); ++i) {
    at = GetNextDlgTabItem(f->Handle(), at, FALSE);
    EXPECT_EQ(at, order[i]->Handle()) << "after " << order[i - 1]->Name;
  }
}

TEST_F(OptionFormWinTest, OpensWithTheSettingsAndTheRulesFollowRealClicks) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  main_.Info.ShowPauseIcon = true;
  main_.Info.PlayChangePause = true;
  main_.Info.ShowStopIcon = false;
  main_.Info.PlaylistPos = 1;
  main_.Info.PlayListPath = "D:\\Lists";
  TOptionForm* f = Open();
  EXPECT_FALSE(f->chkPause.Checked());
  EXPECT_TRUE(f->chkPlayChangePause.Checked());
  EXPECT_FALSE(f->chkStop.Checked());
  EXPECT_TRUE(f->chkCloseOnStop.Checked());
  EXPECT_FALSE(f->chkCloseOnStop.Enabled());
  EXPECT_EQ(f->cmbPlaylistPos.ItemIndex(), 1);
  EXPECT_EQ(f->editPlayListPath.Text(), "D:\\Lists");

  Click(f->chkPause);
  EXPECT_TRUE(f->chkPause.Checked());
  EXPECT_FALSE(f->chkPlayChangePause.Checked());
  Click(f->chkStop);
  EXPECT_TRUE(f->chkCloseOnStop.Enabled());
  Click(f->chkCloseOnStop);
  Click(f->chkStop);
  EXPECT_FALSE(f->chkCloseOnStop.Enabled());
  Click(f->chkEject);
  f->editPlayListPath.SetText("E:\\Other");

  Click(f->btnOK);
  // Freed by the playlist window once the close it posted arrives.
  EXPECT_TRUE(wintest::WaitFor([&] { return !IsWindow(window_); }, 2000));
  EXPECT_TRUE(main_.Info.ShowPauseIcon);
  EXPECT_FALSE(main_.Info.PlayChangePause);
  EXPECT_FALSE(main_.Info.ShowStopIcon);
  EXPECT_FALSE(main_.Info.CloseOnStop);
  EXPECT_FALSE(main_.Info.ShowEjectIcon);
  EXPECT_FALSE(main_.IconEject->InTray());
  EXPECT_EQ(main_.Info.PlayListPath, "E:\\Other");
  EXPECT_EQ(main_.Info.PlaylistPos, 1);
  EXPECT_EQ(main_.Player.LastPlayState, kc::psNoPlayer);
  EXPECT_EQ(treeLoads_, 1);
}

TEST_F(OptionFormWinTest, CancelAndTheCloseBoxChangeNothing) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  for (int way = 0; way < 2; ++way) {
    TOptionForm* f = Open();
    Click(f->chkPrev);
    f->editPlayListPath.SetText("X:\\");
    if (way == 0) {
      Click(f->btnCancel);
    } else {
      SendMessageA(f->Handle(), WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(wintest::WaitFor([&] { return !IsWindow(window_); }, 2000));
    EXPECT_TRUE(main_.Info.ShowPrevIcon);
    EXPECT_EQ(main_.Info.PlayListPath, "");
    EXPECT_EQ(treeLoads_, 0);
  }
}

BOOL CALLBACK CountOptionDialog(HWND hwnd, LPARAM counter) {
  char text[128] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  if (IsWindowVisible(hwnd) && std::string(text) == optiontext::kCaption) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int OptionDialogsOpen() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountOptionDialog, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST_F(OptionFormWinTest, AskingAgainBringsTheOpenDialogForwardSoNoOtherOneUndoesItsOK) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  main_.Info.AutoHide = false;
  TOptionForm* f = Open();
  Click(f->chkAutoHide);
  // "設定" again, and the library update's missing folder: the same dialog,
  // with what the user has done in it so far.
  EXPECT_EQ(frame_.OpenOptions(nullptr, false, [] {}), f);
  EXPECT_EQ(frame_.OpenOptions(nullptr, false, [] {}), f);
  EXPECT_EQ(OptionDialogsOpen(), 1);
  EXPECT_TRUE(f->chkAutoHide.Checked());
  Click(f->btnOK);
  EXPECT_TRUE(main_.Info.AutoHide);
  EXPECT_EQ(OptionDialogsOpen(), 0);
  EXPECT_EQ(treeLoads_, 1);

  // Once closed, the next one is a new dialog showing the settings.
  TOptionForm* next = Open();
  EXPECT_TRUE(next->chkAutoHide.Checked());
  Click(next->btnCancel);
  // One destroyed with its owner, never closed, is not brought back either.
  TOptionForm* orphan = Open();
  DestroyWindow(orphan->Handle());
  TOptionForm* fresh = Open();
  EXPECT_TRUE(IsWindow(fresh->Handle()));
  EXPECT_EQ(OptionDialogsOpen(), 1);
  Click(fresh->btnCancel);
}

TEST_F(OptionFormWinTest, TheDialogOpensInTheCornerOfTheWorkArea) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  for (int pos = 0; pos < 4; ++pos) {
    main_.Info.PlaylistPos = pos;
    TOptionForm* f = Open();
    RECT r{};
    GetWindowRect(f->Handle(), &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(r.left, pos >= 2 ? area.right - w : 0) << pos;
    EXPECT_EQ(r.top, pos % 2 == 1 ? area.bottom - h : 0) << pos;
    Click(f->btnCancel);
  }
}

TEST_F(OptionFormWinTest, CaptionsThatDoNotFitGrowToTheirGroupsInnerEdgeAtEveryDpi) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  for (const int dpi : {96, 144}) {
    gui::SetDpiForTesting(dpi);
    TOptionForm* f = Open();
    const auto textWidth = [](const gui::Window& w) { return static_cast<int>(gui::CaptionExtent(w).cx); };
    const int margin = gui::Scale(8);
    const int glyph = GetSystemMetrics(SM_CXMENUCHECK);
    struct Box {
      gui::Button* box;
      gui::GroupBox* group;
    };
    for (const Box& b : {Box{&f->chkPlayChangePause, &f->GroupTray}, Box{&f->chkCloseOnStop, &f->GroupTray},
                         Box{&f->chkPlayOnStartup, &f->GroupStartup}, Box{&f->chkFadeoutOnChange, &f->GroupEffect},
                         Box{&f->chkAutoHide, &f->GroupEffect}, Box{&f->chkCheckMP3OnUpdate, &f->GroupPlayList}}) {
      const RECT r = InClient(b.box->Handle());
      const int edge = InClient(b.group->Handle()).right - margin;
      // Its text after the glyph, or all the room up to the edge.
      EXPECT_GE(r.right, std::min(static_cast<int>(r.left) + glyph + textWidth(*b.box), edge))
          << b.box->Name << " at " << dpi;
      EXPECT_LE(r.right, edge) << b.box->Name << " at " << dpi;
    }
    // The label beside the combo box stops at the box; the edit's label above
    // the edit box has the whole row.
    const RECT label = InClient(f->Label1.Handle());
    EXPECT_LE(label.right, InClient(f->cmbPlaylistPos.Handle()).left) << dpi;
    const RECT editLabel = InClient(f->editPlayListPath.EditLabel.Handle());
    EXPECT_GE(editLabel.right, std::min(static_cast<int>(editLabel.left) + textWidth(f->editPlayListPath.EditLabel),
                                        static_cast<int>(InClient(f->GroupPlayList.Handle()).right) - margin))
        << dpi;
    Click(f->btnCancel);
  }
  gui::SetDpiForTesting(0);
}

TEST_F(OptionFormWinTest, SizesFollowTheSystemDpi) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  gui::SetDpiForTesting(144);
  TOptionForm* f = Open();
  RECT client{};
  GetClientRect(f->Handle(), &client);
  EXPECT_EQ(Str(client), "0,0 758x390");
  EXPECT_EQ(Str(InClient(f->btnOK.Handle())), "648,324 96x38");
  Click(f->btnCancel);
  gui::SetDpiForTesting(0);
}

}  // namespace

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
#include "ui/FormTexts.h"
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
  wchar_t text[256] = {};
  GetWindowTextW(f->Handle(), text, 256);
  EXPECT_EQ(wintest::Utf8Of(text), optiontext::kCaption);
  RECT client{};
  GetClientRect(f->Handle(), &client);
  EXPECT_EQ(client.bottom, 292);
  EXPECT_GE(client.right, 505);
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
      {&f->GroupPlayList, t::kGroupPlayList, "8,152 241x137"},
      {&f->chkCheckMP3OnUpdate, t::kCheckMP3OnUpdate, "16,168 169x17"},
      {&f->editPlayListPath, "", "16,208 185x20"},
      {&f->btnBrouth, t::kBrowse, "200,208 35x20"},
      {&f->chkReadID3v2, t::kReadID3v2, "16,232 169x17"},
      {&f->chkGroupByAlbumArtist, t::kGroupByAlbumArtist, "32,248 201x17"},
      {&f->chkUnicodeLibrary, t::kUnicodeLibrary, "16,264 169x17"},
      {&f->btnCancel, t::kCancel, "352,264 75x25"},
      {&f->btnOK, uitext::kOK, "432,264 64x25"},
  };
  // A caption that does not fit its font widens its box, and its column, to
  // the right (see below), and a taller line makes it taller about its
  // centre: the designed centre stays, nothing moves left, the width and
  // height are at least the designed ones.
  const auto expectPlaced = [](HWND control, const char* rect, const std::string& name) {
    int x = 0, y = 0, w = 0, h = 0;
    std::sscanf(rect, "%d,%d %dx%d", &x, &y, &w, &h);
    const RECT r = InClient(control);
    EXPECT_NEAR(r.top + r.bottom, 2 * y + h, 1) << name;
    EXPECT_GE(r.bottom - r.top, h) << name;
    EXPECT_GE(r.left, x) << name;
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
  EXPECT_GE(combo.left, 432);
  EXPECT_EQ(combo.top, 144);
  EXPECT_EQ(combo.right - combo.left, 57);
  ASSERT_EQ(SendMessageW(f->cmbPlaylistPos.Handle(), CB_GETCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) {
    wchar_t item[32] = {};
    SendMessageW(f->cmbPlaylistPos.Handle(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(wintest::Utf8Of(item), t::kPositions[i]);
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
                          static_cast<gui::Control*>(&f->chkGroupByAlbumArtist),
                          static_cast<gui::Control*>(&f->chkUnicodeLibrary),
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
      &f->btnBrouth,        &f->chkReadID3v2,     &f->chkUnicodeLibrary, &f->btnCancel};
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
  // The album artist box is usable while ID3v2 tags are read.
  EXPECT_FALSE(f->chkGroupByAlbumArtist.Enabled());
  Click(f->chkReadID3v2);
  EXPECT_TRUE(f->chkGroupByAlbumArtist.Enabled());
  Click(f->chkGroupByAlbumArtist);

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
  EXPECT_TRUE(main_.Info.ReadID3v2 && main_.Info.GroupByAlbumArtist);
  EXPECT_EQ(main_.Player.LastPlayState, kc::psNoPlayer);
  EXPECT_EQ(treeLoads_, 1);
}

TEST_F(OptionFormWinTest, TheShortcutPageShowsTheStoredKeysAndTheDialogsOkStoresAndClaimsThem) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  const platform::HotKey prev{MOD_CONTROL | MOD_ALT, VK_PRIOR}, stop{MOD_WIN | MOD_CONTROL, 'S'};
  main_.Info.UseHotKeys = true;
  main_.Info.HotKeyPrev = prev;
  main_.Info.HotKeyStop = stop;
  TOptionForm* f = Open();
  Click(f->btnShortcuts);
  TShortcutForm* p = f->ShortcutPage();
  ASSERT_TRUE(p && p->Visible());
  EXPECT_FALSE(IsWindowEnabled(f->Handle()));
  EXPECT_TRUE(p->chkUseHotKeys.Checked());
  EXPECT_FALSE(p->chkUseMediaKeys.Checked());
  EXPECT_EQ(p->hkPrev.Key(), prev);
  // Marked extended, the field names the key PageUp, not the number pad's 9.
  EXPECT_EQ(SendMessageW(p->hkPrev.Handle(), HKM_GETHOTKEY, 0, 0),
            MAKEWORD(VK_PRIOR, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT));
  EXPECT_EQ(p->hkStop.Key(), (platform::HotKey{MOD_CONTROL, 'S'}));
  EXPECT_EQ(p->hkPlaylist.Key(), platform::HotKey());
  Click(p->chkUseHotKeys);
  EXPECT_FALSE(p->hkNext.Enabled());
  Click(p->chkUseHotKeys);
  EXPECT_TRUE(p->hkNext.Enabled());

  // A bare key typed into a field is taken with Ctrl+Alt.
  SendMessageW(p->hkNext.Handle(), WM_KEYDOWN, 'N', 0);
  SendMessageW(p->hkNext.Handle(), WM_KEYUP, 'N', 0xC0000000);
  EXPECT_EQ(p->hkNext.Key(), (platform::HotKey{MOD_CONTROL | MOD_ALT, 'N'}));
  Click(p->btnCancel);
  EXPECT_FALSE(p->Visible());
  EXPECT_TRUE(IsWindowEnabled(f->Handle()));
  Click(f->btnShortcuts);
  EXPECT_EQ(p->hkNext.Key(), platform::HotKey()) << "Cancel kept the page's change";

  // Two fields with one key: the page stays until they differ.
  p->hkNext.SetKey(prev);
  Click(p->btnOK);
  EXPECT_TRUE(p->Visible());
  EXPECT_EQ(boxes_, (std::vector<std::string>{optiontext::kShortcutTwice}));
  p->hkNext.SetKey({MOD_CONTROL | MOD_SHIFT, 'N'});
  Click(p->chkUseMediaKeys);
  Click(p->btnOK);
  EXPECT_FALSE(p->Visible());
  EXPECT_TRUE(IsWindowEnabled(f->Handle()));
  EXPECT_FALSE(main_.Info.UseMediaKeys) << "stored before the dialog's OK";
  Click(f->btnOK);
  EXPECT_TRUE(wintest::WaitFor([&] { return !IsWindow(window_); }, 2000));
  EXPECT_TRUE(main_.Info.UseMediaKeys);
  EXPECT_EQ(main_.Info.HotKeyNext, (platform::HotKey{MOD_CONTROL | MOD_SHIFT, 'N'}));
  EXPECT_EQ(main_.Info.HotKeyPrev, prev);
  EXPECT_EQ(main_.Info.HotKeyStop, stop) << "the field cannot show Win; untouched, the key keeps it";
  // The program holds the keys now: no one else can have them.
  EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, 'N'));
  EXPECT_FALSE(RegisterHotKey(nullptr, 1, 0, VK_MEDIA_NEXT_TRACK));
  main_.ReleaseHotKeys();
  ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, 'N'));
  UnregisterHotKey(nullptr, 1);
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
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  if (IsWindowVisible(hwnd) && wintest::Utf8Of(text) == optiontext::kCaption) ++*reinterpret_cast<int*>(counter);
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

// In the font really chosen (the described face or the system's message
// font), at every DPI: every caption fits its control, every control stays
// within its group, no group runs into another, and OK and Cancel end with
// the playlist group, inside the dialog.
TEST_F(OptionFormWinTest, EveryCaptionFitsAndTheButtonsEndWithTheGroupsAtEveryDpi) {
  if (wintest::EnvPath("KELVANE_SOURCE").empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  for (const int dpi : {96, 144}) {
    gui::SetDpiForTesting(dpi);
    TOptionForm* f = Open();
    RECT client{};
    GetClientRect(f->Handle(), &client);
    std::vector<RECT> groups;
    for (gui::GroupBox* g : {&f->GroupTray, &f->GroupStartup, &f->GroupEffect, &f->GroupPlayList}) {
      groups.push_back(InClient(g->Handle()));
    }
    for (gui::Control* c : f->Controls()) {
      const RECT r = InClient(c->Handle());
      EXPECT_LE(r.right, client.right) << c->Name << " at " << dpi;
      int beside = 0;
      if (gui::Window* caption = c->FittedCaption(&beside)) {
        const RECT t = InClient(caption->Handle());
        EXPECT_GE(t.right - t.left, gui::CaptionExtent(*caption).cx + beside) << c->Name << " at " << dpi;
        EXPECT_GE(t.bottom - t.top, gui::CaptionExtent(*caption).cy) << c->Name << " at " << dpi;
      }
      for (const RECT& g : groups) {
        const bool starts = r.left > g.left && r.left < g.right && r.top > g.top && r.top < g.bottom;
        if (starts) EXPECT_LE(r.right, g.right) << c->Name << " at " << dpi;
      }
    }
    for (std::size_t a = 0; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b) {
        RECT both{};
        EXPECT_FALSE(IntersectRect(&both, &groups[a], &groups[b])) << a << "," << b << " at " << dpi;
      }
    }
    EXPECT_EQ(InClient(f->btnOK.Handle()).bottom, groups[3].bottom) << dpi;
    EXPECT_EQ(InClient(f->btnCancel.Handle()).bottom, groups[3].bottom) << dpi;
    wintest::SaveWindowImage(f->Handle(), "options-" + std::to_string(dpi));
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
  // Wider only by what the captions needed.
  EXPECT_EQ(client.bottom, 438);
  EXPECT_GE(client.right, 758);
  const RECT ok = InClient(f->btnOK.Handle());
  EXPECT_EQ(Str(ok), std::to_string(ok.left) + ",396 96x38");
  EXPECT_EQ(client.right - ok.right, 758 - 744);
  Click(f->btnCancel);
  gui::SetDpiForTesting(0);
}

}  // namespace

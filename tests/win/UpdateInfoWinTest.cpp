// The update dialog built in-process on real windows: its frame and controls,
// where it stands, and how it can be closed without stranding the playlist
// window.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "WinTestSupport.h"
#include "ui/UpdateInfoUnit.h"

namespace {

std::string TextOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return wintest::Utf8Of(buffer);
}

// A rectangle in the client coordinates of the control's parent.
RECT RectInParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A label that fits its text keeps its place; its size is its font's.
void ExpectRect(HWND hwnd, int left, int top, int width, int height, bool fitsText, const char* name) {
  const RECT r = RectInParent(hwnd);
  EXPECT_EQ(r.left, left) << name;
  EXPECT_EQ(r.top, top) << name;
  if (fitsText) return;
  EXPECT_EQ(r.right - r.left, width) << name;
  EXPECT_EQ(r.bottom - r.top, height) << name;
}

class UpdateInfoWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::SetDpiForTesting(96);
    // Stands in for the playlist window: disabled, as the menu leaves it.
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 300, 200, 410, 348, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    EnableWindow(owner_, FALSE);
    dialog_ = std::make_unique<TUpdateInfo>(owner_);
    // What its owner hears: the playlist window frees it then.
    dialog_->OnClose = [this] { ++closes_; };
    hwnd_ = dialog_->Handle();
  }
  void TearDown() override {
    dialog_.reset();
    DestroyWindow(owner_);
    gui::SetDpiForTesting(0);
  }
  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  HWND owner_ = nullptr;
  std::unique_ptr<TUpdateInfo> dialog_;
  int closes_ = 0;
  HWND hwnd_ = nullptr;
};

TEST_F(UpdateInfoWinTest, FrameSizePlaceAndControlsAreTheDescribedOnes) {
  EXPECT_EQ(TextOf(hwnd_), "Kelvane");
  RECT outer{};
  GetWindowRect(hwnd_, &outer);
  // Wider only where this prefix's face needs more room than the design's
  // (every control of the right-hand column then stands that much further right).
  const int grow = outer.right - outer.left - 201;
  EXPECT_GE(grow, 0);
  EXPECT_EQ(outer.bottom - outer.top, 202);
  // Centred on the playlist window, on top, owned by it, shown at once.
  EXPECT_NEAR((outer.left + outer.right) / 2, 300 + 410 / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, 200 + 348 / 2, 1);
  EXPECT_NE(GetWindowLongA(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetWindow(hwnd_, GW_OWNER), owner_);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  const LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
  EXPECT_NE(style & WS_CAPTION, 0);
  EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);

  struct Expected {
    gui::Control* control;
    const char* caption;
    int left, top, width, height;
    bool fitsText;
  };
  TUpdateInfo& d = *dialog_;
  // The counters as tall as the captions' line, where the face's is taller.
  const RECT caption = RectInParent(d.Label2.Handle());
  const int line = std::max<int>(12, caption.bottom - caption.top);
  const Expected table[] = {
      {&d.lblResult, "プレイリストを更新しています。", 8, 8, 139, 12, true},
      {&d.Panel, "", 8, 32, 177 + grow, 81, false},
      {&d.Label2, "スキップしたプレイリスト", 8, 8, 104, 12, true},
      {&d.Label3, "更新したプレイリスト", 8, 24, 93, 12, true},
      {&d.Label4, "追加したプレイリスト", 8, 40, 93, 12, true},
      {&d.Label5, "削除したプレイリスト", 8, 56, 93, 12, true},
      {&d.lblSkipped, "0", 144 + grow, 8, 25, line, false},
      {&d.lblUpdated, "0", 144 + grow, 24, 25, line, false},
      {&d.lblAdded, "0", 144 + grow, 40, 25, line, false},
      {&d.lblDeleted, "0", 144 + grow, 56, 25, line, false},
      {&d.ProgressBar, "", 8, 120, 177 + grow, 16, false},
      {&d.btnOK, "OK", 112 + grow, 144, 75, 25, false},
  };
  for (const Expected& e : table) {
    ExpectRect(e.control->Handle(), e.left, e.top, e.width, e.height, e.fitsText, e.control->Name.c_str());
    EXPECT_EQ(TextOf(e.control->Handle()), e.caption) << e.control->Name;
  }
  // No caption runs under its counter, nor the result past the edge, even
  // once it says the update is done.
  for (gui::Control* label : {&d.Label2, &d.Label3, &d.Label4, &d.Label5}) {
    EXPECT_LE(RectInParent(label->Handle()).right + 8, RectInParent(d.lblSkipped.Handle()).left) << label->Name;
  }
  d.SetResultText("プレイリスト更新が完了しました。");
  RECT client{};
  GetClientRect(hwnd_, &client);
  EXPECT_LE(RectInParent(d.lblResult.Handle()).right + 8, client.right);
  for (gui::Control* label : {&d.Label2, &d.Label3, &d.Label4, &d.Label5, &d.lblSkipped, &d.lblUpdated, &d.lblAdded,
                              &d.lblDeleted}) {
    EXPECT_EQ(GetParent(label->Handle()), d.Panel.Handle()) << label->Name;
  }
  for (gui::Control* counter : {&d.lblSkipped, &d.lblUpdated, &d.lblAdded, &d.lblDeleted}) {
    EXPECT_EQ(GetWindowLongA(counter->Handle(), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT) << counter->Name;
  }
  EXPECT_NE(GetWindowLongA(d.ProgressBar.Handle(), GWL_STYLE) & PBS_SMOOTH, 0);
  EXPECT_EQ(SendMessageA(d.ProgressBar.Handle(), PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageA(d.ProgressBar.Handle(), PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(d.ProgressPosition(), 0);
  EXPECT_FALSE(IsWindowEnabled(d.btnOK.Handle()));

  // Tab order is the order of the dialog's own children.
  std::vector<HWND> order;
  for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) order.push_back(c);
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], d.ProgressBar.Handle());
  EXPECT_EQ(order[1], d.btnOK.Handle());
  EXPECT_EQ(order[2], d.Panel.Handle());
}

TEST_F(UpdateInfoWinTest, CountersBarAndResultShowWhatTheUpdateSets) {
  dialog_->SetCounter(TUpdateCounter::Updated, 12);
  EXPECT_EQ(TextOf(dialog_->lblUpdated.Handle()), "12");
  EXPECT_EQ(TextOf(dialog_->lblDeleted.Handle()), "0");
  dialog_->SetProgressMaximum(4);
  dialog_->SetProgressPosition(3);
  EXPECT_EQ(SendMessageA(dialog_->ProgressBar.Handle(), PBM_GETRANGE, FALSE, 0), 4);
  EXPECT_EQ(dialog_->ProgressPosition(), 3);
  dialog_->SetResultText("プレイリスト更新が完了しました。");
  EXPECT_EQ(TextOf(dialog_->lblResult.Handle()), "プレイリスト更新が完了しました。");
  dialog_->Repaint();
  EXPECT_FALSE(GetUpdateRect(hwnd_, nullptr, FALSE));
  wintest::SaveWindowImage(hwnd_, "update-info-counting");
  dialog_->SetProgressPosition(4);
  dialog_->EnableOK();
  wintest::SaveWindowImage(hwnd_, "update-info-done");
}

TEST_F(UpdateInfoWinTest, KeyboardCloseWaitsForTheEndThenActsAsOK) {
  // While the update runs, neither Esc nor Alt+F4 takes the dialog away.
  SendMessageA(hwnd_, WM_COMMAND, IDCANCEL, 0);
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  Pump();
  ASSERT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(closes_, 0);
  EXPECT_FALSE(IsWindowEnabled(owner_));
  // Once done, a keyboard close is OK: the playlist window comes back.
  dialog_->EnableOK();
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(closes_, 1);
}

TEST_F(UpdateInfoWinTest, OkEnablesThePlaylistWindowAndClosesTheDialog) {
  dialog_->EnableOK();
  EXPECT_TRUE(IsWindowEnabled(dialog_->btnOK.Handle()));
  SendMessageA(dialog_->btnOK.Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(closes_, 1);
}

}  // namespace

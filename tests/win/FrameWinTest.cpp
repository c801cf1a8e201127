// The playlist window and the about box built in-process on real comctl32:
// their controls and layout at 96 and 144 DPI, the corner placement, the
// right-click rule and the commands handed to the player.
#include <gtest/gtest.h>

#include <cstring>

#include "WinTestSupport.h"
#include "app/MainUnit.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "ui/AboutUnit.h"
#include "ui/FrameUnit.h"

namespace {

std::string Box(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}
RECT R(int l, int t, int w, int h) { return RECT{l, t, l + w, t + h}; }

using wintest::WriteText;

class FrameWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = wintest::TempFolder("kelvane-frame-test");
    CreateDirectoryA((dir_ + "playlist").c_str(), nullptr);
    CreateDirectoryA((dir_ + "Lists").c_str(), nullptr);
    for (const char* name : {"A", "B", "C"}) WriteText(dir_ + "Lists\\" + name + ".m3u", "");
    WriteText(dir_ + "playlist\\'B' Artist.dat", "Owl's Band\r\n  Lead\r\n");
    WriteText(dir_ + "playlist\\'B' Album.dat", "First\r\nSecond\r\n");
    for (const char* file : {"'B' Artist 'Owl''s Band'.m3u", "'B' Album 'First'.m3u", "'B' Album 'Second'.m3u"}) {
      WriteText(dir_ + "playlist\\" + file, "");
    }
    main_ = std::make_unique<TMain>();
    platform::app::CreateMainWindow(main_.get());
    main_->InitCommandTable();
    main_->InitDefaults();
    main_->Info.AppDir = dir_;
    main_->Info.PlayListPath = dir_ + "Lists";
    main_->Info.PlaylistPos = 3;
    main_->Info.PlayerPath = "C:\\Player\\winamp.exe";
    main_->Info.CorrectPath = true;
    platform::RedirectMessageBoxes([this](const std::string& text, const std::string&) {
      boxes_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    platform::RedirectMessageBoxes(nullptr);
    main_.reset();
    gui::SetDpiForTesting(0);
  }
  TFrame& Make() {
    main_->CreatePlaylistWindow();
    TFrame& f = *dynamic_cast<TFrame*>(Frame);
    f.StartCommand = [this](const std::string& line) { started_.push_back(line); };
    f.LoadPlaylistTree();
    return f;
  }
  gui::TreeView::Node NodeNamed(gui::TreeView& tree, const std::string& text) {
    for (auto n : tree.Nodes()) {
      if (tree.NodeText(n) == text) return n;
    }
    return nullptr;
  }
  std::vector<std::string> Texts(gui::TreeView& tree) {
    std::vector<std::string> out;
    for (auto n : tree.Nodes()) out.push_back(tree.NodeText(n));
    return out;
  }
  LPARAM PointOf(gui::TreeView& tree, gui::TreeView::Node n) {
    RECT r{};
    std::memcpy(&r, &n, sizeof(n));
    SendMessageA(tree.Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM(r.left + 2, (r.top + r.bottom) / 2);
  }
  void Click(gui::TreeView& tree, const std::string& text, WPARAM keys = 0) {
    const LPARAM p = PointOf(tree, NodeNamed(tree, text));
    SendMessageA(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, p);
    SendMessageA(tree.Handle(), WM_LBUTTONUP, keys, p);
  }
  std::string Selected(gui::TreeView& tree) {
    std::string s;
    for (auto n : tree.Nodes()) {
      if (tree.IsSelected(n)) s += (s.empty() ? "" : "|") + tree.NodeText(n);
    }
    return s;
  }

  std::string dir_;
  std::unique_ptr<TMain> main_;
  std::vector<std::string> started_;
  std::vector<std::string> boxes_;
};

TEST_F(FrameWinTest, TheWindowIsLaidOutAsDesignedAndScaledWithTheDpi) {
  for (int dpi : {96, 144}) {
    gui::SetDpiForTesting(dpi);
    auto s = [dpi](int v) { return MulDiv(v, dpi, 96); };
    TFrame& f = Make();
    EXPECT_EQ(f.Text(), "Kelvane - プレイリストウインドウ");
    EXPECT_EQ(f.FrameWidth(), s(410)) << dpi;
    EXPECT_EQ(f.FrameHeight(), s(348)) << dpi;
    const LONG style = GetWindowLongA(f.Handle(), GWL_STYLE);
    EXPECT_TRUE((style & WS_SYSMENU) && (style & WS_THICKFRAME));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(GetWindow(f.Handle(), GW_OWNER), reinterpret_cast<HWND>(platform::app::MainWindow()));

    RECT c{};
    GetClientRect(f.Handle(), &c);
    const int w = c.right, h = c.bottom, left = w - s(200) - s(2);
    EXPECT_EQ(Box(f.TreePlaylist.Bounds()), Box(R(w - s(200), 0, s(200), h))) << dpi;
    EXPECT_EQ(Box(f.SplitterVertical.Bounds()), Box(R(left, 0, s(2), h))) << dpi;
    EXPECT_EQ(Box(f.PanelLeft.Bounds()), Box(R(0, 0, left, h))) << dpi;
    EXPECT_EQ(Box(f.TreeArtist.Bounds()), Box(R(0, 0, left, s(150)))) << dpi;
    EXPECT_EQ(Box(f.SplitterHorizontal.Bounds()), Box(R(0, s(150), left, s(2)))) << dpi;
    EXPECT_EQ(Box(f.TreeAlbum.Bounds()), Box(R(0, s(152), left, h - s(152)))) << dpi;
    EXPECT_EQ(f.PlaylistTreeWidth(), s(200));
    EXPECT_EQ(f.ArtistTreeHeight(), s(150));

    for (gui::TreeView* tree : {&f.TreePlaylist, &f.TreeArtist, &f.TreeAlbum}) {
      const LONG ts = GetWindowLongA(tree->Handle(), GWL_STYLE);
      EXPECT_TRUE(ts & TVS_TRACKSELECT);
      EXPECT_FALSE(ts & (TVS_EDITLABELS | TVS_LINESATROOT));
      EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETINDENT, 0, 0), s(19)) << dpi;
      EXPECT_EQ((ts & TVS_SHOWSELALWAYS) != 0, tree == &f.TreePlaylist);
      EXPECT_EQ((ts & WS_TABSTOP) != 0, tree != &f.TreePlaylist);
      const bool pictures = SendMessageA(tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0) != 0;
      EXPECT_EQ(pictures, tree != &f.TreePlaylist);
    }
    int cx = 0, cy = 0;
    ImageList_GetIconSize(f.ImageArtist, &cx, &cy);
    EXPECT_EQ(cx, s(16));
    EXPECT_EQ(ImageList_GetImageCount(f.ImageArtist), 1);
    EXPECT_EQ(ImageList_GetImageCount(f.ImageAlbum), 1);

    std::vector<std::string> bar;
    HMENU menu = GetMenu(f.Handle());
    for (int i = 0; i < GetMenuItemCount(menu); ++i) bar.push_back(wintest::MenuText(menu, i));
    EXPECT_EQ(bar, (std::vector<std::string>{"設定", "プレイリスト更新", "ヘルプ", "終了"}));
    HMENU help = GetSubMenu(menu, 2);
    ASSERT_EQ(GetMenuItemCount(help), 4);
    EXPECT_EQ(wintest::MenuText(help, 1), "Orrindale ホームページ");
    EXPECT_EQ(GetMenuState(help, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(wintest::MenuText(f.PopupMenu.Handle(), 1), "追加して再生");
  }
}

TEST_F(FrameWinTest, ShownInTheCornerOfTheWorkAreaEachTimeItAppears) {
  TFrame& f = Make();
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const platform::Rect work{area.left, area.top, area.right, area.bottom};
  for (int pos : {0, 1, 2, 3}) {
    main_->Info.PlaylistPos = pos;
    f.ShowFrame();
    int left = 0, top = 0;
    CornerPosition(pos, work, f.Width(), f.Height(), &left, &top);
    RECT r{};
    GetWindowRect(f.Handle(), &r);
    EXPECT_EQ(r.left, left) << pos;
    EXPECT_EQ(r.top, top) << pos;
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(GetFocus(), f.TreePlaylist.Handle());
    // The close box only hides.
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(f.Visible());
    EXPECT_TRUE(IsWindow(f.Handle()));
  }
}

TEST_F(FrameWinTest, WithAutoHideALeaveFromAnEarlierShowingDoesNotHideTheWindowShownAgain) {
  // Hidden by Esc under the pointer and shown again from the tray at once:
  // the leave the system reports late must not hide it, while a leave after
  // the pointer has been over it again does.
  main_->Info.AutoHide = true;
  TFrame& f = Make();
  SetCursorPos(0, 0);  // outside the window in the bottom-right corner
  f.ShowFrame();
  SendMessageW(f.TreePlaylist.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(f.Handle(), WM_COMMAND, IDCANCEL, 0);  // Esc, through the dialog manager
  ASSERT_FALSE(f.Visible());
  f.ShowFrame();
  SendMessageW(f.TreePlaylist.Handle(), WM_MOUSELEAVE, 0, 0);
  SendMessageW(f.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(f.Visible());
  SendMessageW(f.TreePlaylist.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(f.TreePlaylist.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(f.Visible());
}

TEST_F(FrameWinTest, SelectingAPlaylistLoadsItsIndexesWithTheirWholeLines) {
  TFrame& f = Make();
  EXPECT_EQ(f.TreePlaylist.Nodes().size(), 3u);
  Click(f.TreePlaylist, "B");
  EXPECT_EQ(Texts(f.TreeArtist), (std::vector<std::string>{"Owl's Band", "  Lead"}));
  EXPECT_EQ(Texts(f.TreeAlbum), (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(f.LastPlaylist, "B");
  // A playlist never classified: both trees empty.
  Click(f.TreePlaylist, "A");
  EXPECT_TRUE(f.TreeArtist.Nodes().empty());
  EXPECT_TRUE(f.TreeAlbum.Nodes().empty());
  // Refilling the playlist tree leaves the other trees and LastPlaylist alone;
  // showing the window with nothing selected then empties them.
  Click(f.TreePlaylist, "B");
  f.LoadPlaylistTree();
  EXPECT_EQ(f.TreeArtist.Nodes().size(), 2u);
  EXPECT_EQ(f.LastPlaylist, "B");
  f.ShowFrame();
  EXPECT_TRUE(f.TreeArtist.Nodes().empty());
  f.HideFrame();
}

TEST_F(FrameWinTest, ShowingAgainReloadsOnlyIndexFilesThatChanged) {
  TFrame& f = Make();
  Click(f.TreePlaylist, "B");
  Click(f.TreeArtist, "Owl's Band");
  f.ShowFrame();
  f.HideFrame();
  // Nothing changed: the trees stay as they were, the artist chosen included.
  f.ShowFrame();
  EXPECT_EQ(Selected(f.TreeArtist), "Owl's Band");
  f.HideFrame();
  // The same size written later: both trees are read again.
  WriteText(dir_ + "playlist\\'B' Album.dat", "Erste\r\nSecond\r\n");
  ASSERT_TRUE(wintest::SetWriteTime(dir_ + "playlist\\'B' Album.dat", {2031, 1, 0, 1, 0, 0, 0, 0}));
  f.ShowFrame();
  EXPECT_EQ(Texts(f.TreeAlbum), (std::vector<std::string>{"Erste", "Second"}));
  EXPECT_EQ(Selected(f.TreeArtist), "");
  f.HideFrame();
}

TEST_F(FrameWinTest, ARightClickKeepsSeveralSelectedAndOtherwiseSelectsTheNode) {
  TFrame& f = Make();
  Click(f.TreePlaylist, "A");
  // One selected: the right click moves the selection, and loads that playlist.
  SendMessageA(f.TreePlaylist.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, PointOf(f.TreePlaylist, NodeNamed(f.TreePlaylist, "B")));
  EXPECT_EQ(Selected(f.TreePlaylist), "B");
  EXPECT_EQ(f.TreeArtist.Nodes().size(), 2u);
  // Below the last node: nothing to select, the selection stays.
  SendMessageA(f.TreePlaylist.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 2000));
  EXPECT_EQ(Selected(f.TreePlaylist), "B");
  // Two selected: the right click on a third changes nothing.
  Click(f.TreePlaylist, "C", MK_CONTROL);
  EXPECT_EQ(Selected(f.TreePlaylist), "B|C");
  SendMessageA(f.TreePlaylist.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, PointOf(f.TreePlaylist, NodeNamed(f.TreePlaylist, "A")));
  EXPECT_EQ(Selected(f.TreePlaylist), "B|C");
  EXPECT_EQ(GetFocus(), f.TreePlaylist.Handle());
  EXPECT_EQ(&f.ActiveTree(), &f.TreePlaylist);
}

TEST_F(FrameWinTest, PlayingHandsEverySelectedNodeToThePlayerInTreeOrder) {
  TFrame& f = Make();
  const std::string lists = dir_ + "Lists\\";
  // Selected C, then A, then B: played A, B, C.
  Click(f.TreePlaylist, "C");
  Click(f.TreePlaylist, "A", MK_CONTROL);
  Click(f.TreePlaylist, "B", MK_CONTROL);
  // (Whether the player is looked for first is the native tests' part.)
  started_.clear();
  f.N2Click();
  EXPECT_EQ(started_, (std::vector<std::string>{"C:\\Player\\winamp.exe \"" + lists + "A.m3u\"",
                                                "C:\\Player\\winamp.exe /ADD \"" + lists + "B.m3u\"",
                                                "C:\\Player\\winamp.exe /ADD \"" + lists + "C.m3u\""}));
  started_.clear();
  f.N3Click();
  ASSERT_EQ(started_.size(), 3u);
  EXPECT_EQ(started_[0], "C:\\Player\\winamp.exe /ADD \"" + lists + "A.m3u\"");
  main_->Info.CorrectPath = true;

  // The artist of the example, under the playlist B.
  Click(f.TreePlaylist, "B");
  SetFocus(f.TreeArtist.Handle());
  Click(f.TreeArtist, "Owl's Band");
  started_.clear();
  f.N2Click();
  f.N3Click();
  EXPECT_EQ(started_, (std::vector<std::string>{
                          "C:\\Player\\winamp.exe \"" + dir_ + "playlist\\'B' Artist 'Owl''s Band'.m3u\"",
                          "C:\\Player\\winamp.exe /ADD \"" + dir_ + "playlist\\'B' Artist 'Owl''s Band'.m3u\""}));
  // A double-click plays the node under the pointer alone, as new; on an album too.
  started_.clear();
  Click(f.TreeAlbum, "First");
  Click(f.TreeAlbum, "Second", MK_CONTROL);
  SendMessageA(f.TreeAlbum.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, PointOf(f.TreeAlbum, NodeNamed(f.TreeAlbum, "Second")));
  EXPECT_EQ(started_, (std::vector<std::string>{"C:\\Player\\winamp.exe \"" + dir_ + "playlist\\'B' Album 'Second'.m3u\""}));
  EXPECT_EQ(Selected(f.TreeAlbum), "Second");
  // A double-click on empty space plays nothing.
  started_.clear();
  SendMessageA(f.TreeAlbum.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 2000));
  EXPECT_TRUE(started_.empty());
}

TEST_F(FrameWinTest, TheSplittersStayWithinTheWindowOnLoadResizeAndSave) {
  TFrame& f = Make();
  // Every tree inside the client area, at least as wide and high as a
  // splitter's drag leaves it; what is saved is what is shown.
  auto usable = [&f](const std::string& when) {
    RECT client{};
    GetClientRect(f.Handle(), &client);
    for (gui::TreeView* tree : {&f.TreePlaylist, &f.TreeArtist, &f.TreeAlbum}) {
      RECT r{};
      GetWindowRect(tree->Handle(), &r);
      MapWindowPoints(nullptr, f.Handle(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_TRUE(r.left >= 0 && r.right <= client.right && r.bottom <= client.bottom) << when << tree->Name;
      EXPECT_TRUE(r.right - r.left >= 30 && r.bottom - r.top >= 30) << when << tree->Name;
    }
    EXPECT_EQ(f.PlaylistTreeWidth(), f.TreePlaylist.Width()) << when;
    EXPECT_EQ(f.ArtistTreeHeight(), f.TreeArtist.Height()) << when;
  };
  // In the order the settings are read.
  auto load = [&f](int width, int treeWidth, int artistHeight) {
    f.SetFrameWidth(width);
    f.SetFrameHeight(348);
    f.SetPlaylistTreeWidth(treeWidth);
    f.SetArtistTreeHeight(artistHeight);
  };
  load(800, 600, 150);
  EXPECT_EQ(f.PlaylistTreeWidth(), 600);
  f.SetFrameWidth(300);
  usable("dragged to 300 wide: ");
  f.SetFrameHeight(200);
  usable("and 200 high: ");
  load(410, 5000, 5000);
  usable("trees of 5000: ");
  load(100000, 50000, 150);
  usable("a window of 100000 clamped to the screen: ");
  load(410, 240, 90);
  EXPECT_EQ(f.PlaylistTreeWidth(), 240);
  EXPECT_EQ(f.ArtistTreeHeight(), 90);
}

TEST_F(FrameWinTest, AnIndexThatCannotBeReadLeavesNoTreeOfAnotherPlaylistAndNothingMissingIsPlayed) {
  const std::string artistIndex = dir_ + "playlist\\'C' Artist.dat";
  const std::string albumIndex = dir_ + "playlist\\'C' Album.dat";
  WriteText(artistIndex, "Cee\r\n");
  WriteText(albumIndex, "Cee Live\r\nCee Studio\r\n");
  WriteText(dir_ + "playlist\\'C' Album 'Cee Studio'.m3u", "");
  TFrame& f = Make();
  Click(f.TreePlaylist, "B");
  ASSERT_EQ(f.TreeArtist.Nodes().size(), 2u);

  // Another program holds C's artist index without sharing it.
  HANDLE held = CreateFileA(artistIndex.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Click(f.TreePlaylist, "C");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find(artistIndex), std::string::npos);
  EXPECT_EQ(Selected(f.TreePlaylist), "C");
  EXPECT_TRUE(f.TreeArtist.Nodes().empty());
  EXPECT_EQ(Texts(f.TreeAlbum), (std::vector<std::string>{"Cee Live", "Cee Studio"}));
  EXPECT_EQ(f.LastPlaylist, "C");
  // Shown again: the refresh says the same and the window still appears, with
  // none of B's artists.
  f.ShowFrame();
  EXPECT_TRUE(f.Visible());
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_TRUE(f.TreeArtist.Nodes().empty());
  f.HideFrame();
  CloseHandle(held);

  // An album whose generated playlist is gone: said so, nothing handed to the
  // player, whose play list would be replaced by nothing.
  boxes_.clear();
  started_.clear();
  SendMessageA(f.TreeAlbum.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, PointOf(f.TreeAlbum, NodeNamed(f.TreeAlbum, "Cee Live")));
  EXPECT_TRUE(started_.empty());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find(dir_ + "playlist\\'C' Album 'Cee Live'.m3u"), std::string::npos) << boxes_[0];
  // Nor when it is one of several: the first would have replaced the play list.
  Click(f.TreeAlbum, "Cee Live");
  Click(f.TreeAlbum, "Cee Studio", MK_CONTROL);
  SetFocus(f.TreeAlbum.Handle());
  f.N3Click();
  EXPECT_TRUE(started_.empty());
  EXPECT_EQ(boxes_.size(), 2u);

  for (const std::string& file : {artistIndex, albumIndex, dir_ + "playlist\\'C' Album 'Cee Studio'.m3u"}) {
    DeleteFileA(file.c_str());
  }
}

TEST_F(FrameWinTest, TheAboutBoxIsLaidOutOnTopAndFreedOnOK) {
  TFrame& f = Make();
  TAbout* about = f.OpenAbout();
  TAbout* second = f.OpenAbout();
  HWND hwnd = about->Handle();
  EXPECT_EQ(about->Text(), "Kelvane - バージョン情報");
  EXPECT_EQ(about->Width(), 241);
  EXPECT_EQ(about->Height(), 130);
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(about->Visible());
  EXPECT_EQ(Box(about->Image.Bounds()), Box(R(8, 16, 32, 32)));
  EXPECT_EQ(Box(about->Label1.Bounds()), Box(R(48, 16, 177, 15)));
  EXPECT_EQ(Box(about->Label2.Bounds()), Box(R(56, 40, 169, 12)));
  EXPECT_EQ(Box(about->Bevel1.Bounds()), Box(R(8, 64, 217, 9)));
  EXPECT_EQ(Box(about->Button1.Bounds()), Box(R(152, 72, 75, 25)));
  EXPECT_EQ(about->Label1.Text(), "Kelvane 0.30.1.1");
  EXPECT_TRUE(GetWindowLongA(about->Label1.Handle(), GWL_STYLE) & SS_RIGHT);
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(about->Label1.Handle(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -15);
  EXPECT_NE(about->Image.Icon(), nullptr);
  // Centred on its owner.
  RECT o{}, a{};
  GetWindowRect(f.Handle(), &o);
  GetWindowRect(hwnd, &a);
  EXPECT_LE(std::abs((a.left + a.right) - (o.left + o.right)), 1);
  EXPECT_LE(std::abs((a.top + a.bottom) - (o.top + o.bottom)), 1);

  SendMessageA(about->Button1.Handle(), BM_CLICK, 0, 0);
  // Freed by the playlist window once the close it posted arrives.
  EXPECT_TRUE(wintest::WaitFor([&] { return !IsWindow(hwnd); }, 2000));
  EXPECT_TRUE(second->Visible());
  SendMessageA(second->Button1.Handle(), BM_CLICK, 0, 0);
}

}  // namespace

// The GUI layer against real user32 and comctl32: tables placed and scaled,
// events reflected to the controls' own fields, docking and splitters, the
// hand-built tree multi-selection, self-freeing forms and, under Wine, text
// beyond U+FFFF drawn from the linked faces.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "ui/Gui.h"
#include "ui/LinkedText.h"
#include "ui/TreeView.h"

namespace {

RECT R(int l, int t, int w, int h) { return RECT{l, t, l + w, t + h}; }

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

class SampleForm : public gui::Form {
 public:
  explicit SampleForm(bool* deleted = nullptr) : deleted_(deleted) {
    CreateForm({"Sample", 300, 240, gui::kSizeableFrame, 0}, nullptr);
    Place({
        {&lblName, "lblName", "名前", 8, 8, 60, 12, nullptr, gui::Align::None, gui::kRightAligned},
        {&btnOK, "btnOK", "OK", 200, 180, 75, 25},
        {&chkOn, "chkOn", "有効", 8, 30, 100, 17},
        {&cmbPos, "cmbPos", "", 8, 60, 120, 20},
        {&editPath, "editPath", "フォルダ", 8, 110, 200, 20},
        {&grpBox, "grpBox", "グループ", 150, 8, 120, 60},
    });
    btnOK.OnClick = [this] { ++clicks; };
    chkOn.OnClick = [this] { ++checkClicks; };
    cmbPos.OnChange = [this] { ++comboChanges; };
    SetDefaultButton(&btnOK);
  }
  ~SampleForm() override {
    Destroy();
    if (deleted_) *deleted_ = true;
  }
  gui::Label lblName;
  gui::Button btnOK;
  gui::CheckBox chkOn;
  gui::ComboBox cmbPos;
  gui::LabeledEdit editPath;
  gui::GroupBox grpBox;
  int clicks = 0, checkClicks = 0, comboChanges = 0;

 private:
  bool* deleted_;
};

// Trees docked as the playlist window docks them, inside a panel.
class DockForm : public gui::Form {
 public:
  DockForm() {
    CreateForm({"Dock", 400, 300, gui::kSizeableFrame, 0}, nullptr);
    Place({
        {&right, "right", "", 0, 0, 150, 10, nullptr, gui::Align::Right},
        {&split, "split", "", 0, 0, 2, 10, nullptr, gui::Align::Right},
        {&panel, "panel", "", 0, 0, 10, 10, nullptr, gui::Align::Client},
        {&top, "top", "", 0, 0, 10, 100, &panel, gui::Align::Top},
        {&rest, "rest", "", 0, 0, 10, 10, &panel, gui::Align::Client},
    });
  }
  ~DockForm() override { Destroy(); }
  gui::TreeView right;
  gui::Splitter split;
  gui::Panel panel;
  gui::TreeView top;
  gui::TreeView rest;
};

struct DpiScope {
  explicit DpiScope(int dpi) { gui::SetDpiForTesting(dpi); }
  ~DpiScope() { gui::SetDpiForTesting(0); }
};

TEST(GuiWinTest, ATablePlacesControlsAtItsPixelsAndScalesThemWithTheDpi) {
  for (int dpi : {96, 144}) {
    DpiScope scope(dpi);
    SampleForm form;
    auto s = [&](int v) { return MulDiv(v, dpi, 96); };
    EXPECT_EQ(form.Width(), s(300)) << dpi;
    EXPECT_EQ(form.Height(), s(240)) << dpi;
    EXPECT_EQ(Str(form.btnOK.Bounds()), Str(R(s(200), s(180), s(75), s(25)))) << dpi;
    EXPECT_EQ(Str(form.editPath.Bounds()), Str(R(s(8), s(110), s(200), s(20)))) << dpi;
    // The label of a labelled edit sits 3 px above it, one line high.
    EXPECT_EQ(Str(form.editPath.EditLabel.Bounds()), Str(R(s(8), s(110) - s(3) - s(12), s(200), s(12)))) << dpi;
    EXPECT_EQ(form.editPath.EditLabel.Text(), "フォルダ");
    EXPECT_EQ(form.grpBox.Text(), "グループ");
    // One Shift-JIS "MS UI Gothic" font with a character height of 12 px.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(form.btnOK.Handle(), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    GetObjectA(font, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -s(12));
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, "MS UI Gothic");
    EXPECT_EQ(font, gui::UiFont());
  }
}

TEST(GuiWinTest, CommandsReachTheControlsOwnEventFields) {
  SampleForm form;
  SendMessageA(form.btnOK.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.clicks, 1);
  SendMessageA(form.chkOn.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form.chkOn.Checked());
  EXPECT_EQ(form.checkClicks, 1);
  form.chkOn.SetChecked(false);
  EXPECT_FALSE(form.chkOn.Checked());

  form.cmbPos.SetItems({"左上", "左下", "右上", "右下"});
  EXPECT_EQ(SendMessageW(form.cmbPos.Handle(), CB_GETCOUNT, 0, 0), 4);
  form.cmbPos.SetItemIndex(3);
  EXPECT_EQ(form.cmbPos.ItemIndex(), 3);
  // A choice by the user is a selection change sent to the parent.
  SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(form.cmbPos.Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(form.cmbPos.Handle()));
  EXPECT_EQ(form.comboChanges, 1);

  // Enter through the dialog manager presses the default button.
  EXPECT_EQ(HIWORD(SendMessageA(form.Handle(), DM_GETDEFID, 0, 0)), DC_HASDEFID);
  EXPECT_EQ(LOWORD(SendMessageA(form.Handle(), DM_GETDEFID, 0, 0)), GetDlgCtrlID(form.btnOK.Handle()));
}

TEST(GuiWinTest, DockedControlsFillTheFormAndASplitterResizesItsNeighbour) {
  DockForm form;
  RECT client{};
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(Str(form.right.Bounds()), Str(R(client.right - 150, 0, 150, client.bottom)));
  EXPECT_EQ(Str(form.split.Bounds()), Str(R(client.right - 152, 0, 2, client.bottom)));
  EXPECT_EQ(Str(form.panel.Bounds()), Str(R(0, 0, client.right - 152, client.bottom)));
  EXPECT_EQ(Str(form.top.Bounds()), Str(R(0, 0, client.right - 152, 100)));
  EXPECT_EQ(Str(form.rest.Bounds()), Str(R(0, 100, client.right - 152, client.bottom - 100)));
  EXPECT_EQ(form.split.Neighbour, &form.right);

  // Resizing the form keeps the docked widths and heights.
  SetWindowPos(form.Handle(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(form.right.Width(), 150);
  EXPECT_EQ(form.right.Bounds().left, client.right - 150);
  EXPECT_EQ(form.top.Height(), 100);
  EXPECT_EQ(form.rest.Height(), client.bottom - 100);

  // Dragged 30 px to the left the right tree grows by as much; dragged far
  // beyond, the client panel keeps the splitter's minimum.
  auto dragTo = [&](int x) {
    SetCursorPos(x, 100);
    SendMessageA(form.split.Handle(), WM_MOUSEMOVE, MK_LBUTTON, 0);
  };
  SetCursorPos(700, 100);
  SendMessageA(form.split.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  dragTo(670);
  EXPECT_EQ(form.right.Width(), 180);
  EXPECT_EQ(form.panel.Width(), client.right - 182);
  dragTo(0);
  EXPECT_EQ(form.panel.Width(), 30);
  EXPECT_EQ(form.right.Width(), client.right - 32);
  SendMessageA(form.split.Handle(), WM_LBUTTONUP, 0, 0);
}

TEST(GuiWinTest, NotificationsReachTheWrapperOfTheControlPlacedAndOfNoOtherWindow) {
  // A tree on a panel: the panel hands its notifications back to it.
  DockForm dock;
  std::vector<gui::TreeView::Node> changes;
  dock.top.OnChange = [&](gui::TreeView::Node n) { changes.push_back(n); };
  const auto a = dock.top.Add("A"), b = dock.top.Add("B");
  dock.top.SelectOnly(a);
  SetFocus(dock.top.Handle());
  SendMessageA(dock.top.Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(changes, (std::vector<gui::TreeView::Node>{a, b}));
  EXPECT_EQ(dock.top.SelectedNodes(), std::vector<gui::TreeView::Node>{b});

  // A button the form did not place, whose user data holds another control's
  // object, is not taken for that control.
  SampleForm form;
  HWND stranger = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, form.Handle(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(form.btnOK.Handle()))),
                                  nullptr, nullptr);
  SetWindowLongPtrW(stranger, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form.btnOK));
  SendMessageA(stranger, BM_CLICK, 0, 0);
  EXPECT_EQ(form.clicks, 0);
  SendMessageA(form.btnOK.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.clicks, 1);
}

TEST(GuiWinTest, TreeSelectionPlainClickSelectsOneControlClickTogglesOne) {
  DockForm form;
  gui::TreeView& tree = form.right;
  std::vector<gui::TreeView::Node> changes;
  tree.OnChange = [&](gui::TreeView::Node n) { changes.push_back(n); };
  const auto a = tree.Add("A"), b = tree.Add("B"), c = tree.Add("C");
  ShowWindow(form.Handle(), SW_SHOW);
  auto pointOf = [&](gui::TreeView::Node n) {
    RECT r{};
    std::memcpy(&r, &n, sizeof(n));
    SendMessageA(tree.Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM(r.left + 2, (r.top + r.bottom) / 2);
  };
  auto click = [&](gui::TreeView::Node n, WPARAM keys) {
    SendMessageA(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, pointOf(n));
    SendMessageA(tree.Handle(), WM_LBUTTONUP, keys, pointOf(n));
  };
  // The selection as held, and the marks the tree draws when they differ.
  auto selected = [&] {
    std::string s, marked;
    for (auto n : tree.Nodes()) {
      if (tree.IsSelected(n)) s += tree.NodeText(n);
      if (SendMessageA(tree.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n), TVIS_SELECTED) & TVIS_SELECTED) {
        marked += tree.NodeText(n);
      }
    }
    return marked == s ? s : s + " drawn " + marked;
  };

  click(a, 0);
  EXPECT_EQ(selected(), "A");
  EXPECT_EQ(tree.Current(), a);
  click(c, MK_CONTROL);
  EXPECT_EQ(selected(), "AC");
  EXPECT_EQ(tree.Current(), c);
  click(b, MK_CONTROL);
  EXPECT_EQ(selected(), "ABC");
  click(a, MK_CONTROL);  // off again
  EXPECT_EQ(selected(), "BC");
  EXPECT_EQ(tree.SelectedCount(), 2);
  click(b, 0);  // a plain click on one of several leaves it alone selected
  EXPECT_EQ(selected(), "B");
  EXPECT_EQ(tree.Current(), b);
  // The current node moved three times; the last click left it where it was.
  EXPECT_EQ(changes, (std::vector<gui::TreeView::Node>{a, c, b}));

  // Played in tree order, whatever the order of the clicks.
  click(c, MK_CONTROL);
  click(a, MK_CONTROL);
  EXPECT_EQ(tree.SelectedNodes(), (std::vector<gui::TreeView::Node>{a, b, c}));
  // The keyboard moves the current node, and the selection with it.
  SetFocus(tree.Handle());
  SendMessageA(tree.Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(selected(), "B");

  tree.SelectOnly(c);
  EXPECT_EQ(selected(), "C");
  EXPECT_EQ(tree.NodeAt(POINT{2, 2000}), nullptr);
  changes.clear();
  tree.Clear();
  EXPECT_TRUE(tree.Nodes().empty());
  EXPECT_EQ(tree.SelectedCount(), 0);
  EXPECT_TRUE(changes.empty());
  // A tree filled again starts its places afresh.
  const auto d = tree.Add("D"), e = tree.Add("E");
  click(e, 0);
  click(d, MK_CONTROL);
  EXPECT_EQ(tree.SelectedNodes(), (std::vector<gui::TreeView::Node>{d, e}));
}

TEST(GuiWinTest, MenusFindTheirItemsAndDispatchCommands) {
  SampleForm form;
  gui::Menu menu;
  int clicked = 0;
  menu.Build({{"menuA", "設定", [&] { clicked = 1; }, {}},
              {"menuHelp", "ヘルプ", nullptr, {{"menuB", "バージョン情報", [&] { clicked = 2; }, {}}, {"N1", "-", nullptr, {}}}}},
             false);
  form.SetMenu(&menu);
  ASSERT_NE(menu.Find("menuB"), nullptr);
  SendMessageA(form.Handle(), WM_COMMAND, menu.Find("menuB")->Id, 0);
  EXPECT_EQ(clicked, 2);
  EXPECT_EQ(wintest::MenuText(menu.Handle(), 0), "設定");
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu.Handle(), 1)), 2);
}


// Text drawn into a white bitmap in the UI font: its pixels, then the width
// the drawing gave back.
std::vector<DWORD> DrawIn(const std::wstring& text, bool linked) {
  const int w = 200, h = 40, length = static_cast<int>(text.size());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(dc, bitmap);
  SelectObject(dc, gui::UiFont());
  PatBlt(dc, 0, 0, w, h, WHITENESS);
  SetBkMode(dc, TRANSPARENT);
  SIZE size{};
  if (linked) {
    size.cx = gui::DrawLinkedText(dc, 4, 4, text.c_str(), length);
  } else {
    ExtTextOutW(dc, 4, 4, 0, nullptr, text.c_str(), static_cast<UINT>(length), nullptr);
    GetTextExtentPoint32W(dc, text.c_str(), length, &size);
  }
  GdiFlush();
  std::vector<DWORD> drawn(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + w * h);
  drawn.push_back(static_cast<DWORD>(size.cx));
  DeleteDC(dc);
  DeleteObject(bitmap);
  return drawn;
}

TEST(GuiWinTest, UnderWineACharacterBeyondTheBasicPlaneComesFromTheFirstLinkedFaceThatHoldsIt) {
  if (!gui::BoxesBeyondBasicPlane()) GTEST_SKIP() << "Windows draws these itself";
  // The text around it is drawn exactly as GDI draws it, on the same
  // baseline, as wide; and so is a character no face holds (U+10FFFD).
  EXPECT_EQ(DrawIn(L"Kино 아", false), DrawIn(L"Kино 아", true));
  EXPECT_EQ(DrawIn(L"A\U0010FFFD", false), DrawIn(L"A\U0010FFFD", true));
  // U+1F3B5 is Symbola's, linked to the UI font by wine-fonts.reg: one glyph
  // narrower than the two boxes GDI draws.
  const std::vector<DWORD> boxes = DrawIn(L"A\U0001F3B5", false), note = DrawIn(L"A\U0001F3B5", true);
  EXPECT_NE(boxes, note);
  EXPECT_LT(note.back(), boxes.back());
  EXPECT_GT(note.back(), DrawIn(L"A", false).back());
}

}  // namespace

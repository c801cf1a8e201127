// The control wrappers of the GUI layer: standard controls with event fields,
// plus what comctl32 lacks (a splitter, bevelled panels, tree multi-selection).
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Locale.h"
#include "ui/Gui.h"

namespace gui {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

int W(const RECT& r) { return r.right - r.left; }
int H(const RECT& r) { return r.bottom - r.top; }

}  // namespace

// ---- simple controls ----

void Label::Create(HWND parent, const Placement& row, const RECT& r, int id) {
  CreateStandard(0, L"STATIC", row.caption, kChild | ((row.options & kRightAligned) ? SS_RIGHT : SS_LEFT), r.left, r.top, W(r),
                 H(r), parent, id);
}

void Label::FitToText() {
  const SIZE size = CaptionExtent(*this);
  SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Button::Create(HWND parent, const Placement& row, const RECT& r, int id) {
  CreateStandard(0, L"BUTTON", row.caption, kChild | WS_TABSTOP | BS_PUSHBUTTON, r.left, r.top, W(r), H(r),
                 parent, id);
}

void Button::Click() {
  if (OnClick) OnClick();
}

void Button::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT*) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) Click();
}

void CheckBox::Create(HWND parent, const Placement& row, const RECT& r, int id) {
  CreateStandard(0, L"BUTTON", row.caption, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, r.left, r.top, W(r), H(r),
                 parent, id);
}

bool CheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void GroupBox::Create(HWND parent, const Placement& row, const RECT& r, int id) {
  // Its siblings inside it are drawn over it, not under it.
  CreateStandard(0, L"BUTTON", row.caption, kChild | WS_CLIPSIBLINGS | BS_GROUPBOX, r.left, r.top, W(r), H(r),
                 parent, id);
}

LRESULT GroupBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // A group box paints only its frame and caption, and a parent that clips its
  // children leaves the inside unpainted.
  if (message == WM_ERASEBKGND) {
    RECT r{};
    GetClientRect(Handle(), &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void ComboBox::Create(HWND parent, const Placement&, const RECT& r, int id) {
  // The height given is the closed box; the list drops below it.
  CreateStandard(0, L"COMBOBOX", "", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, r.left, r.top, W(r),
                 H(r) + Scale(160), parent, id);
}

void ComboBox::SetItems(const std::vector<std::string>& items) {
  SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  }
}

int ComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }
void ComboBox::SetItemIndex(int index) { SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void ComboBox::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT*) {
  if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE && OnChange) OnChange();
}

void LabeledEdit::Create(HWND parent, const Placement& row, const RECT& r, int id) {
  CreateStandard(WS_EX_CLIENTEDGE, L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, r.left, r.top, W(r), H(r),
                 parent, id);
  const int labelHeight = Scale(12);
  const int spacing = Scale(3);
  EditLabel.Create(parent, Placement{&EditLabel, "", row.caption, 0, 0, 0, 0}, RECT{r.left, r.top - spacing - labelHeight, r.right, r.top - spacing}, 0);
  EditLabel.SetFont(UiFont());
}

void LabeledEdit::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT*) {
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && OnChange) OnChange();
}

void ProgressBar::Create(HWND parent, const Placement&, const RECT& r, int id) {
  CreateStandard(0, PROGRESS_CLASSW, "", kChild | PBS_SMOOTH, r.left, r.top, W(r), H(r), parent, id);
}

void ProgressBar::SetRange(int minimum, int maximum) {
  SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

void ProgressBar::SetPosition(int position) { SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }
int ProgressBar::Position() const { return static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0)); }

// ---- our own windows: panel, splitter, picture ----

void Panel::Create(HWND parent, const Placement& row, const RECT& r, int id) {
  if (row.options & kEtched) edges_ = (row.options & kEtchedTopOnly) ? BF_TOP : BF_RECT;
  CreateOwn(WS_EX_CONTROLPARENT, row.caption, kChild | WS_CLIPCHILDREN, r.left, r.top, W(r), H(r), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    if (edges_) {
      RECT r{};
      GetClientRect(Handle(), &r);
      DrawEdge(dc, &r, EDGE_ETCHED, edges_);
    }
    EndPaint(Handle(), &ps);
    return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void Splitter::Create(HWND parent, const Placement&, const RECT& r, int id) {
  CreateOwn(0, "", kChild, r.left, r.top, W(r), H(r), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void Splitter::DragTo(POINT screen) {
  if (!Neighbour || !Container) return;
  const int delta = Vertical() ? screen.x - start_.x : screen.y - start_.y;
  int size = startSize_ + (align == Align::Right || align == Align::Bottom ? -delta : delta);
  // The client control beside us keeps at least MinSize, and so does the neighbour.
  RECT client{};
  GetClientRect(Container->Handle(), &client);
  int others = 0;
  for (Control* c : Container->Placed()) {
    if (c == Neighbour || c->align == Align::None || c->align == Align::Client) continue;
    const bool sameAxis = Vertical() ? (c->align == Align::Left || c->align == Align::Right)
                                     : (c->align == Align::Top || c->align == Align::Bottom);
    if (sameAxis) others += Vertical() ? c->Width() : c->Height();
  }
  const int room = (Vertical() ? W(client) : H(client)) - others - Scale(MinSize);
  if (size > room) size = room;
  if (size < Scale(MinSize)) size = Scale(MinSize);
  const RECT n = Neighbour->Bounds();
  if (Vertical()) {
    Neighbour->SetBounds(n.left, n.top, size, H(n));
  } else {
    Neighbour->SetBounds(n.left, n.top, W(n), size);
  }
  Container->Realign();
  if (OnMoved) OnMoved();
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(Vertical() ? IDC_SIZEWE : IDC_SIZENS)));
      return TRUE;
    case WM_LBUTTONDOWN:
      if (!Neighbour) return 0;
      dragging_ = true;
      GetCursorPos(&start_);
      startSize_ = Vertical() ? Neighbour->Width() : Neighbour->Height();
      SetCapture(Handle());
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) {
        POINT p;
        GetCursorPos(&p);
        DragTo(p);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (message == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void PictureBox::Create(HWND parent, const Placement&, const RECT& r, int id) {
  CreateOwn(0, "", kChild, r.left, r.top, W(r), H(r), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PictureBox::SetIcon(HICON icon) {
  icon_ = icon;
  InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return Window::HandleMessage(message, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT r{};
  GetClientRect(Handle(), &r);
  if (icon_) DrawIconEx(dc, 0, 0, icon_, W(r), H(r), 0, nullptr, DI_NORMAL);
  EndPaint(Handle(), &ps);
  return 0;
}

// ---- captions in groups ----

SIZE CaptionExtent(const Window& control) {
  const std::wstring text = control.WideText();
  HDC dc = GetDC(control.Handle());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control.Handle(), WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control.Handle(), dc);
  return size;
}

Window* Label::FittedCaption(int* besideText) {
  *besideText = Scale(2);
  return this;
}

Window* CheckBox::FittedCaption(int* besideText) {
  // The glyph of a check box and the gap after it come before the text.
  *besideText = GetSystemMetrics(SM_CXMENUCHECK) + Scale(8);
  return this;
}

Window* LabeledEdit::FittedCaption(int* besideText) {
  *besideText = Scale(2);
  return &EditLabel;
}

namespace {

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

// Moves a control right by `dx` and widens it by `grow`; a labelled edit's
// label goes along.
void Shift(Control& c, int dx, int grow) {
  if (dx == 0 && grow == 0) return;
  const RECT r = c.Bounds();
  c.SetBounds(r.left + dx, r.top, r.right - r.left + grow, r.bottom - r.top);
  int beside = 0;
  Window* caption = c.FittedCaption(&beside);
  if (caption && caption != &c) {
    const RECT l = caption->Bounds();
    caption->SetBounds(l.left + dx, l.top, l.right - l.left, l.bottom - l.top);
  }
}

}  // namespace

void GrowToFitCaptions(Form& form, const std::vector<GroupBox*>& groups) {
  const std::vector<Control*>& controls = form.Controls();
  struct Column {
    int left, right, grow;
  };
  std::vector<Column> columns;
  std::vector<Control*> members;  // of every group
  for (GroupBox* group : groups) {
    const RECT g = group->Bounds();
    std::vector<Control*> inside;
    for (Control* c : controls) {
      if (c == group || std::find(groups.begin(), groups.end(), c) != groups.end()) continue;
      if (Inside(c->Bounds(), g)) inside.push_back(c);
    }
    members.insert(members.end(), inside.begin(), inside.end());
    // The margin its first control keeps on the left, kept on the right too.
    int margin = g.right - g.left;
    for (Control* c : inside) margin = std::min(margin, static_cast<int>(c->Bounds().left - g.left));
    int needed = g.right;
    for (Control* c : inside) {
      int beside = 0;
      if (Window* caption = c->FittedCaption(&beside)) {
        const RECT r = caption->Bounds();
        const int want = r.left + CaptionExtent(*caption).cx + beside;
        if (want > r.right) {
          for (Control* other : inside) {
            const RECT o = other->Bounds();
            if (other != c && o.left >= r.right && o.top < r.bottom && o.bottom > r.top) Shift(*other, want - r.right, 0);
          }
          caption->SetBounds(r.left, r.top, want - r.left, r.bottom - r.top);
        }
        // A face with a taller line than the design's (Wine's stand-in for
        // "MS UI Gothic") would cut the text's foot: the caption grows about
        // its centre.
        const RECT fitted = caption->Bounds();
        const int tall = CaptionExtent(*caption).cy;
        if (tall > fitted.bottom - fitted.top) {
          const int top = fitted.top - (tall - (fitted.bottom - fitted.top)) / 2;
          caption->SetBounds(fitted.left, top, fitted.right - fitted.left, tall);
        }
        needed = std::max(needed, static_cast<int>(caption->Bounds().right) + margin);
      }
      needed = std::max(needed, static_cast<int>(c->Bounds().right) + margin);
    }
    auto column = std::find_if(columns.begin(), columns.end(), [&](const Column& k) { return k.left == g.left; });
    if (column == columns.end()) column = columns.insert(columns.end(), Column{g.left, g.right, 0});
    column->grow = std::max(column->grow, needed - static_cast<int>(g.right));
  }
  int total = 0;
  for (const Column& k : columns) total += k.grow;
  if (total == 0) return;
  for (Control* c : controls) {
    const RECT r = c->Bounds();
    int dx = 0, grow = 0;
    for (const Column& k : columns) {
      if (r.left >= k.right) {
        dx += k.grow;
      } else if (r.left >= k.left && r.right <= k.right) {
        const bool isGroup = std::find(groups.begin(), groups.end(), c) != groups.end();
        const bool isMember = std::find(members.begin(), members.end(), c) != members.end();
        if (isGroup || (!isMember && r.left == k.left && r.right == k.right)) {
          grow = k.grow;
        } else if (!isMember) {
          dx += k.grow;
        }
      }
    }
    Shift(*c, dx, grow);
  }
  RECT client{};
  GetClientRect(form.Handle(), &client);
  RECT outer{0, 0, client.right + total, client.bottom};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(form.Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(form.Handle(), GWL_EXSTYLE)));
  SetWindowPos(form.Handle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace gui

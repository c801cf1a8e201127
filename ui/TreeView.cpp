// The tree view: a program-filled list of nodes with a multi-selection of its own.
#include "ui/TreeView.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Locale.h"
#include "ui/LinkedText.h"

namespace gui {

void TreeView::Create(HWND parent, const Placement& row, const RECT& r, int id) {
  DWORD style = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_TRACKSELECT | TVS_DISABLEDRAGDROP;
  if (row.options & kShowSelectionAlways) style |= TVS_SHOWSELALWAYS;
  if (!(row.options & kNoTabStop)) style |= WS_TABSTOP;
  CreateStandard(WS_EX_CLIENTEDGE, WC_TREEVIEWW, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 parent, id);
  // An image list resets the indent: it goes first.
  if (row.images) {
    Own(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(row.images));
    pictures_ = 0;
  }
  Own(TVM_SETINDENT, static_cast<WPARAM>(Scale(19)), 0);
}

void TreeView::Clear() {
  selected_.clear();
  beyondBasicPlane_.clear();
  added_ = 0;
  // The tree may move its caret node by node as they go: none of that is a
  // change anyone asked for.
  clearing_ = true;
  Own(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  clearing_ = false;
}

// wchar_t is UTF-16 on Windows: the tree takes and gives the converted text
// as it is, with no copy per node.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16");

TreeView::Node TreeView::Add(const std::string& text) {
  std::u16string wide = platform::Utf8ToUtf16(text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = reinterpret_cast<LPWSTR>(&wide[0]);
  // Nodes are only ever appended, so the count so far is the node's place.
  ins.item.lParam = added_++;
  if (pictures_ >= 0) {
    ins.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.iImage = ins.item.iSelectedImage = pictures_;
  }
  Node node = reinterpret_cast<Node>(Own(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  if (node && BoxesBeyondBasicPlane() &&
      HasBeyondBasicPlane(reinterpret_cast<const wchar_t*>(wide.data()), static_cast<int>(wide.size()))) {
    beyondBasicPlane_.insert(node);
  }
  return node;
}

LRESULT TreeView::Own(UINT message, WPARAM wParam, LPARAM lParam) const {
  // Straight to the tree's own procedure: our subclass has nothing to add to
  // the tree's own messages, and a fill of 10,000 nodes would pay a second
  // dispatch for each.
  return const_cast<TreeView*>(this)->Default(message, wParam, lParam);
}

TreeView::Node TreeView::NextOf(Node node, UINT relation) const {
  return reinterpret_cast<Node>(Own(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
}

LPARAM TreeView::PlaceOf(Node node) const {
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = node;
  Own(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

std::vector<TreeView::Node> TreeView::Nodes() const {
  std::vector<Node> nodes;
  for (Node n = NextOf(nullptr, TVGN_ROOT); n; n = NextOf(n, TVGN_NEXT)) nodes.push_back(n);
  return nodes;
}

std::wstring TreeView::WideText(Node node) const {
  wchar_t buffer[4096] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = buffer;
  item.cchTextMax = static_cast<int>(sizeof(buffer) / sizeof(buffer[0]));
  Own(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::string TreeView::NodeText(Node node) const {
  // The node was filled from UTF-8, so it goes back whole, in any script.
  return platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(WideText(node).c_str()));
}

TreeView::Node TreeView::NodeAt(POINT client) const {
  TVHITTESTINFO hit{};
  hit.pt = client;
  Own(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  // Anywhere on a node's row counts, not only its label.
  return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON)) ? hit.hItem : nullptr;
}

TreeView::Node TreeView::Current() const { return NextOf(nullptr, TVGN_CARET); }

std::vector<TreeView::Node> TreeView::SelectedNodes() const {
  std::vector<std::pair<LPARAM, Node>> placed;
  for (Node node : selected_) placed.emplace_back(PlaceOf(node), node);
  std::sort(placed.begin(), placed.end());
  std::vector<Node> nodes;
  for (const auto& p : placed) nodes.push_back(p.second);
  return nodes;
}

void TreeView::Mark(Node node, bool selected) {
  TVITEMW item{};
  item.mask = TVIF_STATE;
  item.hItem = node;
  item.state = selected ? TVIS_SELECTED : 0;
  item.stateMask = TVIS_SELECTED;
  Own(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeView::SetSelected(Node node, bool selected) {
  if (!node) return;
  if (selected) {
    selected_.insert(node);
  } else {
    selected_.erase(node);
  }
  Mark(node, selected);
}

void TreeView::KeepOnly(Node keep) {
  for (Node node : selected_) {
    if (node != keep) Mark(node, false);
  }
  const bool kept = keep && selected_.count(keep);
  selected_.clear();
  if (kept) selected_.insert(keep);
}


void TreeView::SelectOnly(Node node) {
  KeepOnly(node);
  if (Current() != node) Own(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
  SetSelected(node, true);
}

void TreeView::ControlClick(Node node) {
  if (IsSelected(node)) {
    SetSelected(node, false);
    return;
  }
  // Moving the tree's own caret clears the old one's mark: the marks come
  // back from the set.
  keepOthers_ = true;
  if (Current() != node) Own(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
  keepOthers_ = false;
  for (Node n : selected_) Mark(n, true);
  SetSelected(node, true);
}

LRESULT TreeView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_LBUTTONDOWN: {
      if (OnMouseDown) OnMouseDown(0, p);
      Node node = NodeAt(p);
      if (node && (wParam & MK_CONTROL)) {
        SetFocus(Handle());
        ControlClick(node);
        return 0;
      }
      // A plain click selects one node, also when it is already the current one.
      if (node) {
        KeepOnly(node);
        SetSelected(node, true);
      }
      break;
    }
    case WM_RBUTTONDOWN:
      // The tree's own right-button handling runs a drag loop and moves the
      // highlight; the form decides what a right click selects.
      SetFocus(Handle());
      if (OnMouseDown) OnMouseDown(1, p);
      return 0;
    case WM_RBUTTONUP: {
      POINT screen = p;
      ClientToScreen(Handle(), &screen);
      if (OnContextPopup) OnContextPopup(screen);
      return 0;
    }
    case WM_CONTEXTMENU:
      if (lParam == -1 && OnContextPopup) {
        // From the keyboard: at the current node, or the tree's corner.
        RECT r{};
        POINT at{0, 0};
        if (Node node = Current()) {
          std::memcpy(&r, &node, sizeof(node));  // TVM_GETITEMRECT's way in
          if (Own(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) at = POINT{r.left, r.bottom};
        }
        ClientToScreen(Handle(), &at);
        OnContextPopup(at);
      }
      return 0;
    case WM_MBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(2, p);
      break;
    case WM_LBUTTONDBLCLK: {
      const LRESULT result = Window::HandleMessage(message, wParam, lParam);
      if (OnDblClick) OnDblClick(p);
      return result;
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void TreeView::Reflected(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  if (message != WM_NOTIFY || clearing_) return;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code == NM_CUSTOMDRAW) {
    // Only a tree that holds such a label asks to hear of each node.
    const auto& draw = *reinterpret_cast<const NMTVCUSTOMDRAW*>(lParam);
    switch (draw.nmcd.dwDrawStage) {
      case CDDS_PREPAINT:
        *result = beyondBasicPlane_.empty() ? CDRF_DODEFAULT : CDRF_NOTIFYITEMDRAW;
        break;
      case CDDS_ITEMPREPAINT:
        if (beyondBasicPlane_.count(reinterpret_cast<Node>(draw.nmcd.dwItemSpec))) {
          // The tree has selected the node's font (underlined while hot) and
          // set its colours; it restores the dc's own before the post-paint.
          drawnFont_ = static_cast<HFONT>(GetCurrentObject(draw.nmcd.hdc, OBJ_FONT));
          drawnText_ = draw.clrText;
          drawnBack_ = draw.clrTextBk;
          *result = CDRF_NOTIFYPOSTPAINT;
        }
        break;
      case CDDS_ITEMPOSTPAINT:
        DrawBeyondBasicPlane(draw);
        break;
      default:
        break;
    }
    return;
  }
  if (header->code != TVN_SELCHANGEDA && header->code != TVN_SELCHANGEDW) return;
  // Both forms of the notice carry the item handle at the same place.
  Node node = reinterpret_cast<const NMTREEVIEWA*>(lParam)->itemNew.hItem;
  if (!keepOthers_) {
    // The tree has marked the new caret itself.
    KeepOnly(node);
    if (node) selected_.insert(node);
  }
  if (OnChange) OnChange(node);
}

void TreeView::DrawBeyondBasicPlane(const NMTVCUSTOMDRAW& draw) const {
  Node node = reinterpret_cast<Node>(draw.nmcd.dwItemSpec);
  RECT label{};
  std::memcpy(&label, &node, sizeof(node));  // TVM_GETITEMRECT's way in
  if (!Own(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label))) return;
  const std::wstring text = WideText(node);
  HDC dc = draw.nmcd.hdc;
  const int saved = SaveDC(dc);
  SelectObject(dc, drawnFont_);
  // As the tree lays its label out: filled, the text 2 pixels in and
  // centred, the focus frame round the caret node.
  HBRUSH back = CreateSolidBrush(drawnBack_);
  FillRect(dc, &label, back);
  DeleteObject(back);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  IntersectClipRect(dc, label.left, label.top, label.right, label.bottom);
  SetTextColor(dc, drawnText_);
  SetBkMode(dc, TRANSPARENT);
  DrawLinkedText(dc, label.left + 2, (label.top + label.bottom - metrics.tmHeight) / 2, text.c_str(),
                 static_cast<int>(text.size()));
  if (node == Current() && GetFocus() == Handle()) DrawFocusRect(dc, &label);
  RestoreDC(dc, saved);
}

}  // namespace gui

#pragma once
#include <set>

#include "ui/Gui.h"

namespace gui {

// A tree filled by the program only: top-level text nodes, an optional
// picture, hot tracking, no label editing, and a multi-selection of its own: a
// plain click selects one node, a control-click adds or removes one. The
// selected nodes are held in a set beside the tree (and marked TVIS_SELECTED
// for drawing), so that no click visits every node of a tree of 100,000.
// `Current` is the node the tree itself has selected (its caret).
class TreeView : public Control {
 public:
  using Node = HTREEITEM;

  std::function<void(Node)> OnChange;               // the current node moved (null: none)
  std::function<void(int button, POINT)> OnMouseDown;  // 0 left, 1 right, 2 middle; client point
  std::function<void(POINT)> OnDblClick;
  std::function<void(POINT screen)> OnContextPopup;  // right button released, or the menu key

  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  // Every node goes; OnChange is not told, whatever the tree reports meanwhile.
  void Clear();
  Node Add(const std::string& text);
  // Every node, in tree order.
  std::vector<Node> Nodes() const;
  std::string NodeText(Node node) const;
  // The node's place in the order nodes were added since the last Clear.
  std::size_t Place(Node node) const { return static_cast<std::size_t>(PlaceOf(node)); }
  Node NodeAt(POINT client) const;
  Node Current() const;
  bool IsSelected(Node node) const { return selected_.count(node) != 0; }
  int SelectedCount() const { return static_cast<int>(selected_.size()); }
  // The selected nodes in tree order.
  std::vector<Node> SelectedNodes() const;
  // Makes the node the one selected node and the current one (OnChange fires
  // when the current node moves).
  void SelectOnly(Node node);
  void SetSelected(Node node, bool selected);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  LRESULT Own(UINT message, WPARAM wParam, LPARAM lParam) const;
  Node NextOf(Node node, UINT relation) const;
  LPARAM PlaceOf(Node node) const;
  std::wstring WideText(Node node) const;
  void Mark(Node node, bool selected);
  // Unmarks every selected node but `keep`.
  void KeepOnly(Node keep);
  void ControlClick(Node node);
  // Draws a label that holds a character above U+FFFF again, over the boxes
  // Wine drew for it.
  void DrawBeyondBasicPlane(const NMTVCUSTOMDRAW& draw) const;
  int pictures_ = -1;  // the picture of every node, or -1
  LPARAM added_ = 0;   // nodes added since the last Clear: each node's place
  std::set<Node> selected_;
  bool keepOthers_ = false;  // the current node moves by a control-click
  bool clearing_ = false;
  // Under Wine: the nodes whose labels the tree itself cannot draw, and the
  // font and colours the tree chose for the node being drawn.
  std::set<Node> beyondBasicPlane_;
  HFONT drawnFont_ = nullptr;
  COLORREF drawnText_ = 0;
  COLORREF drawnBack_ = 0;
};

}  // namespace gui

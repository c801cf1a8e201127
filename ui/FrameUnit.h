#pragma once
// The playlist window: the user's playlists on the right, the artists and
// albums of the one selected on the left, played in the player from a
// double-click or the pop-up menu.
#include <functional>
#include <string>

#include "ui/FrameRules.h"
#include "ui/FrameView.h"
#include "ui/Gui.h"

class TFrame : public gui::Form, public TFrameView {
 public:
  explicit TFrame(HWND owner);
  ~TFrame() override;

  gui::TreeView TreePlaylist;
  gui::Splitter SplitterVertical;
  gui::Panel PanelLeft;
  gui::TreeView TreeArtist;
  gui::Splitter SplitterHorizontal;
  gui::TreeView TreeAlbum;
  gui::Menu MainMenu;
  gui::Menu PopupMenu;
  HIMAGELIST ImageArtist = nullptr;
  HIMAGELIST ImageAlbum = nullptr;

  // The playlist whose artists and albums were loaded last.
  std::string LastPlaylist;
  // Where the play commands go: the system's process start (tests listen here).
  std::function<void(const std::string& commandLine)> StartCommand;

  void FormShow();
  void TreePlaylistChange(gui::TreeView::Node node);
  void TreePlaylistMouseDown(gui::TreeView& tree, int button, POINT client);
  void TreeDblClick(gui::TreeView& tree, POINT client);
  void menuClick(const std::string& item);
  void N2Click();
  void N3Click();
  void HandleMouseLeave();
  void PlaySelected(gui::TreeView& tree, bool addMode);
  // The playlist file of a node; empty when it has none (an artist or album
  // node while no playlist is selected).
  std::string PlaylistFile(gui::TreeView& tree, gui::TreeView::Node node);
  void ClearArtistAndAlbum();
  // The tree the pop-up menu acts on: the one with the focus, else the one
  // last clicked.
  gui::TreeView& ActiveTree();

  // What the main object asks of the window.
  void ShowFrame() override;
  void HideFrame() override { Hide(); }
  bool FrameVisible() const override { return Visible(); }
  void LoadPlaylistTree() override;
  platform::WindowHandle FrameHandle() const override { return reinterpret_cast<platform::WindowHandle>(Handle()); }
  std::int32_t FrameWidth() const override { return Width(); }
  void SetFrameWidth(std::int32_t width) override;
  std::int32_t FrameHeight() const override { return Height(); }
  void SetFrameHeight(std::int32_t height) override;
  std::int32_t PlaylistTreeWidth() const override { return TreePlaylist.Width(); }
  void SetPlaylistTreeWidth(std::int32_t width) override;
  std::int32_t ArtistTreeHeight() const override { return TreeArtist.Height(); }
  void SetArtistTreeHeight(std::int32_t height) override;

 private:
  TTreeKind KindOf(const gui::TreeView& tree) const;
  void FillTree(gui::TreeView& tree, const std::string& indexPath);
  void WireTree(gui::TreeView& tree);
  // The options dialog opens from "設定" (see menuClick).
  void OpenOptions();
  void RunLibraryUpdate();
  // Keeps the splitters' panes within the window (see FitPaneSize).
  void FitPanes();
  gui::TreeView* lastClicked_ = nullptr;
};

#pragma once
// The playlist window: the user's playlists on the right, the artists and
// albums of the one selected on the left, played in the player from a
// double-click or the pop-up menu.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/FrameRules.h"
#include "ui/FrameView.h"
#include "ui/Gui.h"
#include "ui/TreeView.h"

class TAbout;
class TOptionForm;
class TUpdateInfo;

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

  // The dialogs this window opens, each freed here once it has closed. The
  // options dialog is one at a time: asked for again, the open one comes
  // forward with what the user has done in it, since a second one's OK would
  // silently undo what was confirmed in the first. `owner` is the window it
  // stands over (the main window while this one is hidden); with `browse`
  // its folder chooser opens at once; OK lists the playlists through
  // `loadPlaylistTree`.
  TOptionForm* OpenOptions(HWND owner, bool browse, std::function<void()> loadPlaylistTree);
  TAbout* OpenAbout();
  // The library update's dialog: a new one for each update; null once closed.
  TUpdateInfo* OpenUpdateInfo();
  TUpdateInfo* CurrentUpdateInfo() const { return updateOpen_ ? update_.get() : nullptr; }

  // What the main object asks of the window.
  void ShowFrame() override;
  void HideFrame() override { Hide(); }
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
  // What an index file was when it was loaded: whether it was there, its
  // size and its last write.
  struct IndexStamp {
    bool found = false;
    std::uint64_t size = 0, written = 0;
    bool operator==(const IndexStamp& o) const { return found == o.found && size == o.size && written == o.written; }
  };
  static IndexStamp StampOf(const std::string& path);
  // The playlist whose index files the artist and album trees show, with
  // their stamps; none while the trees show nothing of a playlist.
  struct Shown {
    bool valid = false;
    std::string playlist;
    IndexStamp artist, album;
  };
  bool ShowsCurrentIndexes(const std::string& playlist) const;
  Shown shown_;
  // The album index's lines, in node order: an album node may show its
  // album artist beside its name, and is found by its line.
  std::vector<std::string> albumKeys_;
  void WireTree(gui::TreeView& tree);
  void RunLibraryUpdate();
  // Keeps the splitters' panes within the window (see FitPaneSize).
  void FitPanes();
  // A dialog's close posts its number here: it is freed once its own
  // handlers have returned.
  static constexpr UINT kDialogClosed = WM_APP + 40;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FreeWhenClosed(gui::Form& dialog, unsigned* number);

  gui::TreeView* lastClicked_ = nullptr;
  // The tree that had the focus when the window last lost it.
  gui::TreeView* focusTree_ = &TreePlaylist;
  void RememberFocusTree();
  gui::LeaveWatch leaveWatch_;
  std::unique_ptr<TOptionForm> options_;
  unsigned optionsNumber_ = 0;
  std::vector<std::pair<unsigned, std::unique_ptr<TAbout>>> abouts_;
  std::unique_ptr<TUpdateInfo> update_;
  unsigned updateNumber_ = 0;
  bool updateOpen_ = false;
  unsigned lastNumber_ = 0;
};

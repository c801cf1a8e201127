#include "ui/FrameUnit.h"

#include <shellapi.h>

#include <exception>
#include <utility>

#include "library/PlaylistIndex.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Messaging.h"
#include "platform/Process.h"
#include "ui/AboutUnit.h"
#include "ui/FormTexts.h"
#include "ui/OptionUnit.h"
#include "ui/ProgramView.h"
#include "ui/UpdateInfoUnit.h"

namespace {

HIMAGELIST PictureList(const char* resource) {
  const int size = gui::Scale(16);
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 1);
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), gui::Wide(resource).c_str(), IMAGE_ICON, size, size, 0));
  if (icon) {
    ImageList_AddIcon(list, icon);
    DestroyIcon(icon);
  }
  return list;
}

}  // namespace

std::unique_ptr<TFrameView> CreateFrame(platform::WindowHandle owner) {
  return std::make_unique<TFrame>(reinterpret_cast<HWND>(owner));
}

TFrame::TFrame(HWND owner) {
  StartCommand = [](const std::string& line) { platform::StartProgram(line, platform::kSwShowNormal); };
  ImageArtist = PictureList(uitext::kArtistPicture);
  ImageAlbum = PictureList(uitext::kAlbumPicture);
  CreateForm({uitext::kFrameCaption, 410, 348, gui::kSizeableFrame, 0}, owner);
  using gui::Align;
  Place({
      {&TreePlaylist, "TreePlaylist", "", 0, 0, 200, 10, nullptr, Align::Right,
       gui::kShowSelectionAlways | gui::kNoTabStop},
      {&SplitterVertical, "SplitterVertical", "", 0, 0, 2, 10, nullptr, Align::Right},
      {&PanelLeft, "PanelLeft", "", 0, 0, 10, 10, nullptr, Align::Client},
      {&TreeArtist, "TreeArtist", "", 0, 0, 10, 150, &PanelLeft, Align::Top, 0, ImageArtist},
      {&SplitterHorizontal, "SplitterHorizontal", "", 0, 0, 10, 2, &PanelLeft, Align::Top},
      {&TreeAlbum, "TreeAlbum", "", 0, 0, 10, 10, &PanelLeft, Align::Client, 0, ImageAlbum},
  });

  auto item = [this](const char* name, const char* caption) {
    return gui::MenuItem{name, caption, [this, name] { menuClick(name); }, {}};
  };
  MainMenu.Build({item("menuSetting", uitext::kMenuSetting),
                  item("menuUpdate", uitext::kMenuUpdate),
                  {"menuHelp", uitext::kMenuHelp, nullptr,
                   {item("menuReadme", uitext::kMenuReadme), item("menuHomepage", uitext::kMenuHomepage),
                    {"N1", "-", nullptr, {}}, item("menuAbout", uitext::kMenuAbout)}},
                  item("menuExit", uitext::kMenuExit)},
                 false);
  SetMenu(&MainMenu);
  PopupMenu.Build({{"N2", uitext::kPopupPlayNew, [this] { N2Click(); }, {}},
                   {"N3", uitext::kPopupPlayAdd, [this] { N3Click(); }, {}}},
                  true);

  OnShow = [this] { FormShow(); };
  OnResize = [this] { FitPanes(); };
  // The one window that hides when the pointer leaves it.
  leaveWatch_.OnLeave = [this] { HandleMouseLeave(); };
  leaveWatch_.Attach(*this);
  TreePlaylist.OnChange = [this](gui::TreeView::Node node) { TreePlaylistChange(node); };
  for (gui::TreeView* tree : {&TreePlaylist, &TreeArtist, &TreeAlbum}) WireTree(*tree);
}

TFrame::~TFrame() {
  Destroy();
  if (ImageArtist) ImageList_Destroy(ImageArtist);
  if (ImageAlbum) ImageList_Destroy(ImageAlbum);
}

void TFrame::RememberFocusTree() {
  HWND focus = GetFocus();
  for (gui::TreeView* tree : {&TreePlaylist, &TreeArtist, &TreeAlbum}) {
    if (tree->Handle() == focus) focusTree_ = tree;
  }
}

void TFrame::WireTree(gui::TreeView& tree) {
  tree.OnMouseDown = [this, &tree](int button, POINT p) {
    lastClicked_ = &tree;
    TreePlaylistMouseDown(tree, button, p);
  };
  tree.OnDblClick = [this, &tree](POINT p) { TreeDblClick(tree, p); };
  tree.OnContextPopup = [this, &tree](POINT screen) {
    lastClicked_ = &tree;
    PopupMenu.Popup(Handle(), screen);
  };
}

TTreeKind TFrame::KindOf(const gui::TreeView& tree) const {
  if (&tree == &TreeArtist) return TTreeKind::Artist;
  if (&tree == &TreeAlbum) return TTreeKind::Album;
  return TTreeKind::Playlist;
}

// ---- showing and hiding ----

void TFrame::ShowFrame() {
  const bool wasVisible = Visible();
  Show();
  if (!wasVisible) SetFocus(TreePlaylist.Handle());
}

void TFrame::FormShow() {
  // The program shows no taskbar button: the hidden main window carries none
  // and this window is owned by it.
  ShowWindow(reinterpret_cast<HWND>(platform::app::MainWindow()), SW_HIDE);
  platform::Rect area;
  platform::QueryWorkArea(&area);
  int left = 0;
  int top = 0;
  if (CornerPosition(Main->Settings().PlaylistPos, area, Width(), Height(), &left, &top)) {
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The index files may have changed since they were loaded; when they have
  // not, the trees already show them (and keep their selection). One that
  // cannot be read is said here and the window still appears: it is where the
  // user selects another playlist or updates the library.
  if (!ShowsCurrentIndexes(LastPlaylist)) {
    platform::app::RunGuarded([this] {
      for (gui::TreeView::Node node : TreePlaylist.Nodes()) {
        if (TreePlaylist.NodeText(node) == LastPlaylist) TreePlaylistChange(node);
      }
    });
  }
  if (!TreePlaylist.Current()) ClearArtistAndAlbum();
}

void TFrame::HandleMouseLeave() {
  // Not while a box of its own (disabling it) or a splitter's drag holds the
  // pointer.
  if (Main->Settings().AutoHide && Enabled() && !GetCapture()) Hide();
}

// ---- the trees ----

TFrame::IndexStamp TFrame::StampOf(const std::string& path) {
  IndexStamp stamp;
  stamp.found = platform::FileSizeAndTime(path, &stamp.size, &stamp.written);
  return stamp;
}

bool TFrame::ShowsCurrentIndexes(const std::string& playlist) const {
  if (!shown_.valid || shown_.playlist != playlist) return false;
  return StampOf(IndexFilePath(Main->Settings().AppDir, playlist, "Artist")) == shown_.artist &&
         StampOf(IndexFilePath(Main->Settings().AppDir, playlist, "Album")) == shown_.album;
}

void TFrame::ClearArtistAndAlbum() {
  shown_.valid = false;
  TreeArtist.Clear();
  TreeAlbum.Clear();
  albumKeys_.clear();
}

void TFrame::FillTree(gui::TreeView& tree, const std::string& indexPath) {
  std::vector<std::string> nodes;
  if (&tree == &TreeAlbum) albumKeys_.clear();
  const bool found = ReadIndexNodes(indexPath, &nodes);
  SendMessageW(tree.Handle(), WM_SETREDRAW, FALSE, 0);
  tree.Clear();
  if (found) {
    if (&tree == &TreeAlbum) {
      for (const std::string& text : AlbumNodeTexts(nodes)) tree.Add(text);
      albumKeys_ = std::move(nodes);
    } else {
      for (const std::string& text : nodes) tree.Add(text);
    }
  }
  SendMessageW(tree.Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree.Handle(), nullptr, TRUE);
}

void TFrame::TreePlaylistChange(gui::TreeView::Node node) {
  if (!node) {
    ClearArtistAndAlbum();
    return;
  }
  const std::string playlist = TreePlaylist.NodeText(node);
  const std::string artistIndex = IndexFilePath(Main->Settings().AppDir, playlist, "Artist");
  const std::string albumIndex = IndexFilePath(Main->Settings().AppDir, playlist, "Album");
  // Stamped before reading: a file changed while it is read is read again
  // the next time the window is shown.
  Shown loading{true, playlist, StampOf(artistIndex), StampOf(albumIndex)};
  shown_.valid = false;
  // Both trees belong to the playlist selected now, also when an index cannot
  // be read: a tree left from the one before would hand the player this
  // playlist's name with that one's artists. The error is raised once both
  // trees are settled.
  LastPlaylist = playlist;
  std::exception_ptr failure;
  for (auto [tree, path] : {std::pair{&TreeArtist, &artistIndex}, std::pair{&TreeAlbum, &albumIndex}}) {
    try {
      FillTree(*tree, *path);
    } catch (...) {
      tree->Clear();
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
  shown_ = std::move(loading);
}

void TFrame::LoadPlaylistTree() {
  // Clearing and filling must not load the other trees.
  auto change = std::move(TreePlaylist.OnChange);
  TreePlaylist.OnChange = nullptr;
  SendMessageW(TreePlaylist.Handle(), WM_SETREDRAW, FALSE, 0);
  TreePlaylist.Clear();
  for (const std::string& name : PlaylistNodeNames(Main->Settings().PlayListPath)) TreePlaylist.Add(name);
  SendMessageW(TreePlaylist.Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(TreePlaylist.Handle(), nullptr, TRUE);
  TreePlaylist.OnChange = std::move(change);
}

void TFrame::TreePlaylistMouseDown(gui::TreeView& tree, int button, POINT client) {
  if (button != 1) return;
  gui::TreeView::Node node = tree.NodeAt(client);
  if (RightClickSelects(node != nullptr, tree.SelectedCount())) tree.SelectOnly(node);
}

void TFrame::TreeDblClick(gui::TreeView& tree, POINT client) {
  gui::TreeView::Node node = tree.NodeAt(client);
  if (!node) return;
  tree.SelectOnly(node);
  PlaySelected(tree, false);
}

std::string TFrame::PlaylistFile(gui::TreeView& tree, gui::TreeView::Node node) {
  gui::TreeView::Node current = TreePlaylist.Current();
  const std::string playlist = current ? TreePlaylist.NodeText(current) : std::string();
  const TInfo& settings = Main->Settings();
  std::string text = tree.NodeText(node);
  if (&tree == &TreeAlbum) {
    const std::size_t place = tree.Place(node);
    if (place < albumKeys_.size()) text = albumKeys_[place];
  }
  return PlaylistFileOfNode(KindOf(tree), text, current ? &playlist : nullptr, settings.PlayListPath,
                            LibraryContextOf(settings));
}

void TFrame::PlaySelected(gui::TreeView& tree, bool addMode) {
  std::vector<std::string> files;
  for (gui::TreeView::Node node : tree.SelectedNodes()) {
    std::string file = PlaylistFile(tree, node);
    if (!file.empty()) files.push_back(std::move(file));
  }
  if (files.empty()) return;
  if (&tree != &TreePlaylist) {
    // The player takes a file that is not there for an empty play list and
    // drops the user's. A generated file goes missing when its index is
    // older than the files beside it; the next update writes both anew.
    for (const std::string& file : files) {
      if (platform::FileExists(file)) continue;
      platform::ShowMessageBox(FrameHandle(), platform::Message(uitext::kGeneratedPlaylistMissing, file).Face(),
                               platform::Utf8ToUtf16(platform::kWarningCaption), platform::kMbOk | platform::kMbIconWarning);
      return;
    }
  }
  Main->PlayPlaylistFiles(files, addMode, StartCommand);
}

gui::TreeView& TFrame::ActiveTree() {
  HWND focus = GetFocus();
  for (gui::TreeView* tree : {&TreePlaylist, &TreeArtist, &TreeAlbum}) {
    if (tree->Handle() == focus) return *tree;
  }
  return lastClicked_ ? *lastClicked_ : TreePlaylist;
}

void TFrame::N2Click() { PlaySelected(ActiveTree(), false); }
void TFrame::N3Click() { PlaySelected(ActiveTree(), true); }

// ---- the menu ----

void TFrame::menuClick(const std::string& item) {
  HWND mainWindow = reinterpret_cast<HWND>(platform::app::MainWindow());
  if (item == "menuSetting") {
    Hide();
    OpenOptions(Handle(), false, [this] { LoadPlaylistTree(); });
  } else if (item == "menuUpdate") {
    RunLibraryUpdate();
  } else if (item == "menuReadme") {
    const std::wstring readme = gui::Wide(Main->Settings().AppDir) + gui::Wide(uitext::kReadmeFile);
    ShellExecuteW(mainWindow, gui::Wide(uitext::kShellOpen).c_str(), readme.c_str(), L"", L"", SW_SHOW);
  } else if (item == "menuHomepage") {
    ShellExecuteW(mainWindow, gui::Wide(uitext::kShellOpen).c_str(), gui::Wide(uitext::kHomepage).c_str(), L"",
                  L"", SW_SHOW);
  } else if (item == "menuAbout") {
    OpenAbout();
  } else if (item == "menuExit") {
    // The main window's close saves the settings and ends the program.
    platform::app::CloseMainWindow();
  }
}

void TFrame::FreeWhenClosed(gui::Form& dialog, unsigned* number) {
  *number = ++lastNumber_;
  const unsigned posted = *number;
  dialog.OnClose = [this, posted] {
    // The update may still be writing to its dialog: from now on it finds none.
    if (posted == updateNumber_) updateOpen_ = false;
    PostMessageW(Handle(), kDialogClosed, posted, 0);
  };
}

LRESULT TFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE) {
    if (LOWORD(wParam) == WA_INACTIVE) RememberFocusTree();
    const LRESULT result = gui::Form::HandleMessage(message, wParam, lParam);
    // Activated with the focus on the frame itself (after the update
    // dialog's OK, say), no key would do anything: it goes back to a tree.
    if (LOWORD(wParam) != WA_INACTIVE && GetFocus() == Handle()) SetFocus(focusTree_->Handle());
    return result;
  }
  if (message != kDialogClosed) return gui::Form::HandleMessage(message, wParam, lParam);
  const unsigned closed = static_cast<unsigned>(wParam);
  if (options_ && optionsNumber_ == closed) options_.reset();
  if (update_ && updateNumber_ == closed) update_.reset();
  for (auto it = abouts_.begin(); it != abouts_.end(); ++it) {
    if (it->first != closed) continue;
    abouts_.erase(it);
    break;
  }
  return 0;
}

TOptionForm* TFrame::OpenOptions(HWND owner, bool browse, std::function<void()> loadPlaylistTree) {
  // A dialog hidden by its close (its freeing posted) or destroyed with its
  // owner is not the open one.
  if (!options_ || !IsWindow(options_->Handle()) || !options_->Visible()) {
    options_ = std::make_unique<TOptionForm>(owner);
    options_->LoadPlaylistTree = std::move(loadPlaylistTree);
    FreeWhenClosed(*options_, &optionsNumber_);
  }
  options_->Show();
  if (browse) options_->ButtonClick(&options_->btnBrouth);
  return options_.get();
}

TAbout* TFrame::OpenAbout() {
  abouts_.emplace_back(0, std::make_unique<TAbout>(Handle()));
  FreeWhenClosed(*abouts_.back().second, &abouts_.back().first);
  return abouts_.back().second.get();
}

// ---- measures ----

void TFrame::SetFrameWidth(std::int32_t width) {
  SetWindowPos(Handle(), nullptr, 0, 0, width, Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFrame::SetFrameHeight(std::int32_t height) {
  SetWindowPos(Handle(), nullptr, 0, 0, Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFrame::SetPlaylistTreeWidth(std::int32_t width) {
  const RECT r = TreePlaylist.Bounds();
  TreePlaylist.SetBounds(r.left, r.top, width, r.bottom - r.top);
  FitPanes();
}

void TFrame::SetArtistTreeHeight(std::int32_t height) {
  const RECT r = TreeArtist.Bounds();
  TreeArtist.SetBounds(r.left, r.top, r.right - r.left, height);
  FitPanes();
}

void TFrame::FitPanes() {
  // Docking keeps a tree's size whatever the window's: a tree wider than the
  // window would lie outside it, the others 0 wide, and be saved so.
  RECT client{};
  GetClientRect(Handle(), &client);
  const int width = FitPaneSize(TreePlaylist.Width(), client.right - SplitterVertical.Width(),
                                gui::Scale(SplitterVertical.MinSize));
  if (width != TreePlaylist.Width()) {
    const RECT r = TreePlaylist.Bounds();
    TreePlaylist.SetBounds(r.left, r.top, width, r.bottom - r.top);
  }
  Realign();
  RECT panel{};
  GetClientRect(PanelLeft.Handle(), &panel);
  const int height = FitPaneSize(TreeArtist.Height(), panel.bottom - SplitterHorizontal.Height(),
                                 gui::Scale(SplitterHorizontal.MinSize));
  if (height != TreeArtist.Height()) {
    const RECT r = TreeArtist.Bounds();
    TreeArtist.SetBounds(r.left, r.top, r.right - r.left, height);
    PanelLeft.Realign();
  }
}

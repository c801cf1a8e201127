#pragma once
// The options dialog: modeless, on top, one at a time, freed by the window
// that opened it once it has closed (see TFrame::OpenOptions). OK puts its controls into the main object's settings; Cancel and
// the close box drop them. The Startup box acts at the click.
#include <functional>
#include <memory>

#include "ui/FolderDialog.h"
#include "ui/Gui.h"
#include "ui/GuiHotKey.h"
#include "ui/OptionRules.h"

// The outer size of a form whose client area has the designed size at this DPI.
SIZE OuterSize(HWND form, int clientWidth96, int clientHeight96);

// The shortcut keys' page of the options dialog: disables the dialog while it
// is up, and on OK leaves the keys in the dialog's pending settings, which
// the dialog's own OK stores.
class TShortcutForm : public gui::Form {
 public:
  explicit TShortcutForm(HWND options);
  ~TShortcutForm() override;

  gui::CheckBox chkUseHotKeys;
  gui::Label lblPrev, lblPlay, lblPause, lblStop, lblNext, lblPlaylist;
  gui::HotKeyField hkPrev, hkPlay, hkPause, hkStop, hkNext, hkPlaylist;
  gui::CheckBox chkUseMediaKeys;
  gui::Button btnOK;
  gui::Button btnCancel;

  // Shows the shortcut settings of `pending`; OK writes them back there.
  void Open(TInfo* pending);

 private:
  gui::HotKeyField* Field(int index);
  void ShowEnabled();
  // False, after telling the user, when two fields hold the same key.
  bool KeysDiffer();
  void ButtonClick(gui::Button* sender);
  HWND options_;
  TInfo* pending_ = nullptr;
};

class TOptionForm : public gui::Form {
 public:
  // Built hidden; Show() fills and places it.
  explicit TOptionForm(HWND owner);
  ~TOptionForm() override;

  gui::GroupBox GroupTray;
  gui::CheckBox chkPrev;
  gui::CheckBox chkPause;
  gui::CheckBox chkPlayChangePause;
  gui::CheckBox chkStop;
  gui::CheckBox chkCloseOnStop;
  gui::CheckBox chkNext;
  gui::CheckBox chkEject;
  gui::GroupBox GroupStartup;
  gui::CheckBox chkStartup;
  gui::CheckBox chkPlayOnStartup;
  gui::Button btnOK;
  gui::GroupBox GroupEffect;
  gui::CheckBox chkFadeoutOnStop;
  gui::CheckBox chkFadeoutOnChange;
  gui::CheckBox chkAutoHide;
  gui::CheckBox chkNotifyTrack;
  gui::Label Label1;
  gui::ComboBox cmbPlaylistPos;
  gui::GroupBox GroupPlayList;
  gui::CheckBox chkCheckMP3OnUpdate;
  gui::LabeledEdit editPlayListPath;
  gui::Button btnBrouth;
  gui::CheckBox chkReadID3v2;
  gui::CheckBox chkGroupByAlbumArtist;
  gui::CheckBox chkUnicodeLibrary;
  gui::Button btnCancel;
  gui::Button btnShortcuts;
  TFolderDialog FolderDialog;
  // How OK has the playlist window list the playlists of the new folder.
  std::function<void()> LoadPlaylistTree;

  void FormShow();
  void ButtonClick(gui::Button* sender);
  void CheckClick(gui::CheckBox* sender);

  // The shortcut keys' page, once it has been opened.
  TShortcutForm* ShortcutPage() const { return shortcutForm_.get(); }

  // What the controls hold, and the same shown in them.
  TOptionControls ReadControls();
  void ShowControls(const TOptionControls& controls);

 private:
  // A flag's check box, named by its row of the settings.
  gui::CheckBox* Box(const TSetting& row);
  // False, after telling the user, when the folder typed cannot be kept.
  bool PlayListPathFits();
  HICON icon_ = nullptr;
  // The shortcut settings as the user has left them in their page, until OK.
  TInfo shortcuts_;
  std::unique_ptr<TShortcutForm> shortcutForm_;
};

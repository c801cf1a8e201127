#pragma once
// The options dialog: modeless, on top, one at a time, freed by the window
// that opened it once it has closed (see TFrame::OpenOptions). OK puts its controls into the main object's settings; Cancel and
// the close box drop them. The Startup box acts at the click.
#include <functional>

#include "ui/FolderDialog.h"
#include "ui/Gui.h"
#include "ui/OptionRules.h"

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
  gui::Button btnCancel;
  TFolderDialog FolderDialog;
  // How OK has the playlist window list the playlists of the new folder.
  std::function<void()> LoadPlaylistTree;

  void FormShow();
  void ButtonClick(gui::Button* sender);
  void CheckClick(gui::CheckBox* sender);

  // What the controls hold, and the same shown in them.
  TOptionControls ReadControls() const;
  void ShowControls(const TOptionControls& controls);

 private:
  gui::CheckBox* Box(TOptionBox box);
  // False, after telling the user, when the folder typed cannot be held by
  // the system code page.
  bool PlayListPathFits();
  HICON icon_ = nullptr;
};

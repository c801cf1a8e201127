#include "ui/OptionUnit.h"
#include "ui/FrameRules.h"
#include "ui/FrameView.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Messaging.h"
#include "ui/FormTexts.h"
#include "ui/OptionTexts.h"
#include "ui/ProgramView.h"

SIZE OuterSize(HWND hwnd, int clientWidth96, int clientHeight96) {
  RECT r{0, 0, gui::Scale(clientWidth96), gui::Scale(clientHeight96)};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

TOptionForm::TOptionForm(HWND owner) : FolderDialog(*this) {
  namespace t = optiontext;
  // A fixed single border with only the close box in the title bar.
  // Three rows below the described layout hold the ID3v2, album artist and
  // UTF-8 boxes, and OK and Cancel end with the playlist group, three rows
  // lower too; one more row at the foot of the effects group holds the
  // track notice.
  CreateForm({t::kCaption, 505, 292, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER, WS_EX_TOPMOST}, owner);
  const SIZE outer = OuterSize(Handle(), 505, 292);
  SetWindowPos(Handle(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The group boxes are drawn under their controls, which are the form's own:
  // positions inside a group are offset by the group's corner. Creation order
  // is the tab order.
  const int trayX = 8, trayY = 8, startX = 256, startY = 8, effX = 256, effY = 72, listX = 8, listY = 152;
  Place({
      {&GroupTray, "GroupTray", t::kGroupTray, trayX, trayY, 241, 137},
      {&chkPrev, "chkPrev", t::kPrev, trayX + 8, trayY + 16, 73, 17},
      {&chkPause, "chkPause", t::kPause, trayX + 8, trayY + 32, 81, 17},
      {&chkPlayChangePause, "chkPlayChangePause", t::kPlayChangePause, trayX + 24, trayY + 48, 201, 17},
      {&chkStop, "chkStop", t::kStop, trayX + 8, trayY + 64, 73, 17},
      {&chkCloseOnStop, "chkCloseOnStop", t::kCloseOnStop, trayX + 24, trayY + 80, 185, 17},
      {&chkNext, "chkNext", t::kNext, trayX + 8, trayY + 96, 73, 17},
      {&chkEject, "chkEject", t::kEject, trayX + 8, trayY + 112, 73, 17},
      {&GroupStartup, "GroupStartup", t::kGroupStartup, startX, startY, 241, 57},
      {&chkStartup, "chkStartup", t::kStartup, startX + 8, startY + 16, 137, 17},
      {&chkPlayOnStartup, "chkPlayOnStartup", t::kPlayOnStartup, startX + 8, startY + 32, 201, 17},
      {&btnOK, "btnOK", uitext::kOK, 432, 264, 64, 25},
      {&GroupEffect, "GroupEffect", t::kGroupEffect, effX, effY, 241, 121},
      {&chkFadeoutOnStop, "chkFadeoutOnStop", t::kFadeoutOnStop, effX + 8, effY + 16, 193, 17},
      {&chkFadeoutOnChange, "chkFadeoutOnChange", t::kFadeoutOnChange, effX + 8, effY + 32, 225, 17},
      {&chkAutoHide, "chkAutoHide", t::kAutoHide, effX + 8, effY + 56, 177, 17},
      {&Label1, "Label1", t::kLabel1, effX + 16, effY + 76, 152, 12},
      {&cmbPlaylistPos, "cmbPlaylistPos", "", effX + 176, effY + 72, 57, 20},
      {&chkNotifyTrack, "chkNotifyTrack", t::kNotifyTrack, effX + 8, effY + 96, 177, 17},
      {&GroupPlayList, "GroupPlayList", t::kGroupPlayList, listX, listY, 241, 137},
      {&chkCheckMP3OnUpdate, "chkCheckMP3OnUpdate", t::kCheckMP3OnUpdate, listX + 8, listY + 16, 169, 17},
      {&editPlayListPath, "editPlayListPath", t::kPlayListPathLabel, listX + 8, listY + 56, 185, 20},
      {&btnBrouth, "btnBrouth", t::kBrowse, listX + 192, listY + 56, 35, 20},
      {&chkReadID3v2, "chkReadID3v2", t::kReadID3v2, listX + 8, listY + 80, 169, 17},
      {&chkGroupByAlbumArtist, "chkGroupByAlbumArtist", t::kGroupByAlbumArtist, listX + 24, listY + 96, 201, 17},
      {&chkUnicodeLibrary, "chkUnicodeLibrary", t::kUnicodeLibrary, listX + 8, listY + 112, 169, 17},
      {&btnCancel, "btnCancel", t::kCancel, 352, 264, 75, 25},
      // Beside the described controls, last in the tab order.
      {&btnShortcuts, "btnShortcuts", t::kShortcuts, effX, 200, 241, 25},
  });
  // Under another font than the designed one the longer captions would lose
  // their last characters.
  gui::GrowToFitCaptions(*this, {&GroupTray, &GroupStartup, &GroupEffect, &GroupPlayList});
  cmbPlaylistPos.SetItems({t::kPositions[0], t::kPositions[1], t::kPositions[2], t::kPositions[3]});
  FolderDialog.Title = t::kFolderDialogTitle;

  chkEject.Hint = t::kHintEject;
  chkPlayChangePause.Hint = t::kHintPlayChangePause;
  chkCloseOnStop.Hint = t::kHintCloseOnStop;
  chkStartup.Hint = t::kHintStartup;
  chkPlayOnStartup.Hint = t::kHintPlayOnStartup;
  chkFadeoutOnStop.Hint = t::kHintFadeoutOnStop;
  chkFadeoutOnChange.Hint = t::kHintFadeoutOnChange;
  chkAutoHide.Hint = t::kHintAutoHide;
  cmbPlaylistPos.Hint = t::kHintPlaylistPos;
  editPlayListPath.Hint = t::kHintPlayListPath;
  chkCheckMP3OnUpdate.Hint = t::kHintCheckMP3OnUpdate;
  chkReadID3v2.Hint = t::kHintReadID3v2;
  chkGroupByAlbumArtist.Hint = t::kHintGroupByAlbumArtist;
  chkUnicodeLibrary.Hint = t::kHintUnicodeLibrary;
  chkNotifyTrack.Hint = t::kHintNotifyTrack;
  EnableHints();

  // The states each new dialog starts in, before the settings are shown.
  ShowControls(TOptionControls());

  chkStartup.OnClick = [this] { CheckClick(&chkStartup); };
  for (const TSetting& row : kSettings) {
    if (!row.Box) continue;
    gui::CheckBox* sender = Box(row);
    sender->OnClick = [this, sender] { CheckClick(sender); };
  }
  for (gui::Button* button : {&btnOK, &btnCancel, &btnBrouth, &btnShortcuts}) {
    button->OnClick = [this, button] { ButtonClick(button); };
  }
  SetDefaultButton(&btnOK);
  SetCancelButton(&btnCancel);
  OnShow = [this] { FormShow(); };

  const int size = GetSystemMetrics(SM_CXSMICON);
  icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), gui::Wide(t::kIconResource).c_str(), IMAGE_ICON, size, size, 0));
  if (icon_) SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

TOptionForm::~TOptionForm() {
  shortcutForm_.reset();
  Destroy();
  if (icon_) DestroyIcon(icon_);
}

gui::CheckBox* TOptionForm::Box(const TSetting& row) {
  for (gui::CheckBox* box : {&chkPrev, &chkPause, &chkPlayChangePause, &chkStop, &chkCloseOnStop, &chkNext, &chkEject,
                             &chkPlayOnStartup, &chkFadeoutOnStop, &chkFadeoutOnChange, &chkAutoHide, &chkNotifyTrack,
                             &chkCheckMP3OnUpdate, &chkReadID3v2, &chkGroupByAlbumArtist, &chkUnicodeLibrary}) {
    if (box->Name == row.Box) return box;
  }
  return nullptr;
}

TOptionControls TOptionForm::ReadControls() {
  TOptionControls c;
  for (const TSetting& row : kSettings) {
    if (row.Box) c.Checked(row.Flag) = Box(row)->Checked();
  }
  c.chkStartup = chkStartup.Checked();
  c.chkCloseOnStopEnabled = chkCloseOnStop.Enabled();
  c.chkGroupByAlbumArtistEnabled = chkGroupByAlbumArtist.Enabled();
  c.cmbPlaylistPos = cmbPlaylistPos.ItemIndex();
  c.editPlayListPath = editPlayListPath.Text();
  CopyShortcuts(shortcuts_, c.Marks);
  return c;
}

void TOptionForm::ShowControls(const TOptionControls& c) {
  const auto show = [](gui::CheckBox* box, bool checked) {
    if (box->Checked() != checked) box->SetChecked(checked);
  };
  for (const TSetting& row : kSettings) {
    if (row.Box) show(Box(row), c.Checked(row.Flag));
  }
  show(&chkStartup, c.chkStartup);
  chkCloseOnStop.SetEnabled(c.chkCloseOnStopEnabled);
  chkGroupByAlbumArtist.SetEnabled(c.chkGroupByAlbumArtistEnabled);
  if (cmbPlaylistPos.ItemIndex() != c.cmbPlaylistPos) cmbPlaylistPos.SetItemIndex(c.cmbPlaylistPos);
  if (editPlayListPath.Text() != c.editPlayListPath) editPlayListPath.SetText(c.editPlayListPath);
  CopyShortcuts(c.Marks, shortcuts_);
}

void TOptionForm::FormShow() {
  TOptionControls c = ReadControls();
  c.LoadControls(Main->Settings());
  ShowControls(c);

  platform::Rect area;
  platform::QueryWorkArea(&area);
  const RECT r = Bounds();
  int left = 0, top = 0;
  CornerPosition(Main->Settings().PlaylistPos, area, r.right - r.left, r.bottom - r.top, &left, &top);
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetForegroundWindow(Handle());

  c = ReadControls();
  c.LoadStartup(*Main);
  ShowControls(c);

  SetFocus(btnOK.Handle());
  SetForegroundWindow(Handle());
}

void TOptionForm::CheckClick(gui::CheckBox* sender) {
  TOptionControls c = ReadControls();
  if (sender == &chkStartup) {
    c.StartupClick(*Main);
  } else {
    for (const TSetting& row : kSettings) {
      if (row.Box && Box(row) == sender) c.CheckClick(row.Flag);
    }
  }
  ShowControls(c);
}

bool TOptionForm::PlayListPathFits() {
  // A folder in any script is kept; only text that no settings file could
  // hold is refused by name. The dialog stays open with everything the user
  // has done in it.
  const std::wstring typed = editPlayListPath.WideText();
  const std::u16string folder(typed.begin(), typed.end());
  std::string kept;
  return platform::ChosenNameToUtf8(reinterpret_cast<platform::WindowHandle>(Handle()), folder,
                                    optiontext::kFolderUnusable, &kept);
}

void TOptionForm::ButtonClick(gui::Button* sender) {
  if (sender == &btnOK) {
    if (!PlayListPathFits()) return;
    ApplyOptions(ReadControls(), *Main, LoadPlaylistTree);
    Close();
  } else if (sender == &btnCancel) {
    Close();
  } else if (sender == &btnBrouth) {
    if (FolderDialog.Execute()) editPlayListPath.SetText(FolderDialog.Directory);
  } else if (sender == &btnShortcuts) {
    if (!shortcutForm_) shortcutForm_ = std::make_unique<TShortcutForm>(Handle());
    shortcutForm_->Open(&shortcuts_);
  }
}

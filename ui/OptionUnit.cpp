#include "ui/OptionUnit.h"
#include "ui/FrameRules.h"
#include "ui/FrameView.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Messaging.h"
#include "ui/FormTexts.h"
#include "ui/OptionTexts.h"
#include "ui/ProgramView.h"

namespace {

constexpr TOptionBox kBoxes[] = {
    TOptionBox::Prev,          TOptionBox::Pause,         TOptionBox::PlayChangePause,
    TOptionBox::Stop,          TOptionBox::CloseOnStop,   TOptionBox::Next,
    TOptionBox::Eject,         TOptionBox::Startup,       TOptionBox::PlayOnStartup,
    TOptionBox::FadeoutOnStop, TOptionBox::FadeoutOnChange, TOptionBox::AutoHide,
    TOptionBox::CheckMP3OnUpdate, TOptionBox::ReadID3v2, TOptionBox::NotifyTrack,
};

// The outer size that gives a client area of the designed size at this DPI.
SIZE OuterSize(HWND hwnd, int clientWidth96, int clientHeight96) {
  RECT r{0, 0, gui::Scale(clientWidth96), gui::Scale(clientHeight96)};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

TOptionForm::TOptionForm(HWND owner) : FolderDialog(*this) {
  namespace t = optiontext;
  // A fixed single border with only the close box in the title bar.
  // One row below the described layout holds the ID3v2 box; one more row at
  // the foot of the effects group holds the track notice.
  CreateForm({t::kCaption, 505, 260, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER, WS_EX_TOPMOST}, owner);
  const SIZE outer = OuterSize(Handle(), 505, 260);
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
      {&btnOK, "btnOK", t::kOK, 432, 216, 64, 25},
      {&GroupEffect, "GroupEffect", t::kGroupEffect, effX, effY, 241, 121},
      {&chkFadeoutOnStop, "chkFadeoutOnStop", t::kFadeoutOnStop, effX + 8, effY + 16, 193, 17},
      {&chkFadeoutOnChange, "chkFadeoutOnChange", t::kFadeoutOnChange, effX + 8, effY + 32, 225, 17},
      {&chkAutoHide, "chkAutoHide", t::kAutoHide, effX + 8, effY + 56, 177, 17},
      {&Label1, "Label1", t::kLabel1, effX + 16, effY + 76, 152, 12},
      {&cmbPlaylistPos, "cmbPlaylistPos", "", effX + 176, effY + 72, 57, 20},
      {&chkNotifyTrack, "chkNotifyTrack", t::kNotifyTrack, effX + 8, effY + 96, 177, 17},
      {&GroupPlayList, "GroupPlayList", t::kGroupPlayList, listX, listY, 241, 105},
      {&chkCheckMP3OnUpdate, "chkCheckMP3OnUpdate", t::kCheckMP3OnUpdate, listX + 8, listY + 16, 169, 17},
      {&editPlayListPath, "editPlayListPath", t::kPlayListPathLabel, listX + 8, listY + 56, 185, 20},
      {&btnBrouth, "btnBrouth", t::kBrowse, listX + 192, listY + 56, 35, 20},
      {&chkReadID3v2, "chkReadID3v2", t::kReadID3v2, listX + 8, listY + 80, 169, 17},
      {&btnCancel, "btnCancel", t::kCancel, 352, 216, 75, 25},
  });
  // Under another font than the designed one the longer captions would lose
  // their last characters.
  gui::FitCaptionsWithinGroups(*this);
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
  chkNotifyTrack.Hint = t::kHintNotifyTrack;
  EnableHints();

  // The states each new dialog starts in, before the settings are shown.
  ShowControls(TOptionControls());

  for (TOptionBox box : kBoxes) {
    if (box == TOptionBox::AutoHide) continue;  // no rule of its own
    gui::CheckBox* sender = Box(box);
    sender->OnClick = [this, sender] { CheckClick(sender); };
  }
  for (gui::Button* button : {&btnOK, &btnCancel, &btnBrouth}) {
    button->OnClick = [this, button] { ButtonClick(button); };
  }
  SetDefaultButton(&btnOK);
  SetCancelButton(&btnCancel);
  OnShow = [this] { FormShow(); };

  const int size = GetSystemMetrics(SM_CXSMICON);
  icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), t::kIconResource, IMAGE_ICON, size, size, 0));
  if (icon_) SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

TOptionForm::~TOptionForm() {
  Destroy();
  if (icon_) DestroyIcon(icon_);
}

gui::CheckBox* TOptionForm::Box(TOptionBox box) {
  switch (box) {
    case TOptionBox::Prev: return &chkPrev;
    case TOptionBox::Pause: return &chkPause;
    case TOptionBox::PlayChangePause: return &chkPlayChangePause;
    case TOptionBox::Stop: return &chkStop;
    case TOptionBox::CloseOnStop: return &chkCloseOnStop;
    case TOptionBox::Next: return &chkNext;
    case TOptionBox::Eject: return &chkEject;
    case TOptionBox::Startup: return &chkStartup;
    case TOptionBox::PlayOnStartup: return &chkPlayOnStartup;
    case TOptionBox::FadeoutOnStop: return &chkFadeoutOnStop;
    case TOptionBox::FadeoutOnChange: return &chkFadeoutOnChange;
    case TOptionBox::AutoHide: return &chkAutoHide;
    case TOptionBox::CheckMP3OnUpdate: return &chkCheckMP3OnUpdate;
    case TOptionBox::ReadID3v2: return &chkReadID3v2;
    case TOptionBox::NotifyTrack: return &chkNotifyTrack;
    case TOptionBox::None: break;
  }
  return nullptr;
}

TOptionControls TOptionForm::ReadControls() const {
  auto* self = const_cast<TOptionForm*>(this);
  TOptionControls c;
  for (TOptionBox box : kBoxes) c.Checked(box) = self->Box(box)->Checked();
  c.chkCloseOnStopEnabled = chkCloseOnStop.Enabled();
  c.cmbPlaylistPos = cmbPlaylistPos.ItemIndex();
  c.editPlayListPath = editPlayListPath.Text();
  return c;
}

void TOptionForm::ShowControls(const TOptionControls& c) {
  for (TOptionBox box : kBoxes) {
    gui::CheckBox* control = Box(box);
    if (control->Checked() != c.Checked(box)) control->SetChecked(c.Checked(box));
  }
  chkCloseOnStop.SetEnabled(c.chkCloseOnStopEnabled);
  if (cmbPlaylistPos.ItemIndex() != c.cmbPlaylistPos) cmbPlaylistPos.SetItemIndex(c.cmbPlaylistPos);
  if (editPlayListPath.Text() != c.editPlayListPath) editPlayListPath.SetText(c.editPlayListPath);
}

void TOptionForm::FormShow() {
  TOptionControls c = ReadControls();
  c.LoadControls(*Main);
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
  for (TOptionBox box : kBoxes) {
    if (Box(box) != sender) continue;
    TOptionControls c = ReadControls();
    c.CheckClick(box, *Main);
    ShowControls(c);
    return;
  }
}

bool TOptionForm::PlayListPathFits() {
  // The setting and the library are system code page text: a folder typed in
  // letters the code page lacks would be stored with "?" and name no folder.
  // The dialog stays open with everything the user has done in it.
  const std::wstring typed = editPlayListPath.WideText();
  const std::u16string folder(typed.begin(), typed.end());
  std::string ansi;
  return platform::ChosenNameToAnsi(reinterpret_cast<platform::WindowHandle>(Handle()), folder,
                                    optiontext::kFolderUnusable, uitext::kWarningCaption, &ansi);
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
  }
}

// The options dialog's page for the system-wide keys.
#include "ui/OptionUnit.h"

#include "platform/Dialogs.h"
#include "ui/FormTexts.h"
#include "ui/OptionTexts.h"

TShortcutForm::TShortcutForm(HWND options) : options_(options) {
  namespace t = optiontext;
  CreateForm({t::kShortcutCaption, 321, 257, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER, WS_EX_TOPMOST}, options);
  const SIZE outer = OuterSize(Handle(), 321, 257);
  SetWindowPos(Handle(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // One row per key, 26 pixels apart; each label sits level with its field's text.
  const int labelX = 24, fieldX = 168, top = 32, step = 26;
  const auto label = [&](int row) { return top + step * row + 4; };
  const auto field = [&](int row) { return top + step * row; };
  Place({
      {&chkUseHotKeys, "chkUseHotKeys", t::kUseHotKeys, 8, 8, 201, 17},
      {&lblPrev, "lblPrev", t::kShortcutNames[0], labelX, label(0), 137, 12},
      {&hkPrev, "hkPrev", "", fieldX, field(0), 145, 20},
      {&lblPlay, "lblPlay", t::kShortcutNames[1], labelX, label(1), 137, 12},
      {&hkPlay, "hkPlay", "", fieldX, field(1), 145, 20},
      {&lblPause, "lblPause", t::kShortcutNames[2], labelX, label(2), 137, 12},
      {&hkPause, "hkPause", "", fieldX, field(2), 145, 20},
      {&lblStop, "lblStop", t::kShortcutNames[3], labelX, label(3), 137, 12},
      {&hkStop, "hkStop", "", fieldX, field(3), 145, 20},
      {&lblNext, "lblNext", t::kShortcutNames[4], labelX, label(4), 137, 12},
      {&hkNext, "hkNext", "", fieldX, field(4), 145, 20},
      {&lblPlaylist, "lblPlaylist", t::kShortcutNames[5], labelX, label(5), 137, 12},
      {&hkPlaylist, "hkPlaylist", "", fieldX, field(5), 145, 20},
      {&chkUseMediaKeys, "chkUseMediaKeys", t::kUseMediaKeys, 8, 194, 305, 17},
      {&btnOK, "btnOK", uitext::kOK, 169, 224, 64, 25},
      {&btnCancel, "btnCancel", t::kCancel, 238, 224, 75, 25},
  });
  chkUseHotKeys.Hint = t::kHintUseHotKeys;
  chkUseMediaKeys.Hint = t::kHintUseMediaKeys;
  EnableHints();
  chkUseHotKeys.OnClick = [this] { ShowEnabled(); };
  btnOK.OnClick = [this] { ButtonClick(&btnOK); };
  btnCancel.OnClick = [this] { ButtonClick(&btnCancel); };
  SetDefaultButton(&btnOK);
  SetCancelButton(&btnCancel);
  // Modal to the options dialog: it comes back as the page goes.
  OnClose = [this] {
    EnableWindow(options_, TRUE);
    SetForegroundWindow(options_);
  };
}

TShortcutForm::~TShortcutForm() { Destroy(); }

gui::HotKeyField* TShortcutForm::Field(int index) {
  gui::HotKeyField* fields[6] = {&hkPrev, &hkPlay, &hkPause, &hkStop, &hkNext, &hkPlaylist};
  return fields[index];
}

void TShortcutForm::ShowEnabled() {
  const bool on = chkUseHotKeys.Checked();
  for (int i = 0; i < 6; ++i) Field(i)->SetEnabled(on);
  for (gui::Label* l : {&lblPrev, &lblPlay, &lblPause, &lblStop, &lblNext, &lblPlaylist}) l->SetEnabled(on);
}

void TShortcutForm::Open(TInfo* pending) {
  pending_ = pending;
  chkUseHotKeys.SetChecked(pending->UseHotKeys);
  for (int i = 0; i < 6; ++i) Field(i)->SetKey(pending->*kShortcutKeys[i]);
  chkUseMediaKeys.SetChecked(pending->UseMediaKeys);
  ShowEnabled();
  CenterOn(options_);
  EnableWindow(options_, FALSE);
  Show();
  SetFocus(chkUseHotKeys.Handle());
}

bool TShortcutForm::KeysDiffer() {
  for (int i = 0; i < 6; ++i) {
    for (int j = i + 1; j < 6; ++j) {
      if (Field(i)->Key().Key == 0 || Field(i)->Key() != Field(j)->Key()) continue;
      // The system would give the key to one of them and the other would
      // be reported as held by another program.
      platform::ShowMessageBox(reinterpret_cast<platform::WindowHandle>(Handle()),
                               platform::Utf8ToUtf16(optiontext::kShortcutTwice),
                               platform::Utf8ToUtf16(platform::kWarningCaption),
                               platform::kMbOk | platform::kMbIconWarning);
      SetFocus(Field(j)->Handle());
      return false;
    }
  }
  return true;
}

void TShortcutForm::ButtonClick(gui::Button* sender) {
  if (sender == &btnOK) {
    if (!KeysDiffer()) return;
    pending_->UseHotKeys = chkUseHotKeys.Checked();
    for (int i = 0; i < 6; ++i) {
      platform::HotKey& key = pending_->*kShortcutKeys[i];
      const platform::HotKey typed = Field(i)->Key();
      // The field cannot show Win: a key stored with it stays as it was
      // unless the user typed another.
      const platform::HotKey shown{key.Modifiers & ~platform::kModWin, key.Key};
      if (typed != shown) key = typed;
    }
    pending_->UseMediaKeys = chkUseMediaKeys.Checked();
  }
  Close();
}

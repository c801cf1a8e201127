#include "ui/OptionRules.h"

#include "ui/ProgramView.h"

TOptionControls::TOptionControls() {
  // The states the dialog is built with, before it is filled.
  for (TOptionBox box : {TOptionBox::Prev, TOptionBox::Pause, TOptionBox::Stop, TOptionBox::CloseOnStop,
                         TOptionBox::Next, TOptionBox::Eject}) {
    Checked(box) = true;
  }
}

void TOptionControls::SetChecked(TOptionBox box, bool checked, TProgramView& main) {
  bool& held = Checked(box);
  if (held == checked) return;
  held = checked;
  CheckClick(box, main);
}

void TOptionControls::CheckClick(TOptionBox sender, TProgramView& main) {
  switch (sender) {
    // The Pause button and the Play button that turns into one are
    // exclusive: with both, the swap would never happen.
    case TOptionBox::Pause:
      if (Checked(TOptionBox::Pause)) SetChecked(TOptionBox::PlayChangePause, false, main);
      break;
    case TOptionBox::PlayChangePause:
      if (Checked(TOptionBox::PlayChangePause)) SetChecked(TOptionBox::Pause, false, main);
      break;
    case TOptionBox::Stop:
      // Its mark is kept: ticking Stop again brings back the user's choice.
      chkCloseOnStopEnabled = Checked(TOptionBox::Stop);
      break;
    case TOptionBox::Startup:
      if (Checked(TOptionBox::Startup)) {
        main.RegisterStartup();
      } else {
        main.UnregisterStartup();
      }
      // A change that did not happen shows as the box snapping back.
      Checked(TOptionBox::Startup) = main.IsStartupRegistered();
      break;
    default:
      break;
  }
}

void TOptionControls::LoadControls(TProgramView& main) {
  const TInfo& info = main.Settings();
  for (const TSetting& row : kSettings) {
    if (row.Box != TOptionBox::None) SetChecked(row.Box, info.*row.Flag, main);
  }
  chkCloseOnStopEnabled = info.ShowStopIcon;
  cmbPlaylistPos = info.PlaylistPos;
  editPlayListPath = info.PlayListPath;
}

void TOptionControls::LoadStartup(TProgramView& main) { SetChecked(TOptionBox::Startup, main.IsStartupRegistered(), main); }

void ApplyOptions(const TOptionControls& c, TProgramView& main, const std::function<void()>& loadPlaylistTree) {
  TInfo& info = main.Settings();
  for (const TSetting& row : kSettings) {
    if (row.Box != TOptionBox::None) info.*row.Flag = c.Checked(row.Box);
  }
  info.PlaylistPos = c.cmbPlaylistPos;
  info.PlayListPath = c.editPlayListPath;
  main.SettingsChanged();
  if (loadPlaylistTree) loadPlaylistTree();
}

#include "ui/OptionRules.h"

#include "ui/ProgramView.h"

bool& TOptionControls::Checked(TOptionBox box) {
  switch (box) {
    case TOptionBox::Prev: return chkPrev;
    case TOptionBox::Pause: return chkPause;
    case TOptionBox::PlayChangePause: return chkPlayChangePause;
    case TOptionBox::Stop: return chkStop;
    case TOptionBox::CloseOnStop: return chkCloseOnStop;
    case TOptionBox::Next: return chkNext;
    case TOptionBox::Eject: return chkEject;
    case TOptionBox::Startup: return chkStartup;
    case TOptionBox::PlayOnStartup: return chkPlayOnStartup;
    case TOptionBox::FadeoutOnStop: return chkFadeoutOnStop;
    case TOptionBox::FadeoutOnChange: return chkFadeoutOnChange;
    case TOptionBox::AutoHide: return chkAutoHide;
    case TOptionBox::CheckMP3OnUpdate: return chkCheckMP3OnUpdate;
  }
  return chkPrev;
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
      if (chkPause) SetChecked(TOptionBox::PlayChangePause, false, main);
      break;
    case TOptionBox::PlayChangePause:
      if (chkPlayChangePause) SetChecked(TOptionBox::Pause, false, main);
      break;
    case TOptionBox::Stop:
      // Its mark is kept: ticking Stop again brings back the user's choice.
      chkCloseOnStopEnabled = chkStop;
      break;
    case TOptionBox::Startup:
      if (chkStartup) {
        main.RegisterStartup();
      } else {
        main.UnregisterStartup();
      }
      // A change that did not happen shows as the box snapping back.
      chkStartup = main.IsStartupRegistered();
      break;
    default:
      break;
  }
}

void TOptionControls::LoadControls(TProgramView& main) {
  const TInfo& info = main.Settings();
  SetChecked(TOptionBox::Prev, info.ShowPrevIcon, main);
  SetChecked(TOptionBox::Pause, info.ShowPauseIcon, main);
  SetChecked(TOptionBox::Stop, info.ShowStopIcon, main);
  SetChecked(TOptionBox::Next, info.ShowNextIcon, main);
  SetChecked(TOptionBox::Eject, info.ShowEjectIcon, main);
  SetChecked(TOptionBox::PlayChangePause, info.PlayChangePause, main);
  SetChecked(TOptionBox::CloseOnStop, info.CloseOnStop, main);
  chkCloseOnStopEnabled = info.ShowStopIcon;
  SetChecked(TOptionBox::PlayOnStartup, info.PlayOnStartup, main);
  cmbPlaylistPos = info.PlaylistPos;
  SetChecked(TOptionBox::AutoHide, info.AutoHide, main);
  SetChecked(TOptionBox::FadeoutOnStop, info.FadeoutOnStop, main);
  SetChecked(TOptionBox::FadeoutOnChange, info.FadeoutOnChange, main);
  editPlayListPath = info.PlayListPath;
  SetChecked(TOptionBox::CheckMP3OnUpdate, info.CheckMP3OnUpdate, main);
}

void TOptionControls::LoadStartup(TProgramView& main) { SetChecked(TOptionBox::Startup, main.IsStartupRegistered(), main); }

void ApplyOptions(const TOptionControls& c, TProgramView& main, const std::function<void()>& loadPlaylistTree) {
  TInfo& info = main.Settings();
  info.ShowPrevIcon = c.chkPrev;
  info.ShowPauseIcon = c.chkPause;
  info.PlayChangePause = c.chkPlayChangePause;
  info.ShowStopIcon = c.chkStop;
  info.CloseOnStop = c.chkCloseOnStop;
  info.ShowNextIcon = c.chkNext;
  info.ShowEjectIcon = c.chkEject;
  info.PlayOnStartup = c.chkPlayOnStartup;
  info.PlaylistPos = c.cmbPlaylistPos;
  info.AutoHide = c.chkAutoHide;
  info.FadeoutOnStop = c.chkFadeoutOnStop;
  info.FadeoutOnChange = c.chkFadeoutOnChange;
  info.CheckMP3OnUpdate = c.chkCheckMP3OnUpdate;
  info.PlayListPath = c.editPlayListPath;
  main.SettingsChanged();
  if (loadPlaylistTree) loadPlaylistTree();
}

#include "ui/OptionRules.h"

#include "ui/ProgramView.h"

TOptionControls::TOptionControls() {
  // Built with the tray buttons' boxes ticked, as the settings start, and
  // CloseOnStop ticked too.
  Marks.CloseOnStop = true;
}

void TOptionControls::SetChecked(bool TInfo::*flag, bool checked) {
  bool& held = Checked(flag);
  if (held == checked) return;
  held = checked;
  CheckClick(flag);
}

void TOptionControls::CheckClick(bool TInfo::*flag) {
  // The Pause button and the Play button that turns into one are
  // exclusive: with both, the swap would never happen.
  if (flag == &TInfo::ShowPauseIcon && Marks.ShowPauseIcon) SetChecked(&TInfo::PlayChangePause, false);
  if (flag == &TInfo::PlayChangePause && Marks.PlayChangePause) SetChecked(&TInfo::ShowPauseIcon, false);
  // Its mark is kept: ticking Stop again brings back the user's choice.
  if (flag == &TInfo::ShowStopIcon) chkCloseOnStopEnabled = Marks.ShowStopIcon;
  if (flag == &TInfo::ReadID3v2) chkGroupByAlbumArtistEnabled = Marks.ReadID3v2;
}

void TOptionControls::SetStartup(bool checked, TProgramView& main) {
  if (chkStartup == checked) return;
  chkStartup = checked;
  StartupClick(main);
}

void TOptionControls::StartupClick(TProgramView& main) {
  if (chkStartup) {
    main.RegisterStartup();
  } else {
    main.UnregisterStartup();
  }
  // A change that did not happen shows as the box snapping back.
  chkStartup = main.IsStartupRegistered();
}

void TOptionControls::LoadControls(const TInfo& settings) {
  for (const TSetting& row : kSettings) {
    if (row.Box) SetChecked(row.Flag, settings.*row.Flag);
  }
  chkCloseOnStopEnabled = settings.ShowStopIcon;
  chkGroupByAlbumArtistEnabled = settings.ReadID3v2;
  cmbPlaylistPos = settings.PlaylistPos;
  editPlayListPath = settings.PlayListPath;
  CopyShortcuts(settings, Marks);
}

void TOptionControls::LoadStartup(TProgramView& main) { SetStartup(main.IsStartupRegistered(), main); }

void CopyShortcuts(const TInfo& from, TInfo& to) {
  to.UseHotKeys = from.UseHotKeys;
  to.UseMediaKeys = from.UseMediaKeys;
  for (platform::HotKey TInfo::*key : kShortcutKeys) to.*key = from.*key;
}

void ApplyOptions(const TOptionControls& c, TProgramView& main, const std::function<void()>& loadPlaylistTree) {
  TInfo& info = main.Settings();
  for (const TSetting& row : kSettings) {
    if (row.Box) info.*row.Flag = c.Checked(row.Flag);
  }
  info.PlaylistPos = c.cmbPlaylistPos;
  info.PlayListPath = c.editPlayListPath;
  CopyShortcuts(c.Marks, info);
  main.SettingsChanged();
  if (loadPlaylistTree) loadPlaylistTree();
}

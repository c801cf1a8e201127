#pragma once
// The options dialog's rules, apart from any window: the dialog copies what its
// controls hold into TOptionControls, runs a rule over it and shows the result.
// So the rules run, and are tested, where there are no windows.
#include <cstdint>
#include <functional>
#include <string>

#include "ui/Settings.h"

class TProgramView;

// What the dialog's controls hold; the initial values are the states the
// dialog is built with, before it is filled.
struct TOptionControls {
  TOptionControls();
  // The mark of each flag's box, in the field of its setting.
  TInfo Marks;
  bool chkStartup = false;
  bool chkCloseOnStopEnabled = true;
  // The album artist is read from ID3v2 tags only.
  bool chkGroupByAlbumArtistEnabled = false;
  std::int32_t cmbPlaylistPos = 3;
  std::string editPlayListPath;

  bool& Checked(bool TInfo::*flag) { return Marks.*flag; }
  bool Checked(bool TInfo::*flag) const { return Marks.*flag; }

  // Sets a box as its control does when the program sets it: a change of
  // state runs the box's click rule, as a click would.
  void SetChecked(bool TInfo::*flag, bool checked);
  // The rule of a box whose new state is already held.
  void CheckClick(bool TInfo::*flag);
  // The Startup box, which stands for the shortcut, not a setting: it acts
  // on the shortcut at once.
  void SetStartup(bool checked, TProgramView& main);
  void StartupClick(TProgramView& main);

  // The settings into the controls in the settings' order, each box's click
  // rule run as it is set (a swap set after Pause unticks Pause); the
  // shortcuts into Marks.
  void LoadControls(const TInfo& settings);
  // The Startup box from the shortcut's presence; a present shortcut is
  // written anew for the program's present folder.
  void LoadStartup(TProgramView& main);
};

// The shortcut settings from one holder into another. They are edited in a
// dialog of their own and ride in the controls' Marks until OK.
void CopyShortcuts(const TInfo& from, TInfo& to);

// OK: the controls into the settings, then the program's own effects of the
// change and the playlist tree listed from the new folder.
void ApplyOptions(const TOptionControls& controls, TProgramView& main, const std::function<void()>& loadPlaylistTree);

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
  bool states[static_cast<int>(TOptionBox::Count)] = {};
  bool chkCloseOnStopEnabled = true;
  std::int32_t cmbPlaylistPos = 3;
  std::string editPlayListPath;

  bool& Checked(TOptionBox box) { return states[static_cast<int>(box)]; }
  bool Checked(TOptionBox box) const { return states[static_cast<int>(box)]; }

  // Sets a box as its control does when the program sets it: a change of
  // state runs the box's click rule, as a click would.
  void SetChecked(TOptionBox box, bool checked, TProgramView& main);
  // The rule of a box whose new state is already held.
  void CheckClick(TOptionBox sender, TProgramView& main);

  // The settings into the controls in the settings' order, each box's click
  // rule run as it is set (a swap set after Pause unticks Pause).
  void LoadControls(TProgramView& main);
  // The Startup box from the shortcut's presence; a present shortcut is
  // written anew for the program's present folder.
  void LoadStartup(TProgramView& main);
};

// OK: the controls into the settings, then the program's own effects of the
// change and the playlist tree listed from the new folder.
void ApplyOptions(const TOptionControls& controls, TProgramView& main, const std::function<void()>& loadPlaylistTree);

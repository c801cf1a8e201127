#pragma once
// The options dialog's rules, apart from any window: the dialog copies what its
// controls hold into TOptionControls, runs a rule over it and shows the result.
// So the rules run, and are tested, where there are no windows.
#include <cstdint>
#include <functional>
#include <string>

class TProgramView;

enum class TOptionBox {
  Prev,
  Pause,
  PlayChangePause,
  Stop,
  CloseOnStop,
  Next,
  Eject,
  Startup,
  PlayOnStartup,
  FadeoutOnStop,
  FadeoutOnChange,
  AutoHide,
  CheckMP3OnUpdate,
};

// What the dialog's controls hold; the initial values are the states the
// dialog is built with, before it is filled.
struct TOptionControls {
  bool chkPrev = true;
  bool chkPause = true;
  bool chkPlayChangePause = false;
  bool chkStop = true;
  bool chkCloseOnStop = true;
  bool chkCloseOnStopEnabled = true;
  bool chkNext = true;
  bool chkEject = true;
  bool chkStartup = false;
  bool chkPlayOnStartup = false;
  bool chkFadeoutOnStop = false;
  bool chkFadeoutOnChange = false;
  bool chkAutoHide = false;
  std::int32_t cmbPlaylistPos = 3;
  bool chkCheckMP3OnUpdate = false;
  std::string editPlayListPath;

  bool& Checked(TOptionBox box);
  bool Checked(TOptionBox box) const { return const_cast<TOptionControls*>(this)->Checked(box); }

  // Sets a box as its control does when the program sets it: a change of
  // state runs the box's click rule, as a click would.
  void SetChecked(TOptionBox box, bool checked, TProgramView& main);
  // The rule of a box whose new state is already held.
  void CheckClick(TOptionBox sender, TProgramView& main);

  // The settings into the controls, in the order whose click rules give the
  // dialog its opening state.
  void LoadControls(TProgramView& main);
  // The Startup box from the shortcut's presence; a present shortcut is
  // written anew for the program's present folder.
  void LoadStartup(TProgramView& main);
};

// OK: the controls into the settings, then the program's own effects of the
// change and the playlist tree listed from the new folder.
void ApplyOptions(const TOptionControls& controls, TProgramView& main, const std::function<void()>& loadPlaylistTree);

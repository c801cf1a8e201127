#pragma once
// The program as its windows see it: the user's settings, which they show and
// edit in place, and the program's actions they start. The main object
// implements it, so the windows include nothing of app/.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/UpdateProgress.h"
#include "platform/Error.h"
#include "ui/Settings.h"

// How a library update ended, for the window that started it to show: every
// playlist seen, the folder unusable (nothing changed), or abandoned.
struct TUpdateOutcome {
  // A close or the session's end came during the run: nobody will look at
  // its end.
  bool closeCame = false;
  // The playlist folder cannot be used: the warning, then the options.
  std::optional<platform::Message> folderUnusable;
};

class TProgramView {
 public:
  virtual ~TProgramView() = default;
  virtual TInfo& Settings() = 0;

  // The Startup shortcut, acted on at the options dialog's click.
  virtual void RegisterStartup() = 0;
  virtual void UnregisterStartup() = 0;
  virtual bool IsStartupRegistered() = 0;
  // The options dialog's OK changed the settings: what cannot wait for the
  // next poll (the Play image, the Eject button), and the poll told to lay
  // the buttons out anew.
  virtual void SettingsChanged() = 0;

  // Hands playlist files to the player, looking for it (and starting or
  // asking for it) first only while its path is not known good; nothing is
  // started when that fails. Each command line goes to `start` at once.
  virtual void PlayPlaylistFiles(const std::vector<std::string>& files, bool addMode,
                                 const std::function<void(const std::string& commandLine)>& start) = 0;
  // The library update, run from the playlist window with that window
  // disabled: what it has to say meanwhile travels through `progress`, and
  // how it ended comes back.
  virtual TUpdateOutcome UpdatePlaylists(TUpdateProgress& progress) = 0;
  // A close or the session's end came during the update: it stops before
  // its next playlist (the window's `progress` answers so).
  virtual bool CloseAwaited() const = 0;
};

// The one main object of the program (null before it is created).
extern TProgramView* Main;

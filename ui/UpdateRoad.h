#pragma once
// The library update as the window that starts it takes part: the library's
// road (counters, bar, failures, notices, whether a close was asked for) and
// the three ways a run ends, which the main object's driver reports.
#include "library/UpdateProgress.h"
#include "platform/Error.h"

class TUpdateRoad : public TUpdateProgress {
 public:
  // Every playlist was seen: the trees cleared, the dialog done with OK
  // usable, the beep, then the failures listed.
  virtual void Finished() = 0;
  // The playlist folder cannot be used and nothing was changed: the warning
  // over the dialog, the playlist window given back and hidden, the dialog
  // closed, the options dialog opened with its folder chooser.
  virtual void FolderUnusable(const platform::Message& warning) = 0;
  // A close or the session's end came during the run: nobody will look at
  // its end, and the window is given back in case the session goes on.
  virtual void Abandoned() = 0;
};

#pragma once
// The road between a library update and whoever started it: the playlist
// window (its update dialog) or the console tool, each of which implements it
// and decides how to show what it is told. The library shows no window.
#include <string>

#include "platform/Error.h"

// The four counters of the update dialog.
enum class TUpdateCounter { Skipped, Updated, Added, Deleted };

class TUpdateProgress {
 public:
  virtual ~TUpdateProgress() = default;
  // One more playlist of this outcome; the starter decides when it is shown.
  virtual void AddOne(TUpdateCounter counter) = 0;
  virtual void SetProgressMaximum(int maximum) { (void)maximum; }
  virtual void StepProgress() {}
  // The playlist file about to be checked: failures reported until the next
  // call belong to it.
  virtual void BeginPlaylist(const std::string& fileName) { (void)fileName; }
  // Called after every playlist, and after every track read or checked
  // within one: a program with windows keeps them drawn and its message
  // queue answered through a long build, or Windows would call it hung.
  virtual void PlaylistDone() {}
  virtual void TrackDone() {}
  // A playlist (or "playlist.log") could not be handled: the text names the
  // file and what went wrong. The update goes on.
  virtual void ReportFailure(const platform::Message& failure) { (void)failure; }
  // Something the user is told while the update runs (the tag reader's
  // notice of an RMP3 file without its "LIST" chunk, an "A.m3u" passed over
  // for its "A.m3u8", the names the code page could not hold). The update
  // waits until
  // this returns: the window program returns when the user has closed the
  // box, the console tool at once.
  virtual void ShowNotice(const platform::Message& notice) { (void)notice; }
  // Asked before each playlist: true ends the scan there (the program is
  // closing). What was done is kept and the rest is left for the next update.
  virtual bool StopRequested() { return false; }
};

#pragma once
// How a library update reports upward while it runs. The library shows no
// window: the update dialog and the console tool each decide how to show
// what they are told.
#include <string>

// The four counters of the update dialog.
enum class TUpdateCounter { Skipped, Updated, Added, Deleted };

class TUpdateProgress {
 public:
  virtual ~TUpdateProgress() = default;
  // Adds one to a counter and shows it at once.
  virtual void AddOne(TUpdateCounter counter) = 0;
  virtual void RepaintDialog() {}
  virtual void SetProgressMaximum(int maximum) { (void)maximum; }
  virtual void StepProgress() {}
  virtual void RepaintPlaylistWindow() {}
  // The playlist file about to be checked: failures reported until the next
  // call belong to it.
  virtual void BeginPlaylist(const std::string& fileName) { (void)fileName; }
  // A playlist (or "playlist.log") could not be handled: its text names the
  // file and what went wrong. The update goes on.
  virtual void ReportFailure(const std::string& text) { (void)text; }
  // Something the user is told while the update runs (the tag reader's
  // notice of an RMP3 file without its "LIST" chunk). The update waits until
  // this returns: the window program returns when the user has closed the
  // box, the console tool at once.
  virtual void ShowNotice(const std::string& text) { (void)text; }
  // Asked before each playlist: true ends the scan there (the program is
  // closing). What was done is kept and the rest is left for the next update.
  virtual bool StopRequested() { return false; }
};

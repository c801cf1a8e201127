#pragma once
// The windows a library update drives, as the main object reaches them. The
// program links the real windows; the native tests link a recording stand-in,
// so the update's logic runs without a window.
#include <string>

#include "library/PlaylistScan.h"
#include "platform/Types.h"

// The update dialog: a counter per outcome, the bar, the result text and OK.
class TUpdateInfoView {
 public:
  virtual ~TUpdateInfoView() = default;
  virtual void SetCounter(TUpdateCounter counter, long count) = 0;
  virtual void SetProgressMaximum(int maximum) = 0;
  virtual int ProgressPosition() const = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void SetResultText(const std::string& text) = 0;
  virtual void EnableOK() = 0;
  // Draws the whole dialog at once: the update keeps the thread until it ends.
  virtual void Repaint() = 0;
  // Draws at once only what changed since it was last drawn (the counts, the
  // bar).
  virtual void DrawChanged() = 0;
  // Closes the dialog for good; the reference below no longer names it.
  virtual void Close() = 0;
  virtual platform::WindowHandle DialogHandle() const = 0;
};

namespace updatewindows {

// Creates the update dialog, owned by the playlist window (which frees it
// once it has closed, and frees one left from an earlier update now), and
// shows it at once, centred on that window and on top of others.
TUpdateInfoView* CreateUpdateInfo();
// The current update dialog; null once it has closed.
TUpdateInfoView* UpdateInfo();

void EnablePlaylistWindow();
void HidePlaylistWindow();
void RepaintPlaylistWindow();
void ClearArtistAndAlbumTrees();

// Lets the system see that the thread is alive (its message queue looked at)
// without taking or handling any message, so no user input is processed.
void KeepAlive();

// The options dialog, shown with its folder chooser opened at once.
void ShowOptionsWithBrowse();

}  // namespace updatewindows

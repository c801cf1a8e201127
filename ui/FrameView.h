#pragma once
// The playlist window as the main object reaches it: shown from the tray,
// hidden when the program loses activation, refilled after the settings are
// read, and the four measures the settings file keeps. The program links the
// real window; the native tests link a recording stand-in (tests/sim/), so the
// main object's start-up, clicks and settings run without a window.
#include <cstdint>
#include <memory>

#include "platform/Types.h"

class TFrameView {
 public:
  virtual ~TFrameView() = default;
  // Shows the window at its corner (when it was hidden) and brings it forward.
  virtual void ShowFrame() = 0;
  virtual void HideFrame() = 0;
  // Refills the playlist tree from the playlist folder.
  virtual void LoadPlaylistTree() = 0;
  virtual platform::WindowHandle FrameHandle() const = 0;

  // Pixels of the screen: the window's outer size, the playlist tree's width
  // and the artist tree's height.
  virtual std::int32_t FrameWidth() const = 0;
  virtual void SetFrameWidth(std::int32_t width) = 0;
  virtual std::int32_t FrameHeight() const = 0;
  virtual void SetFrameHeight(std::int32_t height) = 0;
  virtual std::int32_t PlaylistTreeWidth() const = 0;
  virtual void SetPlaylistTreeWidth(std::int32_t width) = 0;
  virtual std::int32_t ArtistTreeHeight() const = 0;
  virtual void SetArtistTreeHeight(std::int32_t height) = 0;
};

// The playlist window, created hidden and owned by the main window.
std::unique_ptr<TFrameView> CreateFrame(platform::WindowHandle owner);

// The one playlist window of the program (null before start-up created it).
extern TFrameView* Frame;

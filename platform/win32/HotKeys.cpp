#include <windows.h>
#include <wtsapi32.h>

#include "platform/HotKeys.h"

namespace platform {

bool ClaimHotKey(WindowHandle window, int id, HotKey key) {
  // MOD_NOREPEAT: a finger resting on Next would otherwise skip a track per
  // auto-repeat.
  return ::RegisterHotKey(reinterpret_cast<HWND>(window), id, key.Modifiers | MOD_NOREPEAT, key.Key) != FALSE;
}

void ReleaseHotKey(WindowHandle window, int id) { ::UnregisterHotKey(reinterpret_cast<HWND>(window), id); }

void WatchSession(WindowHandle window, bool watch) {
  if (watch) {
    WTSRegisterSessionNotification(reinterpret_cast<HWND>(window), NOTIFY_FOR_THIS_SESSION);
  } else {
    WTSUnRegisterSessionNotification(reinterpret_cast<HWND>(window));
  }
}

}  // namespace platform

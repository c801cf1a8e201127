#pragma once
// The Win32 side of the notification-area seam; tests under Wine check it.
#include <windows.h>
#include <shellapi.h>

#include "platform/Tray.h"

namespace platform::win32 {

// The record for one Shell_NotifyIconA call, in the shell's first, 88-byte
// layout: every shell takes it, and it asks for nothing a later one added
// (balloons, GUIDs). A delete carries the icon's identity alone; an add or a
// modify also its image, the callback message and an empty tip.
NOTIFYICONDATAA TrayRecord(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon);

}  // namespace platform::win32

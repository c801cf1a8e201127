#pragma once
// The Win32 side of the notification-area seam; tests under Wine check it.
#include <windows.h>
#include <shellapi.h>

#include "platform/Tray.h"

namespace platform::win32 {

// The record for one Shell_NotifyIconW call, in the shell's first layout
// (152 bytes, a tip of 64 UTF-16 units): every shell takes it, and it asks for
// nothing a later one added (balloons, GUIDs). A delete carries the icon's
// identity alone; an add or a modify also its image, the callback message and
// the tip, cut to 63 units.
NOTIFYICONDATAW TrayRecord(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon,
                           const std::string& fixedTip);

// The record that shows a balloon over an icon the shell has: the second
// layout (the first with balloon fields), the balloon alone (NIF_INFO), no
// sound, the texts cut to their fields.
NOTIFYICONDATAW BalloonRecord(WindowHandle window, std::uint32_t id, const std::u16string& title,
                              const std::u16string& text);

}  // namespace platform::win32

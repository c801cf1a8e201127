#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace platform {

using IconHandle = std::uintptr_t;

// The message the shell sends to an icon's window for mouse events over the
// icon; the event itself is in lParam.
constexpr std::uint32_t kTrayCallbackMessage = 0x0400 + 100;

enum class TrayOperation : std::uint32_t { kAdd = 0, kModify = 1, kDelete = 2 };

// Puts an icon into the notification area, changes its image, or takes it
// out. An icon is known by its window and id; an add or a modify gives the
// image and the tip (a fixed text naming the button: the shell's icon
// settings and screen readers show it) and asks for kTrayCallbackMessage, a
// delete needs none of them. False when the shell refuses (an add of an icon
// it has, a change of one it has not).
bool ShellNotifyIcon(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon,
                     const std::string& fixedTip = std::string());

// The longest title and text of a notification balloon, in UTF-16 units
// (the shell's fields hold one more, for the NUL).
constexpr std::size_t kBalloonTitleUnits = 63;
constexpr std::size_t kBalloonTextUnits = 255;

// The system's own notification balloon over an icon in the notification
// area, without a sound (music is playing). The caller cuts both texts to
// the lengths above; anything longer is cut here without a mark. False when
// the shell refuses (an icon it does not have).
bool ShowTrayBalloon(WindowHandle window, std::uint32_t id, const std::u16string& title, const std::u16string& text);

// Loads an ".ico" file at the size the system asks for the notification area
// (small-icon metrics). Raises Error when the file cannot be loaded.
IconHandle LoadTrayIconFile(const std::string& path);
void DestroyTrayIcon(IconHandle icon);

}  // namespace platform

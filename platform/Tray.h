#pragma once
#include <cstdint>
#include <string>

namespace platform {

using IconHandle = std::uintptr_t;

// The shell's notification-icon record in its first, 88-byte layout.
struct NotifyIconData {
  std::uint32_t cbSize;
  std::uint32_t hWnd;
  std::uint32_t uID;
  std::uint32_t uFlags;
  std::uint32_t uCallbackMessage;
  std::uint32_t hIcon;
  char szTip[64];
};
static_assert(sizeof(NotifyIconData) == 88, "first NOTIFYICONDATA layout");

constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;
constexpr std::uint32_t kNimDelete = 2;
constexpr std::uint32_t kNifMessage = 1;
constexpr std::uint32_t kNifIcon = 2;
constexpr std::uint32_t kNifTip = 4;

// Shell_NotifyIconA.
bool ShellNotifyIcon(std::uint32_t operation, const NotifyIconData* data);

// Loads an ".ico" file at the size the system asks for the notification area
// (small-icon metrics). Raises Error when the file cannot be loaded.
IconHandle LoadTrayIconFile(const std::string& path);
void DestroyTrayIcon(IconHandle icon);

}  // namespace platform

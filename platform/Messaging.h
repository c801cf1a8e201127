#pragma once
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace platform {

constexpr std::uint32_t kWmNull = 0x0000;
constexpr std::uint32_t kWmKeyDown = 0x0100;
constexpr std::uint32_t kWmKeyUp = 0x0101;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmUser = 0x0400;
constexpr std::uint32_t kWmClose = 0x0010;
// Sent to every top-level window when a system setting changed: wParam names
// a SystemParametersInfo setting, or lParam an area by name.
constexpr std::uint32_t kWmSettingChange = 0x001A;
constexpr std::uintptr_t kSpiSetHighContrast = 0x0043;

constexpr int kSwShowNormal = 1;
constexpr int kSwRestore = 9;

// The placement record in its 44-byte form.
struct WindowPlacement {
  std::uint32_t length = 0;
  std::uint32_t flags = 0;
  std::uint32_t showCmd = 0;
  std::int32_t minPosition[2] = {0, 0};
  std::int32_t maxPosition[2] = {0, 0};
  Rect normalPosition;
};
static_assert(sizeof(WindowPlacement) == 44, "WINDOWPLACEMENT is 44 bytes");

// FindWindowW(className, NULL).
WindowHandle FindTopLevelWindow(const std::string& className);
// SendMessageTimeoutW with SMTO_ABORTIFHUNG: returns once the window has
// handled the message, but waits at most `timeoutMs`, and not at all for a
// window whose program Windows already takes for hung. False when no answer
// came (hung, too slow, or no such window); `answer` is then left as it was.
// A message that timed out may still be handled later, after those sent
// before it.
bool SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam, unsigned timeoutMs, std::intptr_t* answer = nullptr);
bool BringToForeground(WindowHandle window);
bool GetPlacement(WindowHandle window, WindowPlacement* placement);
bool SetPlacement(WindowHandle window, const WindowPlacement* placement);
// IsIconic: false for no window.
bool IsMinimized(WindowHandle window);
// ShowWindow; answers whether the window was visible before.
bool ShowWindowAs(WindowHandle window, int showCommand);
// RegisterWindowMessageW.
std::uint32_t RegisterMessageName(const std::string& name);

// SystemParametersInfoW(SPI_GETWORKAREA, 0, rect, 0).
bool QueryWorkArea(Rect* rect);
// SPI_GETHIGHCONTRAST: whether the user has high contrast on.
bool HighContrastOn();
// The area a kWmSettingChange names in its lParam ("ImmersiveColorSet" for
// the light or dark colours of the taskbar and apps); empty for none.
std::string SettingChangeArea(std::intptr_t lParam);

}  // namespace platform

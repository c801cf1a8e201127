#include <windows.h>

#include "platform/Beep.h"
#include "platform/Messaging.h"
#include "platform/Process.h"

namespace platform {

namespace {
HWND H(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

WindowHandle FindTopLevelWindow(const std::string& className) {
  return reinterpret_cast<WindowHandle>(FindWindowA(className.c_str(), nullptr));
}

bool SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                       unsigned timeoutMs, std::intptr_t* answer) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(H(window), message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) {
    return false;
  }
  if (answer) *answer = static_cast<std::intptr_t>(result);
  return true;
}

bool BringToForeground(WindowHandle window) { return SetForegroundWindow(H(window)) != FALSE; }

bool GetPlacement(WindowHandle window, WindowPlacement* placement) {
  static_assert(sizeof(WINDOWPLACEMENT) == sizeof(WindowPlacement), "placement layout");
  return GetWindowPlacement(H(window), reinterpret_cast<WINDOWPLACEMENT*>(placement)) != FALSE;
}

bool SetPlacement(WindowHandle window, const WindowPlacement* placement) {
  return SetWindowPlacement(H(window), reinterpret_cast<const WINDOWPLACEMENT*>(placement)) != FALSE;
}

bool IsMinimized(WindowHandle window) { return IsIconic(H(window)) != FALSE; }

bool ShowWindowAs(WindowHandle window, int showCommand) { return ShowWindow(H(window), showCommand) != FALSE; }

std::uint32_t RegisterMessageName(const std::string& name) {
  return RegisterWindowMessageA(name.c_str());
}

bool QueryWorkArea(Rect* rect) {
  RECT r{};
  const BOOL ok = SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  rect->left = r.left;
  rect->top = r.top;
  rect->right = r.right;
  rect->bottom = r.bottom;
  return ok != FALSE;
}

bool HighContrastOn() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::string SettingChangeArea(std::intptr_t lParam) {
  // The program's windows are ANSI windows: the system hands them the name
  // in the code page, whatever the sender used.
  const char* area = reinterpret_cast<const char*>(lParam);
  return area ? std::string(area) : std::string();
}

unsigned StartProgram(const std::string& commandLine, int showCommand) {
  return WinExec(commandLine.c_str(), static_cast<UINT>(showCommand));
}

void DefaultBeep() { MessageBeep(0); }

}  // namespace platform

#include <windows.h>

#include "platform/Beep.h"
#include "platform/Locale.h"
#include "platform/Messaging.h"
#include "platform/Process.h"

namespace platform {

namespace {
HWND H(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

WindowHandle FindTopLevelWindow(const std::string& className) {
  return reinterpret_cast<WindowHandle>(FindWindowW(reinterpret_cast<LPCWSTR>(Utf8ToUtf16(className).c_str()), nullptr));
}

bool SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                       unsigned timeoutMs, std::intptr_t* answer) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(H(window), message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) {
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
  return RegisterWindowMessageW(reinterpret_cast<LPCWSTR>(Utf8ToUtf16(name).c_str()));
}

bool QueryWorkArea(Rect* rect) {
  RECT r{};
  const BOOL ok = SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  rect->left = r.left;
  rect->top = r.top;
  rect->right = r.right;
  rect->bottom = r.bottom;
  return ok != FALSE;
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::string SettingChangeArea(std::intptr_t lParam) {
  // The program's windows are Unicode windows: the system hands them the
  // name in UTF-16, whatever the sender used.
  const auto* area = reinterpret_cast<const char16_t*>(lParam);
  return area ? Utf16ToUtf8(area) : std::string();
}

unsigned StartProgram(const std::string& commandLine, int showCommand) {
  // WinExec's answer and its wait, for a command line in any script.
  std::u16string line = Utf8ToUtf16(commandLine);
  line.push_back(u'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, reinterpret_cast<LPWSTR>(&line[0]), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? error : ERROR_BAD_FORMAT;
  }
  // Callers look for the new program's window right after the start: it
  // has one once it waits for input.
  WaitForInputIdle(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 33;
}

void DefaultBeep() { MessageBeep(0); }

}  // namespace platform

#include <windows.h>
#include <shellapi.h>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Tray.h"
#include "platform/win32/TrayRecord.h"

namespace platform {

namespace win32 {

NOTIFYICONDATAA TrayRecord(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = reinterpret_cast<HWND>(window);
  record.uID = id;
  if (operation != TrayOperation::kDelete) {
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = reinterpret_cast<HICON>(icon);
  }
  return record;
}

}  // namespace win32

bool ShellNotifyIcon(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon) {
  NOTIFYICONDATAA record = win32::TrayRecord(operation, window, id, icon);
  return Shell_NotifyIconA(static_cast<DWORD>(operation), &record) != FALSE;
}

IconHandle LoadTrayIconFile(const std::string& path) {
  if (!FileExists(path)) throw Error(FormatText(kErrCannotOpen, path));
  HANDLE icon = LoadImageA(nullptr, path.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                           GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE);
  if (!icon) {
    // A file that is no icon often fails without a reason (the last error
    // stays 0, whose text says the operation succeeded): our own text then,
    // naming the file, rather than a success message.
    const DWORD code = GetLastError();
    std::string message;
    char* text = nullptr;
    if (code != ERROR_SUCCESS &&
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr) &&
        text) {
      message = text;
      LocalFree(text);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    if (message.empty()) message = FormatText(kErrIconUnreadable, path);
    throw Error(message);
  }
  return reinterpret_cast<IconHandle>(icon);
}

void DestroyTrayIcon(IconHandle icon) {
  if (icon) DestroyIcon(reinterpret_cast<HICON>(icon));
}

}  // namespace platform

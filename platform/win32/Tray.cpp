#include <windows.h>
#include <shellapi.h>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Tray.h"

namespace platform {

bool ShellNotifyIcon(std::uint32_t operation, const NotifyIconData* data) {
  // On 32-bit Windows our record is byte for byte the first NOTIFYICONDATAA.
  static_assert(sizeof(void*) == 4, "the 88-byte record holds 32-bit handles");
  return Shell_NotifyIconA(operation,
                           reinterpret_cast<PNOTIFYICONDATAA>(const_cast<NotifyIconData*>(data))) != FALSE;
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

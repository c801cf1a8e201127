#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Tray.h"
#include "platform/win32/TrayRecord.h"

namespace platform {

namespace win32 {

NOTIFYICONDATAW TrayRecord(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon,
                           const std::string& fixedTip) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = reinterpret_cast<HWND>(window);
  record.uID = id;
  if (operation != TrayOperation::kDelete) {
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = reinterpret_cast<HICON>(icon);
    const std::u16string tip = Utf8ToUtf16(fixedTip);
    const std::size_t length = std::min<std::size_t>(tip.size(), 63);
    std::copy(tip.begin(), tip.begin() + static_cast<std::ptrdiff_t>(length), record.szTip);
  }
  return record;
}

NOTIFYICONDATAW BalloonRecord(WindowHandle window, std::uint32_t id, const std::u16string& title,
                              const std::u16string& text) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V2_SIZE;
  record.hWnd = reinterpret_cast<HWND>(window);
  record.uID = id;
  record.uFlags = NIF_INFO;
  std::copy_n(title.begin(), std::min(title.size(), kBalloonTitleUnits), record.szInfoTitle);
  std::copy_n(text.begin(), std::min(text.size(), kBalloonTextUnits), record.szInfo);
  // Windows before Vista keep it up this long; later ones follow the user's
  // accessibility setting.
  record.uTimeout = 10000;
  record.dwInfoFlags = NIIF_NONE | NIIF_NOSOUND;
  return record;
}

}  // namespace win32

bool ShowTrayBalloon(WindowHandle window, std::uint32_t id, const std::u16string& title, const std::u16string& text) {
  NOTIFYICONDATAW record = win32::BalloonRecord(window, id, title, text);
  return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

bool ShellNotifyIcon(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon,
                     const std::string& fixedTip) {
  NOTIFYICONDATAW record = win32::TrayRecord(operation, window, id, icon, fixedTip);
  return Shell_NotifyIconW(static_cast<DWORD>(operation), &record) != FALSE;
}

IconHandle LoadTrayIconFile(const std::string& path) {
  if (!FileExists(path)) throw Error(kErrCannotOpen, path);
  const std::u16string widePath = Utf8ToUtf16(path);
  HANDLE icon = LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(widePath.c_str()), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                           GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE);
  if (!icon) {
    // A file that is no icon often fails without a reason (the last error
    // stays 0, whose text says the operation succeeded): our own text then,
    // naming the file, rather than a success message.
    const DWORD code = GetLastError();
    std::string message;
    wchar_t* text = nullptr;
    if (code != ERROR_SUCCESS &&
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr) &&
        text) {
      message = Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
      LocalFree(text);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    if (message.empty()) throw Error(kErrIconUnreadable, path);
    throw Error(message);
  }
  return reinterpret_cast<IconHandle>(icon);
}

void DestroyTrayIcon(IconHandle icon) {
  if (icon) DestroyIcon(reinterpret_cast<HICON>(icon));
}

}  // namespace platform

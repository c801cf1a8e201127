#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "platform/Error.h"
#include "platform/Locale.h"
#include "platform/ShellLink.h"
#include "platform/win32/LateLoad.h"

namespace platform {

namespace {

// Releases a COM interface on every path out.
template <typename T>
struct Held {
  T* p = nullptr;
  ~Held() {
    if (p) p->Release();
  }
};

std::string Utf8Of(const wchar_t* text) { return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text)); }

std::wstring Wide(const std::string& text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string HResultText(HRESULT hr) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::string message = text ? Utf8Of(text) : "";
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  if (message.empty()) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    message = code;
  }
  return message;
}

void Check(HRESULT hr) {
  if (FAILED(hr)) throw Error(HResultText(hr));
}

}  // namespace

std::string ReadCurrentUserString(const std::string& key, const std::string& subKey,
                                  const std::string& valueName) {
  HKEY parent = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &parent, nullptr) != ERROR_SUCCESS) {
    return std::string();
  }
  std::string value;
  HKEY child = nullptr;
  const std::wstring name = Wide(valueName);
  if (RegOpenKeyExW(parent, Wide(subKey).c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(child, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      // The stored bytes need not end in a NUL (nor be whole units); one
      // more unit is kept in hand.
      std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
      if (RegQueryValueExW(child, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &size) == ERROR_SUCCESS) {
        value = Utf8Of(buffer.data());
      }
    }
    RegCloseKey(child);
  }
  RegCloseKey(parent);
  return value;
}

bool ReadCurrentUserNumber(const std::string& keyPath, const std::string& valueName, std::uint32_t* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, data = 0, size = sizeof(data);
  const LONG status =
      RegQueryValueExW(key, Wide(valueName).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data)) return false;
  *value = data;
  return true;
}

bool QueryShellStartupFolder(std::string* folder) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, buffer)) || !buffer[0]) {
    return false;
  }
  *folder = Utf8Of(buffer);
  return true;
}

void SaveShellLink(const std::string& linkFile, const std::string& target, const std::string& workingFolder) {
  static const auto create = late::Function<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  if (!late::ComReady() || !create) Check(CO_E_NOTINITIALIZED);
  Held<IShellLinkW> link;
  Check(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link.p)));
  Held<IPersistFile> file;
  Check(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)));
  link.p->SetPath(Wide(target).c_str());
  link.p->SetWorkingDirectory(Wide(workingFolder).c_str());
  file.p->Save(Wide(linkFile).c_str(), FALSE);
}

}  // namespace platform

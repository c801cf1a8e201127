#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/Error.h"
#include "platform/ShellLink.h"

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

std::string HResultText(HRESULT hr) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string message = text ? text : "";
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  if (message.empty()) {
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(hr));
    message = code;
  }
  return message;
}

void Check(HRESULT hr) {
  if (FAILED(hr)) throw Error(HResultText(hr));
}

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
  wide.resize(static_cast<std::size_t>(n) - 1);
  return wide;
}

}  // namespace

std::string ReadCurrentUserString(const std::string& key, const std::string& subKey,
                                  const std::string& valueName) {
  HKEY parent = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &parent, nullptr) != ERROR_SUCCESS) {
    return std::string();
  }
  std::string value;
  HKEY child = nullptr;
  if (RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(child, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      // The stored bytes need not end in a NUL; one more is kept in hand.
      std::vector<char> buffer(size + 1, '\0');
      if (RegQueryValueExA(child, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &size) == ERROR_SUCCESS) {
        value = buffer.data();
      }
    }
    RegCloseKey(child);
  }
  RegCloseKey(parent);
  return value;
}

bool ReadCurrentUserNumber(const std::string& keyPath, const std::string& valueName, std::uint32_t* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, data = 0, size = sizeof(data);
  const LONG status =
      RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data)) return false;
  *value = data;
  return true;
}

bool QueryShellStartupFolder(std::string* folder) {
  char buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, buffer)) || !buffer[0]) {
    return false;
  }
  *folder = buffer;
  return true;
}

void SaveShellLink(const std::string& linkFile, const std::string& target, const std::string& workingFolder) {
  Held<IShellLinkA> link;
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link.p)));
  Held<IPersistFile> file;
  Check(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)));
  link.p->SetPath(target.c_str());
  link.p->SetWorkingDirectory(workingFolder.c_str());
  file.p->Save(Wide(linkFile).c_str(), FALSE);
}

}  // namespace platform

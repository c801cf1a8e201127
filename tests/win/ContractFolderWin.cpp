// Where the file seam's contract runs on Windows: a real temporary folder.
#include <windows.h>


#include "WinTestSupport.h"
#include "platform/Locale.h"
#include "tests/contract/FileSeamContract.h"

namespace contract {

std::string NewFolder(const std::string& name) {
  return wintest::TempFolder("kv-contract-" + std::to_string(GetTickCount()) + "-" + name);
}

namespace {
// Past the seam, yet for names in every script: the W calls on UTF-8 paths.
std::wstring W(const std::string& utf8) {
  const std::u16string wide = platform::Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}
}  // namespace

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(W(folder + "*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::string utf8 = platform::Utf16ToUtf8(std::u16string(name.begin(), name.end()));
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(folder + utf8 + "\\");
      } else {
        DeleteFileW(W(folder + utf8).c_str());
      }
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  RemoveDirectoryW(W(folder).c_str());
}

void PutFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}
void PutFolder(const std::string& path) { CreateDirectoryW(W(path).c_str(), nullptr); }

}  // namespace contract

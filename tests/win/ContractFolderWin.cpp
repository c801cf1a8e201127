// Where the file seam's contract runs on Windows: a real temporary folder.
#include <windows.h>

#include <fstream>

#include "WinTestSupport.h"
#include "tests/contract/FileSeamContract.h"

namespace contract {

std::string NewFolder(const std::string& name) {
  return wintest::TempFolder("kv-contract-" + std::to_string(GetTickCount()) + "-" + name);
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(folder + name + "\\");
      } else {
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

void PutFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
void PutFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

}  // namespace contract

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/common/MessageBoxRedirect.h"

namespace platform {

int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned flags) {
  if (const auto& redirect = detail::MessageBoxRedirect()) return redirect(text, caption);
  return MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), flags);
}

bool ShowOpenFileDialog(WindowHandle owner, const std::string& filter, std::string* fileName) {
  // "label|pattern|..." becomes the NUL-separated list the dialog wants.
  std::vector<char> filterList(filter.begin(), filter.end());
  for (char& c : filterList) {
    if (c == '|') c = '\0';
  }
  filterList.push_back('\0');
  filterList.push_back('\0');

  std::vector<char> buffer(MAX_PATH * 4, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = reinterpret_cast<HWND>(owner);
  ofn.lpstrFilter = filterList.data();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  if (!GetOpenFileNameA(&ofn)) return false;
  *fileName = buffer.data();
  return true;
}

namespace {

// The browser calls back with the folder it was handed as its data.
int CALLBACK BrowseCallback(HWND wnd, UINT notification, LPARAM param, LPARAM data) {
  char text[512] = {};
  const std::string& directory = *reinterpret_cast<const std::string*>(data);
  if (notification == BFFM_INITIALIZED) {
    if (DirectoryExists(directory)) {
      SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(directory.c_str()));
    }
  } else if (notification == BFFM_SELCHANGED) {
    // Not every item has a path (My Computer itself): the line is emptied.
    SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(param), text);
  }
  SendMessageA(wnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return 0;
}

}  // namespace

bool ShowFolderDialog(WindowHandle owner, const std::string& title, std::string* directory) {
  bool result = false;
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
  char* displayName = static_cast<char*>(allocator->Alloc(MAX_PATH));
  if (!displayName) {
    allocator->Release();
    return false;
  }
  HWND parent = reinterpret_cast<HWND>(owner);
  LPITEMIDLIST root = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(parent, CSIDL_DRIVES, &root)) || !root) {
    allocator->Free(displayName);
    allocator->Release();
    return false;
  }
  BROWSEINFOA info{};
  info.hwndOwner = parent;
  info.pidlRoot = root;
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  // The status line only: items without a file-system path may be confirmed.
  info.ulFlags = BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  const std::string preselect = *directory;
  info.lParam = reinterpret_cast<LPARAM>(&preselect);
  if (LPITEMIDLIST chosen = SHBrowseForFolderA(&info)) {
    result = true;
    if (SHGetPathFromIDListA(chosen, displayName)) *directory = displayName;
    allocator->Free(chosen);
  }
  allocator->Free(root);
  allocator->Free(displayName);
  allocator->Release();
  return result;
}

}  // namespace platform

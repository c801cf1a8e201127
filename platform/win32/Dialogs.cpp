#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "platform/Dialogs.h"
#include "platform/Locale.h"
#include "platform/common/MessageBoxRedirect.h"
#include "platform/win32/LateLoad.h"

namespace platform {

namespace {
LPCWSTR Wide(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }
}  // namespace

int ShowMessageBox(WindowHandle owner, const std::u16string& text, const std::u16string& caption,
                   unsigned flags) {
  if (const auto& redirect = detail::MessageBoxRedirect()) return redirect(Utf16ToUtf8(text), Utf16ToUtf8(caption));
  return MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text), Wide(caption), flags);
}

bool ShowOpenFileDialog(WindowHandle owner, const std::string& fixedFilter, std::u16string* fileName) {
  // "label|pattern|..." becomes the NUL-separated list the dialog wants.
  std::u16string filterList = Utf8ToUtf16(fixedFilter);
  for (char16_t& c : filterList) {
    if (c == u'|') c = u'\0';
  }
  filterList.push_back(u'\0');
  filterList.push_back(u'\0');

  std::vector<wchar_t> buffer(MAX_PATH * 4, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = reinterpret_cast<HWND>(owner);
  ofn.lpstrFilter = Wide(filterList);
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  static const auto open = late::Function<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
  if (!open || !open(&ofn)) return false;
  *fileName = reinterpret_cast<const char16_t*>(buffer.data());
  return true;
}

namespace {

// The browser calls back with the folder it was handed as its data.
int CALLBACK BrowseCallback(HWND wnd, UINT notification, LPARAM param, LPARAM data) {
  wchar_t text[512] = {};
  const std::u16string& directory = *reinterpret_cast<const std::u16string*>(data);
  if (notification == BFFM_INITIALIZED) {
    if (!directory.empty() && GetFileAttributesW(Wide(directory)) != INVALID_FILE_ATTRIBUTES &&
        (GetFileAttributesW(Wide(directory)) & FILE_ATTRIBUTE_DIRECTORY)) {
      SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(Wide(directory)));
    }
  } else if (notification == BFFM_SELCHANGED) {
    // Not every item has a path (My Computer itself): the line is emptied.
    SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(param), text);
  }
  SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(text));
  return 0;
}

}  // namespace

bool ShowFolderDialog(WindowHandle owner, const std::string& fixedTitle, std::u16string* directory) {
  // The browser's folder views are COM objects of this thread.
  late::ComReady();
  bool result = false;
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
  wchar_t* displayName = static_cast<wchar_t*>(allocator->Alloc(MAX_PATH * sizeof(wchar_t)));
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
  const std::u16string title = Utf8ToUtf16(fixedTitle);
  BROWSEINFOW info{};
  info.hwndOwner = parent;
  info.pidlRoot = root;
  info.pszDisplayName = displayName;
  info.lpszTitle = Wide(title);
  // The status line only: items without a file-system path may be confirmed.
  info.ulFlags = BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  const std::u16string preselect = *directory;
  info.lParam = reinterpret_cast<LPARAM>(&preselect);
  if (LPITEMIDLIST chosen = SHBrowseForFolderW(&info)) {
    result = true;
    if (SHGetPathFromIDListW(chosen, displayName)) *directory = reinterpret_cast<const char16_t*>(displayName);
    allocator->Free(chosen);
  }
  allocator->Free(root);
  allocator->Free(displayName);
  allocator->Release();
  return result;
}

}  // namespace platform

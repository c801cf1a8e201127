#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/Dialogs.h"
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

}  // namespace platform

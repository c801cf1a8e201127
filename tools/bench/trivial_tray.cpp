// The floor of kelvane-startbench: the least a tray program does at start,
// built with the same toolchain and flags as Kelvane. One hidden window and
// the six buttons from the same .ico files (the folder on the command line),
// then the message loop until the window is closed.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR iconFolder, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TrayProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"KelvaneTrivialTray";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Kelvane", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance, nullptr);
  const char* const names[6] = {"Prev", "Play", "Pause", "Stop", "Next", "Eject"};
  for (UINT id = 1; id <= 6; ++id) {
    const std::string path = std::string(iconFolder) + "\\" + names[id - 1] + ".ico";
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = hwnd;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_APP;
    record.hIcon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
    lstrcpyW(record.szTip, L"Kelvane");
    Shell_NotifyIconW(NIM_ADD, &record);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  for (UINT id = 1; id <= 6; ++id) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = hwnd;
    record.uID = id;
    Shell_NotifyIconW(NIM_DELETE, &record);
  }
  return 0;
}

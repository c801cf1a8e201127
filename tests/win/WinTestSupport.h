#pragma once
// Helpers for tests that run under Wine against real Win32 and real peers.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Locale.h"

namespace wintest {

// A path handed over from the Linux side (ctest's environment) as Wine sees
// it: the root of the Linux file system is drive Z:.
inline std::string FromHostPath(const char* hostPath) {
  if (!hostPath || !*hostPath) return std::string();
  std::string path = hostPath;
  if (path.size() > 1 && path[1] == ':') return path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return "Z:" + path;
}

inline std::string EnvPath(const char* name) { return FromHostPath(std::getenv(name)); }

inline std::string TempFolder(const std::string& name) {
  char buffer[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buffer);
  std::string folder = std::string(buffer) + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A window's or a menu item's text, UTF-8.
inline std::string Utf8Of(const wchar_t* text) { return platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(text)); }
inline std::string MenuText(HMENU menu, int position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return Utf8Of(text);
}

// Sets a file's last write time, given in local time.
inline bool SetWriteTime(const std::string& path, SYSTEMTIME local) {
  FILETIME localTime{}, utc{};
  SystemTimeToFileTime(&local, &localTime);
  LocalFileTimeToFileTime(&localTime, &utc);
  // The path is UTF-8, as every path inside the program.
  const std::u16string wide = platform::Utf8ToUtf16(path);
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool set = SetFileTime(file, nullptr, nullptr, &utc);
  CloseHandle(file);
  return set;
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Waits up to `ms` for a condition, pumping this thread's messages meanwhile.
template <typename F>
bool WaitFor(F condition, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  }
  return true;
}

struct Process {
  PROCESS_INFORMATION pi{};
  bool Start(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
  }
  bool WaitExit(DWORD ms, DWORD* code = nullptr) {
    if (!pi.hProcess || WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return false;
    if (code) GetExitCodeProcess(pi.hProcess, code);
    return true;
  }
  ~Process() {
    if (pi.hProcess) {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
};

// Saves what the screen shows of a window as a 24-bit BMP, when the
// environment names a folder in KELVANE_SHOTS (for looking at a window
// built in-process); nothing otherwise.
inline void SaveWindowImage(HWND hwnd, const std::string& name) {
  const std::string folder = EnvPath("KELVANE_SHOTS");
  if (folder.empty()) return;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  RECT r{};
  GetWindowRect(hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u), size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), size);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

}  // namespace wintest

// Start and memory of kelvane.exe beside a trivial tray program
// (kelvane-trivialtray.exe: one hidden window, six Shell_NotifyIconW icons
// from the same .ico files, same toolchain and flags), under Wine, in
// alternation, the median of the rounds:
//   - the main window there (kelvane's "TMain", the floor's window);
//   - every button the player's state calls for in the tray: with the
//     stand-in player playing, all six;
//   - private memory (RssAnon of the process) once both have settled.
// The icons are counted by a stand-in of the shell's tray window that this
// program puts in front of Wine's (it answers every icon at once, so the
// shell's drawing is in neither figure).
//   kelvane-startbench [--rounds n] [--smoke] <kelvane.exe> <trivialtray.exe> <player.exe> <work folder>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::map<DWORD, std::set<UINT>> gIcons;  // process -> icons added

// Wine's tray is found by class; the topmost window of the class made last
// is found first.
LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData == NIM_ADD && data->cbData >= 8) {
      // Wine's record starts with the owner window and the icon's id.
      const auto* words = static_cast<const UINT*>(data->lpData);
      DWORD process = 0;
      GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<UINT_PTR>(words[0])), &process);
      gIcons[process].insert(words[1]);
    }
    return TRUE;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

double Now() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

void Pump(DWORD ms) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

HWND WindowOfProcess(const wchar_t* cls, DWORD process) {
  for (HWND w = FindWindowExW(nullptr, nullptr, cls, nullptr); w; w = FindWindowExW(nullptr, w, cls, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process) return w;
  }
  return nullptr;
}

// RssAnon in KiB of the host process whose command line names `marker`
// (each program runs from a folder of its own name).
long RssAnon(const std::string& marker) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  long best = -1;
  if (search == INVALID_HANDLE_VALUE) return best;
  do {
    if (!std::isdigit(static_cast<unsigned char>(entry.cFileName[0]))) continue;
    const std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
    std::ifstream cmd(dir + "\\cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(cmd)), std::istreambuf_iterator<char>());
    std::transform(line.begin(), line.end(), line.begin(), [](char c) { return c == '/' ? '\\' : c; });
    if (line.find(marker) == std::string::npos) continue;
    std::ifstream status(dir + "\\status");
    for (std::string s; std::getline(status, s);) {
      if (s.rfind("RssAnon:", 0) == 0) best = std::max(best, std::atol(s.c_str() + 8));
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return best;
}

struct Figures {
  double window = -1, icons = -1;
  long rssKiB = -1;
};

// One start: the times from CreateProcess, then the memory, then a close.
Figures Run(const std::string& exe, const std::string& args, const wchar_t* mainClass, std::size_t iconsWanted,
            const std::string& marker) {
  Figures f;
  std::string line = "\"" + exe + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  gIcons.clear();
  const double start = Now();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return f;
  HWND main = nullptr;
  while (Now() - start < 20 && (f.window < 0 || f.icons < 0)) {
    Pump(1);
    if (!main && (main = WindowOfProcess(mainClass, pi.dwProcessId))) f.window = Now() - start;
    if (f.icons < 0 && gIcons[pi.dwProcessId].size() >= iconsWanted) f.icons = Now() - start;
  }
  for (int i = 0; i < 150; ++i) Pump(10);  // settled: 1.5 s
  f.rssKiB = RssAnon(marker);
  if (main) PostMessageW(main, WM_CLOSE, 0, 0);
  for (int i = 0; i < 500 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; ++i) Pump(10);
  if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return f;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

bool CopyTree(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA e;
  HANDLE s = FindFirstFileA((from + "\\*").c_str(), &e);
  if (s == INVALID_HANDLE_VALUE) return false;
  do {
    const std::string name = e.cFileName;
    if (name == "." || name == "..") continue;
    if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(from + "\\" + name, to + "\\" + name);
    } else {
      CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    }
  } while (FindNextFileA(s, &e));
  FindClose(s);
  return true;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5;
  bool smoke = false;
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--smoke") {
      smoke = true;
    } else {
      rest.push_back(a);
    }
  }
  if (rest.size() != 4) {
    std::fprintf(stderr, "usage: kelvane-startbench [--rounds n] [--smoke] <kelvane.exe> <trivialtray.exe> "
                         "<player.exe> <work folder>\n");
    return 2;
  }
  if (smoke) rounds = 1;
  const std::string work = rest[3];
  const std::string kelvaneDir = work + "\\kvstart-kelvane", floorDir = work + "\\kvstart-floor";
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(kelvaneDir.c_str(), nullptr);
  CreateDirectoryA(floorDir.c_str(), nullptr);
  CopyFileA(rest[0].c_str(), (kelvaneDir + "\\kelvane.exe").c_str(), FALSE);
  CopyTree(FolderOf(rest[0]) + "\\icon", kelvaneDir + "\\icon");
  DeleteFileA((kelvaneDir + "\\kelvane.ini").c_str());
  CopyFileA(rest[1].c_str(), (floorDir + "\\kelvane-trivialtray.exe").c_str(), FALSE);

  WNDCLASSW wc{};
  wc.lpfnWndProc = TrayProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&wc);
  HWND tray = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, wc.hInstance, nullptr);

  // The player, playing: the state that calls for all six buttons.
  std::string playerLine = "\"" + rest[2] + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION player{};
  if (!CreateProcessA(nullptr, &playerLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &player)) {
    std::fprintf(stderr, "the player did not start\n");
    return 1;
  }
  HWND playerWindow = nullptr;
  for (int i = 0; i < 1000 && !(playerWindow = FindWindowW(L"Winamp v1.x", nullptr)); ++i) Pump(10);
  if (playerWindow) SendMessageW(playerWindow, WM_COMMAND, 40045, 0);

  std::vector<double> kw, ki, fw, fi, km, fm;
  for (int r = 0; r < rounds; ++r) {
    // Each side first in turn.
    for (int side = 0; side < 2; ++side) {
      const bool kelvane = (side + r) % 2 == 0;
      const Figures f = kelvane ? Run(kelvaneDir + "\\kelvane.exe", "", L"TMain", 6, "kvstart-kelvane")
                                : Run(floorDir + "\\kelvane-trivialtray.exe", kelvaneDir + "\\icon",
                                      L"KelvaneTrivialTray", 6, "kvstart-floor");
      std::printf("round %d %-8s window %.3f s, icons %.3f s, RssAnon %ld KiB\n", r + 1, kelvane ? "kelvane" : "floor",
                  f.window, f.icons, f.rssKiB);
      (kelvane ? kw : fw).push_back(f.window);
      (kelvane ? ki : fi).push_back(f.icons);
      (kelvane ? km : fm).push_back(static_cast<double>(f.rssKiB));
    }
  }
  if (playerWindow) PostMessageW(playerWindow, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(player.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(player.hProcess, 1);
  DestroyWindow(tray);

  const bool complete = std::min({Median(kw), Median(ki), Median(fw), Median(fi), Median(km), Median(fm)}) > 0;
  std::printf("\n| What | Kelvane | Floor | Ratio | Target |\n|---|---|---|---|---|\n");
  std::printf("| main window there | %.3f s | %.3f s | %.2fx | |\n", Median(kw), Median(fw), Median(kw) / Median(fw));
  std::printf("| all six buttons in the tray (player playing) | %.3f s | %.3f s | %.2fx | <= 1.3x |\n", Median(ki),
              Median(fi), Median(ki) / Median(fi));
  std::printf("| private memory (RssAnon) | %.0f KiB | %.0f KiB | %.2fx | <= 2x |\n", Median(km), Median(fm),
              Median(km) / Median(fm));
  if (!complete) std::fprintf(stderr, "a figure is missing (a window, the icons or the memory never came)\n");
  return complete ? 0 : 1;
}

// kelvane.exe itself: a program without a visible window that closes cleanly.
#include <gtest/gtest.h>

#include <iterator>

#include "WinTestSupport.h"

namespace {

struct Found {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == found->pid) found->windows.push_back(hwnd);
  return TRUE;
}

// A top-level window of the process with that class (and caption, if given).
HWND WindowOf(const wintest::Process& program, const std::string& className, const char* caption = nullptr) {
  Found found{program.pi.dwProcessId, {}};
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
  for (HWND h : found.windows) {
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof(cls));
    wchar_t text[128] = {};
    GetWindowTextW(h, text, 128);
    if (className == cls && (!caption || caption == wintest::Utf8Of(text))) return h;
  }
  return nullptr;
}

// A folder of its own with the program and its icons, so the settings file
// it uses is this test's. Empty when the build is not known.
std::string ProgramFolder(const std::string& name) {
  const std::string bin = wintest::EnvPath("KELVANE_BIN");
  if (bin.empty()) return std::string();
  const std::string folder = wintest::TempFolder(name);
  if (!CopyFileA((bin + "\\kelvane.exe").c_str(), (folder + "kelvane.exe").c_str(), FALSE)) return std::string();
  CreateDirectoryA((folder + "icon").c_str(), nullptr);
  for (const char* icon : {"Prev", "Play", "Pause", "Stop", "Next", "Eject"}) {
    const std::string from = bin + "\\icon\\" + icon + ".ico";
    const std::string to = folder + "icon\\" + icon + ".ico";
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return std::string();
  }
  SetFileAttributesA((folder + "kelvane.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA((folder + "kelvane.ini").c_str());
  return folder;
}

TEST(ProgramWinTest, StartsWithoutAVisibleWindowAndClosesOnWmClose) {
  const std::string folder = ProgramFolder("kelvane-program-test");
  if (folder.empty()) GTEST_SKIP() << "KELVANE_BIN is not set";

  wintest::Process program;
  ASSERT_TRUE(program.Start("\"" + folder + "kelvane.exe\""));
  HWND main = nullptr;
  ASSERT_TRUE(wintest::WaitFor([&] { return (main = WindowOf(program, "TMain")) != nullptr; }, 10000));
  Sleep(1500);  // a few polls
  Found found{program.pi.dwProcessId, {}};
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
  for (HWND h : found.windows) {
    EXPECT_FALSE(IsWindowVisible(h)) << "a window of kelvane.exe is visible";
    // A taskbar button needs a visible window that is not a tool window.
    const LONG exStyle = GetWindowLongA(h, GWL_EXSTYLE);
    EXPECT_TRUE(!IsWindowVisible(h) || (exStyle & WS_EX_TOOLWINDOW));
  }
  EXPECT_GE(found.windows.size(), 7u);  // the main object and six tray buttons

  PostMessageA(main, WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(program.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);
  const std::vector<std::string> ini = wintest::ReadLines(folder + "kelvane.ini");
  ASSERT_FALSE(ini.empty());
  EXPECT_EQ(ini[0], "[Info]");
}

// A backup or virus scan holding kelvane.ini while the program starts must
// not cost the user the settings: one warning, and the file as it was after
// the program has ended.
TEST(ProgramWinTest, SettingsHeldAtStartUpAreLeftAsTheyWere) {
  const std::string folder = ProgramFolder("kelvane-held-ini-test");
  if (folder.empty()) GTEST_SKIP() << "KELVANE_BIN is not set";
  const std::string ini = folder + "kelvane.ini";
  const std::string users = "[Setting]\r\nPlayerPath=C:\\Winamp\\winamp.exe\r\nPlaylistPos=0\r\n";
  { std::ofstream(ini, std::ios::binary | std::ios::trunc) << users; }
  HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  wintest::Process program;
  ASSERT_TRUE(program.Start("\"" + folder + "kelvane.exe\""));
  HWND box = nullptr;
  const bool warned = wintest::WaitFor([&] { return (box = WindowOf(program, "#32770", "警告")) != nullptr; }, 15000);
  CloseHandle(held);
  ASSERT_TRUE(warned) << "no warning that the settings could not be read";
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
  EXPECT_NE(std::string(text).find(ini), std::string::npos) << text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);

  HWND main = nullptr;
  ASSERT_TRUE(wintest::WaitFor([&] { return (main = WindowOf(program, "TMain")) != nullptr; }, 10000));
  ASSERT_TRUE(wintest::WaitFor([&] { return WindowOf(program, "#32770", "警告") == nullptr; }, 5000));
  PostMessageA(main, WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(program.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);
  std::ifstream in(ini, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), users);
}

}  // namespace

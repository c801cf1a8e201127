// kelvane.exe itself: a program without a visible window that closes cleanly.
#include <gtest/gtest.h>

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

TEST(ProgramWinTest, StartsWithoutAVisibleWindowAndClosesOnWmClose) {
  const std::string bin = wintest::EnvPath("KELVANE_BIN");
  if (bin.empty()) GTEST_SKIP() << "KELVANE_BIN is not set";
  // A folder of its own, so the settings file it writes is this test's.
  const std::string folder = wintest::TempFolder("kelvane-program-test");
  ASSERT_TRUE(CopyFileA((bin + "\\kelvane.exe").c_str(), (folder + "kelvane.exe").c_str(), FALSE));
  CreateDirectoryA((folder + "icon").c_str(), nullptr);
  for (const char* name : {"Prev", "Play", "Pause", "Stop", "Next", "Eject"}) {
    const std::string from = bin + "\\icon\\" + name + ".ico";
    const std::string to = folder + "icon\\" + name + ".ico";
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
  }
  DeleteFileA((folder + "kelvane.ini").c_str());

  wintest::Process program;
  ASSERT_TRUE(program.Start("\"" + folder + "kelvane.exe\""));
  HWND main = nullptr;
  ASSERT_TRUE(wintest::WaitFor(
      [&] {
        Found found{program.pi.dwProcessId, {}};
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
        for (HWND h : found.windows) {
          char cls[64] = {};
          GetClassNameA(h, cls, sizeof(cls));
          if (std::string(cls) == "TMain") main = h;
        }
        return main != nullptr;
      },
      10000));
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

}  // namespace

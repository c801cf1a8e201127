// The shell's folder browser as our platform call drives it: preselection,
// the status line, a drive root, My Computer itself, cancel.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "platform/Dialogs.h"
#include "platform/Locale.h"
#include "tests/win/WinTestSupport.h"

namespace {

// The browser's status line and folder tree, as the shell numbers them.
constexpr int kStatusId = 0x3743;
constexpr int kTreeId = 0x3741;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof(cls));
  if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindBrowser() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Acts on the browser from inside its modal loop, once it is up.
struct Robot {
  static Robot* current;
  std::function<void(HWND)> act;
  std::string status;
  std::string caption;
  bool acted = false;
  int waited = 0;
  UINT_PTR timer = 0;

  explicit Robot(std::function<void(HWND)> a) : act(std::move(a)) {
    current = this;
    timer = SetTimer(nullptr, 0, 100, Tick);
  }
  ~Robot() {
    KillTimer(nullptr, timer);
    current = nullptr;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Robot* r = current;
    if (!r || r->acted) return;
    HWND browser = FindBrowser();
    if (!browser) return;
    // Wine may fill the tree a little after the window shows: until some item
    // is selected (the preselected folder or the root), the browser is not
    // ready for a person either.
    if (!SendDlgItemMessageA(browser, kTreeId, TVM_GETNEXTITEM, TVGN_CARET, 0) && ++r->waited < 30) return;
    r->acted = true;
    char text[MAX_PATH * 2] = {};
    GetDlgItemTextA(browser, kStatusId, text, sizeof(text));
    r->status = text;
    r->act(browser);
  }
};
Robot* Robot::current = nullptr;

void PressOk(HWND browser) { PostMessageA(browser, WM_COMMAND, IDOK, 0); }
void PressCancel(HWND browser) { PostMessageA(browser, WM_COMMAND, IDCANCEL, 0); }

std::string StatusText(HWND browser) {
  char text[MAX_PATH * 2] = {};
  GetDlgItemTextA(browser, kStatusId, text, sizeof(text));
  return text;
}

// Moves the tree's selection to the parent of the selected item.
void SelectParent(HWND browser) {
  HWND tree = GetDlgItem(browser, kTreeId);
  const LPARAM caret = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, caret));
}

// The browser speaks UTF-16; these folders are plain ASCII.
bool Browse(std::string* directory) {
  std::u16string wide = platform::AnsiToUtf16(*directory);
  const bool confirmed = platform::ShowFolderDialog(0, "title", &wide);
  *directory = platform::Utf16ToAnsi(wide);
  return confirmed;
}

TEST(FolderDialogWinTest, AnExistingFolderIsPreselectedAndTheStatusLineFollowsTheSelection) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string preselected = system;
  std::string directory = preselected;
  Robot robot(PressOk);
  EXPECT_TRUE(Browse(&directory));
  EXPECT_TRUE(robot.acted);
  // Emptied at initialisation, after the preselection.
  EXPECT_EQ(robot.status, "");
  EXPECT_EQ(directory, preselected);

  std::string afterMove;
  Robot moving([&](HWND browser) {
    SelectParent(browser);
    afterMove = StatusText(browser);
    PressOk(browser);
  });
  EXPECT_TRUE(Browse(&directory));
  const std::string parent = preselected.substr(0, preselected.rfind('\\'));
  EXPECT_EQ(afterMove, parent);
  EXPECT_EQ(directory, parent);
}

TEST(FolderDialogWinTest, CancelLeavesTheDirectory) {
  std::string directory = "C:\\windows";
  Robot robot(PressCancel);
  EXPECT_FALSE(Browse(&directory));
  EXPECT_TRUE(robot.acted);
  EXPECT_EQ(directory, "C:\\windows");
}

TEST(FolderDialogWinTest, ADriveRootKeepsItsBackslash) {
  std::string directory = "C:\\";
  Robot robot(PressOk);
  EXPECT_TRUE(Browse(&directory));
  EXPECT_EQ(directory, "C:\\");
}

TEST(FolderDialogWinTest, AMissingFolderIsNotPreselectedAndMyComputerLeavesTheDirectory) {
  std::string directory = "C:\\no such folder here";
  Robot robot([](HWND browser) {
    // The root item (My Computer) chosen explicitly: it has no path.
    HWND tree = GetDlgItem(browser, kTreeId);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    PressOk(browser);
  });
  EXPECT_TRUE(Browse(&directory));
  EXPECT_EQ(robot.status, "");
  EXPECT_EQ(directory, "C:\\no such folder here");
}

TEST(FolderDialogWinTest, AChosenNameGoesBackToTheCodePageOnlyWhenItHoldsEveryCharacter) {
  // The system's own conversion, not the simulated one: a stand-in character
  // ("?" for Korean, a look-alike "a" for "\u0101") would name another folder.
  std::string ansi = "kept";
  EXPECT_FALSE(platform::Utf16ToAnsiExact(u"C:\\\uC74C\uC545", &ansi));
  EXPECT_FALSE(platform::Utf16ToAnsiExact(u"C:\\M\u0101ori", &ansi));
  EXPECT_EQ(ansi, "kept");
  EXPECT_TRUE(platform::Utf16ToAnsiExact(u"C:\\Music", &ansi));
  EXPECT_EQ(ansi, "C:\\Music");
  if (GetACP() == 932) {
    EXPECT_TRUE(platform::Utf16ToAnsiExact(u"C:\\\u97F3\u697D", &ansi));
    EXPECT_EQ(ansi, "C:\\\x89\xB9\x8A\x79");  // "音楽" in code page 932
  }
}

}  // namespace

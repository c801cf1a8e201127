// The Startup shortcut against the prefix's real registry, Startup folder and
// shell links: written, read back through IShellLinkA, removed, re-pointed by
// a program that has moved.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>

#include "app/MainUnit.h"
#include "platform/Dialogs.h"
#include "tests/win/WinTestSupport.h"

namespace {

const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::optional<std::string> RegistryStartup() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char buffer[MAX_PATH * 2] = {};
  DWORD size = sizeof(buffer) - 1;
  DWORD type = 0;
  const LONG rc = RegQueryValueExA(key, "Startup", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return std::string(buffer);
}

void SetRegistryStartup(const std::optional<std::string>& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value) {
    RegSetValueExA(key, "Startup", 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>(value->size() + 1));
  } else {
    RegDeleteValueA(key, "Startup");
  }
  RegCloseKey(key);
}

std::string ShellStartup() {
  char buffer[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer);
  return buffer;
}

struct LinkRead {
  std::string target;
  std::string workingFolder;
};

// What Windows itself resolves from the link file.
std::optional<LinkRead> ReadLink(const std::string& file) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return std::nullopt;
  }
  IPersistFile* persist = nullptr;
  std::optional<LinkRead> out;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    wchar_t wide[MAX_PATH * 2];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH * 2);
    if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
      char path[MAX_PATH * 2] = {};
      char folder[MAX_PATH * 2] = {};
      link->GetPath(path, sizeof(path), nullptr, SLGP_RAWPATH);
      link->GetWorkingDirectory(folder, sizeof(folder));
      out = LinkRead{path, folder};
    }
    persist->Release();
  }
  link->Release();
  return out;
}

struct Windows {
  DWORD pid;
  int count;
};

BOOL CALLBACK CountWindows(HWND hwnd, LPARAM lParam) {
  auto* found = reinterpret_cast<Windows*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == found->pid) ++found->count;
  return TRUE;
}

class StartupWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = RegistryStartup();
    // A prefix whose profile never asked for the value has none yet.
    if (!saved_ || saved_->empty()) SetRegistryStartup(ShellStartup());
    folder_ = *RegistryStartup();
    CreateDirectoryA(folder_.c_str(), nullptr);
    link_ = folder_ + "\\Kelvane.lnk";
    DeleteFileA(link_.c_str());
    app_ = wintest::TempFolder("kelvane-startup-app");
    main_.Info.AppDir = app_;
    platform::RedirectMessageBoxes([this](const std::string& text, const std::string& caption) {
      boxes_.push_back(caption + "|" + text);
      return IDOK;
    });
  }
  void TearDown() override {
    platform::RedirectMessageBoxes(nullptr);
    DeleteFileA(link_.c_str());
    DeleteFileA((folder_ + "\\kelvane.lnk").c_str());
    SetRegistryStartup(saved_);
  }

  std::optional<std::string> saved_;
  std::string folder_;
  std::string link_;
  std::string app_;
  TMain main_;
  std::vector<std::string> boxes_;
};

TEST_F(StartupWinTest, TheLinkLandsInTheStartupFolderAndResolvesToTheProgram) {
  EXPECT_FALSE(main_.IsStartupRegistered());
  main_.RegisterStartup();
  EXPECT_NE(GetFileAttributesA(link_.c_str()), INVALID_FILE_ATTRIBUTES) << link_;
  EXPECT_TRUE(main_.IsStartupRegistered());
  const auto link = ReadLink(link_);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, app_ + "kelvane.exe");
  // Windows keeps the working folder as given, trailing backslash and all.
  EXPECT_EQ(link->workingFolder, app_);

  main_.UnregisterStartup();
  EXPECT_EQ(GetFileAttributesA(link_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(main_.IsStartupRegistered());
  EXPECT_TRUE(boxes_.empty());
  main_.UnregisterStartup();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], std::string(platform::kWarningCaption) + "|" + kc::kStartupDeleteFailed);
}

TEST_F(StartupWinTest, ALowerCaseLinkIsNotOurs) {
  const std::string lower = folder_ + "\\kelvane.lnk";
  HANDLE h = CreateFileA(lower.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_FALSE(main_.IsStartupRegistered());
  // The file system does not tell the names apart: the delete takes it.
  main_.UnregisterStartup();
  EXPECT_EQ(GetFileAttributesA(lower.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(StartupWinTest, AnEmptyShellFoldersValueFallsBackOnTheShellsFolder) {
  const std::string shell = ShellStartup();
  ASSERT_FALSE(shell.empty());
  for (const std::optional<std::string>& value : {std::optional<std::string>(""), std::optional<std::string>()}) {
    SetRegistryStartup(value);
    EXPECT_EQ(main_.StartupFolder(), shell);
    main_.RegisterStartup();
    EXPECT_TRUE(main_.IsStartupRegistered());
    EXPECT_TRUE(ReadLink(shell + "\\Kelvane.lnk"));
    main_.UnregisterStartup();
    EXPECT_FALSE(main_.IsStartupRegistered());
  }
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(StartupWinTest, AMovedProgramRepointsTheLinkWhenItStarts) {
  const std::string bin = wintest::EnvPath("KELVANE_BIN");
  if (bin.empty()) GTEST_SKIP() << "KELVANE_BIN is not set";
  // The program as it was installed, with a shortcut to it.
  const std::string old = wintest::TempFolder("kelvane-startup-old");
  main_.Info.AppDir = old;
  main_.RegisterStartup();
  ASSERT_EQ(ReadLink(link_)->target, old + "kelvane.exe");
  {
    std::ofstream ini(old + "kelvane.ini", std::ios::binary);
    ini << "[Info]\r\nPath=" << old << "\r\n";
  }
  // Moved: the folder copied elsewhere and started from there.
  const std::string moved = wintest::TempFolder("kelvane-startup-moved");
  ASSERT_TRUE(CopyFileA((bin + "\\kelvane.exe").c_str(), (moved + "kelvane.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((old + "kelvane.ini").c_str(), (moved + "kelvane.ini").c_str(), FALSE));
  CreateDirectoryA((moved + "icon").c_str(), nullptr);
  for (const char* name : {"Prev", "Play", "Pause", "Stop", "Next", "Eject"}) {
    CopyFileA((bin + "\\icon\\" + name + ".ico").c_str(), (moved + "icon\\" + name + ".ico").c_str(), FALSE);
  }
  wintest::Process program;
  ASSERT_TRUE(program.Start("\"" + moved + "kelvane.exe\""));
  // The link is read only once start-up is over (the tray buttons exist):
  // a read that held the file open would make the program's delete fail.
  EXPECT_TRUE(wintest::WaitFor(
      [&] {
        Windows found{program.pi.dwProcessId, 0};
        EnumWindows(CountWindows, reinterpret_cast<LPARAM>(&found));
        return found.count >= 7;
      },
      30000));
  const auto link = ReadLink(link_);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, moved + "kelvane.exe");
  EXPECT_EQ(link->workingFolder, moved);
  HWND window = nullptr;
  wintest::WaitFor([&] { return (window = FindWindowA("TMain", nullptr)) != nullptr; }, 10000);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitExit(10000));
}

}  // namespace

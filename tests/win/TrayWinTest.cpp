// Tray icons through the real shell calls and the real icon loader.
#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "platform/Error.h"
#include "platform/Messaging.h"
#include "platform/ShellLink.h"
#include "platform/Tray.h"
#include "platform/win32/TrayRecord.h"
#include "tray/TrayIconUnit.h"

namespace {

std::string IconFolder() {
  const std::string source = wintest::EnvPath("KELVANE_SOURCE");
  return source.empty() ? std::string() : source + "\\resources\\icon\\";
}

TEST(TrayWinTest, IconsLoadAtTheSmallIconSize) {
  if (IconFolder().empty()) GTEST_SKIP() << "KELVANE_SOURCE is not set";
  for (const char* name : {"Prev", "Play", "Pause", "Stop", "Next", "Eject"}) {
    const platform::IconHandle icon = platform::LoadTrayIconFile(IconFolder() + name + ".ico");
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(icon), &info)) << name;
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON)) << name;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    platform::DestroyTrayIcon(icon);
  }
}

TEST(TrayWinTest, AFileThatIsNoIconRaisesAndAMissingOneSaysItCannotBeOpened) {
  const std::string folder = wintest::TempFolder("kelvane-tray-test");
  const std::string bogus = folder + "bogus.ico";
  // Random bytes and a header that promises an image it does not hold: the
  // loader fails without a reason, so the text must be ours and name the
  // file, not the system's text for success.
  const std::string random = "\x12\x34\x56\x78\xC3\x9A\x01\xFE" + std::string(40, '\x5A');
  const std::string hollow = std::string("\0\0\1\0\1\0", 6) + std::string(16, '\xFF');
  for (const std::string& bytes : {std::string("not an icon at all"), random, hollow}) {
    { std::ofstream(bogus, std::ios::binary | std::ios::trunc) << bytes; }
    try {
      platform::LoadTrayIconFile(bogus);
      ADD_FAILURE() << "no error for " << bytes.size() << " bytes";
    } catch (const platform::Error& e) {
      EXPECT_NE(std::string(e.what()).find(bogus), std::string::npos) << e.what();
    }
  }
  try {
    platform::LoadTrayIconFile(folder + "missing.ico");
    FAIL() << "no error";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + folder + "missing.ico は開けません");
  }
}

TEST(TrayWinTest, TheRecordIsTheShellsFirstLayoutWithTheButtonsNameAndTheShellTakesIt) {
  // The first layout ends with a tip of 64 UTF-16 units; the shell reads no further.
  EXPECT_EQ(NOTIFYICONDATAW_V1_SIZE, 152u);
  EXPECT_EQ(offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR), 152u);
  const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<platform::WindowHandle>(window);
  const HICON image = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  const auto icon = reinterpret_cast<platform::IconHandle>(image);

  const NOTIFYICONDATAW add = platform::win32::TrayRecord(platform::TrayOperation::kAdd, handle, 5, icon, "Kelvane - Next");
  EXPECT_EQ(add.cbSize, 152u);
  EXPECT_EQ(add.hWnd, window);
  EXPECT_EQ(add.uID, 5u);
  EXPECT_EQ(add.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.uCallbackMessage, WM_USER + 100u);
  EXPECT_EQ(add.hIcon, image);
  EXPECT_EQ(std::wstring(add.szTip), L"Kelvane - Next");
  // A tip longer than the record holds is cut, never left without its end.
  const NOTIFYICONDATAW longTip =
      platform::win32::TrayRecord(platform::TrayOperation::kModify, handle, 5, icon, std::string(80, 'x'));
  EXPECT_EQ(std::wstring(longTip.szTip), std::wstring(63, L'x'));
  const NOTIFYICONDATAW remove = platform::win32::TrayRecord(platform::TrayOperation::kDelete, handle, 5, icon, "tip");
  EXPECT_EQ(remove.cbSize, 152u);
  EXPECT_EQ(remove.uID, 5u);
  EXPECT_EQ(remove.uFlags, 0u);
  EXPECT_EQ(remove.hIcon, nullptr);
  EXPECT_EQ(remove.szTip[0], L'\0');

  EXPECT_TRUE(platform::ShellNotifyIcon(platform::TrayOperation::kAdd, handle, 5, icon));
  EXPECT_TRUE(platform::ShellNotifyIcon(platform::TrayOperation::kModify, handle, 5, icon));
  EXPECT_TRUE(platform::ShellNotifyIcon(platform::TrayOperation::kDelete, handle, 5, 0));
  EXPECT_FALSE(platform::ShellNotifyIcon(platform::TrayOperation::kModify, handle, 5, icon));
  DestroyWindow(window);
}

TEST(TrayWinTest, TheBalloonRecordCarriesTheBalloonAloneSilentlyCutToItsFields) {
  const NOTIFYICONDATAW record = platform::win32::BalloonRecord(
      42, 2, u"Kelvane - \u518d\u751f\u4e2d\u306e\u66f2", std::u16string(300, u'x'));
  EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
  EXPECT_EQ(record.uID, 2u);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(record.dwInfoFlags, static_cast<DWORD>(NIIF_NONE | NIIF_NOSOUND));
  EXPECT_EQ(std::wstring(record.szInfoTitle), L"Kelvane - \u518d\u751f\u4e2d\u306e\u66f2");
  EXPECT_EQ(std::wstring(record.szInfo), std::wstring(255, L'x'));
}

TEST(TrayWinTest, ARegistryNumberIsReadAsADwordOnlyAndNothingIsCreated) {
  const char* key = "Software\\KelvaneTest\\Personalize";
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
  std::uint32_t value = 7;
  EXPECT_FALSE(platform::ReadCurrentUserNumber(key, "SystemUsesLightTheme", &value));
  HKEY created = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &created), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
            ERROR_SUCCESS);
  const DWORD one = 1;
  RegSetValueExA(created, "SystemUsesLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
  RegSetValueExA(created, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  RegCloseKey(created);
  EXPECT_TRUE(platform::ReadCurrentUserNumber(key, "systemuseslighttheme", &value));
  EXPECT_EQ(value, 1u);
  EXPECT_FALSE(platform::ReadCurrentUserNumber(key, "Text", &value));
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KelvaneTest");
}

}  // namespace

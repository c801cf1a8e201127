#pragma once
// Every fixed text and number of the program; texts are UTF-8, as all text
// inside.
#include <cstddef>
#include <cstdint>

#include "platform/Dialogs.h"

namespace kc {

// Application
inline constexpr const char* kErrorCaption = "<エラー> Kelvane";
inline constexpr int kHintHidePause = 60000;
inline constexpr const char* kInformationCaption = "情報";

// Settings file
inline constexpr const char* kIniExtension = ".ini";
inline constexpr const char* kSectionInfo = "Info";
inline constexpr const char* kSectionSetting = "Setting";
inline constexpr const char* kVersionWritten = "0.30.03.01";
inline constexpr const char* kVersionNeedingUpgrade = "0.30.01.0";
inline constexpr const char* kUpgradeNotice =
    "バージョン更新に伴う処理を行います。\r\n\r\n"
    "これは一度だけ表示されます。\r\n\r\n"
    "これによって、次回のプレイリスト更新に時間がかかります。";
inline constexpr const char* kMp3LogMask = "playlist\\*.mp3log";
// Another program may hold the file for a moment (a backup, a sync, a virus
// scan): the read is tried again for about two seconds before giving up.
inline constexpr int kSettingsReadRetries = 10;
inline constexpr unsigned kSettingsReadRetryMs = 200;
inline constexpr const char* kSettingsUnreadNotice =
    "設定ファイル %s を読み込めませんでした。\r\n\r\n"
    "今回は既定の設定で動作します。\r\n\r\n"
    "設定ファイルはそのまま残し、終了時にも書き換えません。";

// Startup shortcut
inline constexpr const char* kExplorerKey = "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kShellFoldersKey = "Shell Folders";
inline constexpr const char* kStartupValue = "Startup";
inline constexpr const char* kStartupLinkName = "Kelvane.lnk";
inline constexpr const char* kProgramFileName = "kelvane.exe";
inline constexpr const char* kStartupDeleteFailed =
    "スタートアップショートカットの削除に失敗しました。スタートアップフォルダを確認してください。";

// Player
inline constexpr const char* kPlayerWindowClass = "Winamp v1.x";
inline constexpr const char* kPlayerPathNotice =
    "Winampへの正しいパスの設定がされていません。\r\n\r\n"
    "winamp.exeを指定してください。";
// The open-file dialog gave a path no settings file can hold (a broken UTF-16
// pair in it).
inline constexpr const char* kPlayerPathUnusable =
    "「%s」\r\n\r\nこのパスには設定ファイルに保存できない文字が含まれているため、"
    "Winampのパスとして使えません。前の設定のままにします。";
inline constexpr const char* kPlayerFileFilter =
    "Winamp実行ファイル（winamp.exe）|winamp.exe|全ての実行ファイル（*.exe）|*.exe|全てのファイル|*";

// Command table slots
enum CommandSlot : int {
  cmdPlay = 1,
  cmdStop = 2,
  cmdPause = 3,
  cmdPrev = 4,
  cmdNext = 5,
  cmdEject = 6,
  cmdInsertKey = 7,
  cmdClose = 8,
  cmdFadeoutStop = 9,
  cmdIsPlaying = 10,
};
inline constexpr const char* kCommandTexts[11] = {
    "",            "COM,40045,0", "COM,40047,0", "COM,40046,0",
    "COM,40044,0", "COM,40048,0", "KEY,076",     "KEY,045",
    "COM,40001,0", "COM,40147,0", "USR,0,104",
};

// Play states
inline constexpr std::int32_t psNoPlayer = -1;
inline constexpr std::int32_t psStopped = 0;
inline constexpr std::int32_t psPlaying = 1;
inline constexpr std::int32_t psPaused = 3;
inline constexpr std::uintptr_t kPlayStateWParam = 0;
inline constexpr std::intptr_t kPlayStateLParam = 104;

// The name the first copy of a user session holds.
inline constexpr const char* kInstanceName = "Kelvane.Instance";

// Poll
inline constexpr unsigned kPollIntervalMs = 500;
// How long the program waits for the player to handle one message. A state
// answered later than the next tick is of no use; a command waits longer,
// as the player fades out inside the message that asks for it.
inline constexpr unsigned kPlayStateTimeoutMs = 300;
inline constexpr unsigned kPlayerCommandTimeoutMs = 1000;

// What is playing: WM_USER lParam values of the player that answer the list
// position (0-based) and where in its memory the title of the entry in
// wParam lies, in the system code page or in UTF-16. An answer below 2 is no
// address: the player does not know the message.
inline constexpr std::intptr_t kListPositionLParam = 125;
inline constexpr std::intptr_t kTitleLParam = 212;
inline constexpr std::intptr_t kWideTitleLParam = 213;
inline constexpr std::uintptr_t kLowestTitleAddress = 2;
// A title is read up to this many units; the balloon shows fewer.
inline constexpr std::size_t kTitleReadUnits = 1024;
// The polls after a Prev, Next or Play (or a play list handed over) whose
// moves are the player's answer to it, not moves of its own: long enough
// for a player that takes a command line from a second start of itself.
inline constexpr int kTrackCommandPolls = 6;
inline constexpr const char* kTrackBalloonTitle = "Kelvane - 再生中の曲";

// Tray
inline constexpr const char* kIconFiles[7] = {
    "",
    "icon\\Prev.ico",
    "icon\\Play.ico",
    "icon\\Pause.ico",
    "icon\\Stop.ico",
    "icon\\Next.ico",
    "icon\\Eject.ico",
};
// The pictures drawn for light taskbars, used where the file exists while
// the user's taskbar is light.
inline constexpr const char* kLightIconFiles[7] = {
    "",
    "icon\\light\\Prev.ico",
    "icon\\light\\Play.ico",
    "icon\\light\\Pause.ico",
    "icon\\light\\Stop.ico",
    "icon\\light\\Next.ico",
    "icon\\light\\Eject.ico",
};
// Where the system keeps whether the taskbar is light (a DWORD, 1 for light;
// Windows before 10 1903 and Wine have none), and the area a setting change
// names when the user switches between light and dark.
inline constexpr const char* kPersonalizeKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
inline constexpr const char* kLightTaskbarValue = "SystemUsesLightTheme";
inline constexpr const char* kColourSetArea = "ImmersiveColorSet";
// Each icon's tip names its button as the options dialog does, so that the
// shell's list of tray icons can tell the six apart.
inline constexpr const char* kTrayTips[7] = {
    "",
    "Kelvane - Prev",
    "Kelvane - Play",
    "Kelvane - Pause",
    "Kelvane - Stop",
    "Kelvane - Next",
    "Kelvane - Eject",
};

// Shortcut keys: those another program holds (or the system keeps) are named
// below this, one a line.
inline constexpr const char* kHeldKeysNotice =
    "次のショートカットキーは他のプログラムが使っているため登録できませんでした:";

// Library update from the playlist window
inline constexpr const char* kPlaylistFolderMissing =
    "プレイリストを格納するフォルダが、設定されていないか存在しません。\r\n\r\n"
    "設定し直してください。";
inline constexpr const char* kPlaylistFolderIsCache =
    "プレイリストを格納するフォルダに、Kelvane がライブラリを作るフォルダ %s が設定されています。\r\n\r\n"
    "設定し直してください。";

}  // namespace kc

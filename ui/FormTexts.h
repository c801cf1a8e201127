#pragma once
// The fixed texts of the playlist window and the about box, and the OK
// button's caption. Narrow literals are compiled to Shift-JIS, so these are
// the bytes the user sees.

#include "Version.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"

namespace uitext {

inline constexpr const char* kFrameCaption = "Kelvane - プレイリストウインドウ";
inline constexpr const char* kMenuSetting = "設定";
inline constexpr const char* kMenuUpdate = "プレイリスト更新";
inline constexpr const char* kMenuHelp = "ヘルプ";
inline constexpr const char* kMenuReadme = "ReadMe を開く";
inline constexpr const char* kMenuHomepage = "Orrindale ホームページ";
inline constexpr const char* kMenuAbout = "バージョン情報";
inline constexpr const char* kMenuExit = "終了";
inline constexpr const char* kPopupPlayNew = "新規で再生";
inline constexpr const char* kPopupPlayAdd = "追加して再生";
inline constexpr const char* kReadmeFile = "readme.txt";
inline constexpr const char* kHomepage = "https://orrindale.example/kelvane/";
inline constexpr const char* kShellOpen = "OPEN";
inline constexpr const char* kGeneratedPlaylistMissing =
    "プレイリスト %s が見つかりません。\r\n\r\n"
    "「プレイリスト更新」を行ってください。";

inline constexpr const char* kAboutCaption = "Kelvane - バージョン情報";
inline constexpr const char* kAboutVersion = "Kelvane " KELVANE_VERSION_TEXT;
inline constexpr const char* kAboutMaker = "Copyright (C) Orrindale";
inline constexpr const char* kOK = "OK";

// Tree pictures in the program's resources.
inline constexpr const char* kArtistPicture = "ARTIST";
inline constexpr const char* kAlbumPicture = "ALBUM";

}  // namespace uitext

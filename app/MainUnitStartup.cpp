// The shortcut in the user's Startup folder: its presence is the whole record
// of the registration.
#include "app/MainUnit.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/ShellLink.h"

std::string TMain::StartupFolder() const {
  std::string folder = platform::ReadCurrentUserString(kc::kExplorerKey, kc::kShellFoldersKey, kc::kStartupValue);
  // A profile whose "Shell Folders" lacks the value still has a Startup
  // folder; without any, an empty folder would make "\Kelvane.lnk" a file at
  // the root of whatever drive is current.
  if (folder.empty() && !platform::QueryShellStartupFolder(&folder)) folder.clear();
  return folder;
}

void TMain::RegisterStartup() {
  const std::string folder = StartupFolder();
  if (folder.empty()) return;
  platform::SaveShellLink(folder + "\\" + kc::kStartupLinkName, Info.AppDir + kc::kProgramFileName, Info.AppDir);
}

void TMain::UnregisterStartup() {
  const std::string folder = StartupFolder();
  if (!folder.empty() && platform::RemoveFile(folder + "\\" + kc::kStartupLinkName)) return;
  platform::ShowMessageBox(platform::app::MainWindow(), platform::Utf8ToUtf16(kc::kStartupDeleteFailed),
                           platform::Utf8ToUtf16(platform::kWarningCaption),
                           platform::kMbOk | platform::kMbIconWarning);
}

bool TMain::IsStartupRegistered() {
  const std::string folder = StartupFolder();
  if (folder.empty()) return false;
  bool found = false;
  // Exact and case-sensitive: a "kelvane.lnk" made by hand is not ours.
  platform::ForEachEntry(folder + "\\*", [&](const platform::FoundEntry& entry) {
    found = entry.name == kc::kStartupLinkName;
    return !found;
  });
  return found;
}

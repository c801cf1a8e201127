#include "ui/FolderDialog.h"

#include "platform/Dialogs.h"
#include "ui/OptionTexts.h"

TFolderDialog::TFolderDialog(const gui::Window& owner)
    : Title(optiontext::kFolderDialogDefaultTitle), owner_(owner) {}

bool TFolderDialog::Execute() {
  const auto owner = reinterpret_cast<platform::WindowHandle>(owner_.Handle());
  std::u16string chosen = platform::AnsiToUtf16(Directory);
  if (!platform::ShowFolderDialog(owner, Title, &chosen)) return false;
  std::string directory;
  if (!platform::Utf16ToAnsiExact(chosen, &directory)) {
    // The settings and the library stay in the system code page: a "?" in
    // the path would name another folder, or none.
    platform::ShowMessageBox(owner, platform::FormatFace(optiontext::kFolderUnusable, chosen),
                             platform::FixedToUtf16(optiontext::kFolderUnusableCaption),
                             platform::kMbOk | platform::kMbIconWarning);
    return false;
  }
  Directory = directory;
  return true;
}

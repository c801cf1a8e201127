#include "ui/FolderDialog.h"

#include "platform/Dialogs.h"
#include "ui/OptionTexts.h"

TFolderDialog::TFolderDialog(const gui::Window& owner)
    : Title(optiontext::kFolderDialogDefaultTitle), owner_(owner) {}

bool TFolderDialog::Execute() {
  const auto owner = reinterpret_cast<platform::WindowHandle>(owner_.Handle());
  std::u16string chosen = platform::Utf8ToUtf16(Directory);
  if (!platform::ShowFolderDialog(owner, Title, &chosen)) return false;
  std::string directory;
  if (!platform::ChosenNameToUtf8(owner, chosen, optiontext::kFolderUnusable, &directory)) return false;
  Directory = directory;
  return true;
}

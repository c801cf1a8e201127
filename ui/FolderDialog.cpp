#include "ui/FolderDialog.h"

#include "platform/Dialogs.h"
#include "ui/OptionTexts.h"

TFolderDialog::TFolderDialog(const gui::Window& owner)
    : Title(optiontext::kFolderDialogDefaultTitle), owner_(owner) {}

bool TFolderDialog::Execute() {
  return platform::ShowFolderDialog(reinterpret_cast<platform::WindowHandle>(owner_.Handle()), Title, &Directory);
}

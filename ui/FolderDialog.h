#pragma once
// The folder chooser: a non-visual component of a window, whose handle is the
// browser's parent. Directory (UTF-8) is what the last confirmed choice gave
// and what the next one preselects.
#include <string>

#include "ui/Gui.h"

class TFolderDialog {
 public:
  explicit TFolderDialog(const gui::Window& owner);

  std::string Directory;
  std::string Title;

  // True when the user confirmed a choice; Directory is then its path, or
  // unchanged for an item without one (My Computer itself).
  bool Execute();

 private:
  const gui::Window& owner_;
};

#pragma once
// A hot key field of the GUI layer (comctl32's HOTKEY_CLASS): the user
// presses a key with its modifiers, the field shows and holds it.
#include "platform/HotKeys.h"
#include "ui/Gui.h"

namespace gui {

class HotKeyField : public Control {
 public:
  // A key typed with no modifier, or with Shift alone, is taken with
  // Ctrl+Alt: a letter held system-wide would be lost to every other program.
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  // The field has no Win modifier: a key given with it shows without it.
  platform::HotKey Key() const;
  void SetKey(platform::HotKey key);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void PaintKeyName(std::uint32_t key, BYTE flags);
};

}  // namespace gui

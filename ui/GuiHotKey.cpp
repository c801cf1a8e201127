#include "ui/GuiHotKey.h"

namespace gui {

namespace {

// The keys that the field names by their extended scan code: without the
// mark, PageUp would show as the number pad's 9.
bool Extended(std::uint32_t key) {
  return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_DIVIDE ||
         key == VK_NUMLOCK;
}

}  // namespace

void HotKeyField::Create(HWND parent, const Placement&, const RECT& r, int id) {
  CreateStandard(WS_EX_CLIENTEDGE, HOTKEY_CLASSW, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left, r.top,
                 r.right - r.left, r.bottom - r.top, parent, id);
  SendMessageW(Handle(), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
}

platform::HotKey HotKeyField::Key() const {
  const WORD word = LOWORD(SendMessageW(Handle(), HKM_GETHOTKEY, 0, 0));
  const BYTE flags = HIBYTE(word);
  platform::HotKey key;
  key.Key = LOBYTE(word);
  if (key.Key == 0) return platform::HotKey();
  if (flags & HOTKEYF_CONTROL) key.Modifiers |= platform::kModControl;
  if (flags & HOTKEYF_ALT) key.Modifiers |= platform::kModAlt;
  if (flags & HOTKEYF_SHIFT) key.Modifiers |= platform::kModShift;
  return key;
}

void HotKeyField::SetKey(platform::HotKey key) {
  BYTE flags = 0;
  if (key.Modifiers & platform::kModControl) flags |= HOTKEYF_CONTROL;
  if (key.Modifiers & platform::kModAlt) flags |= HOTKEYF_ALT;
  if (key.Modifiers & platform::kModShift) flags |= HOTKEYF_SHIFT;
  if (Extended(key.Key)) flags |= HOTKEYF_EXT;
  SendMessageW(Handle(), HKM_SETHOTKEY, MAKEWORD(key.Key, flags), 0);
}

}  // namespace gui

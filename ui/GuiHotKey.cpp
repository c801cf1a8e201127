#include "ui/GuiHotKey.h"

#include <string>
#include <utility>

namespace gui {

namespace {

// The keys that the field names by their extended scan code: without the
// mark, PageUp would show as the number pad's 9.
bool Extended(std::uint32_t key) {
  return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_DIVIDE ||
         key == VK_NUMLOCK;
}

// The system's name of a key by its scan code, the extended bit set for the
// keys above.
std::wstring KeyName(std::uint32_t key) {
  LONG code = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16);
  if (Extended(key)) code |= 1 << 24;
  wchar_t name[64] = {};
  const int n = GetKeyNameTextW(code, name, 64);
  return std::wstring(name, static_cast<std::size_t>(n > 0 ? n : 0));
}

}  // namespace

LRESULT HotKeyField::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    const WORD word = LOWORD(SendMessageW(Handle(), HKM_GETHOTKEY, 0, 0));
    // Wine's control names these keys by the number pad's twin whatever
    // HOTKEYF_EXT says, and a key typed there comes back without the flag:
    // the field names them itself, as the key that is stored and claimed.
    if (Extended(LOBYTE(word))) {
      PaintKeyName(LOBYTE(word), HIBYTE(word));
      return 0;
    }
  }
  return Control::HandleMessage(message, wParam, lParam);
}

// As the control draws its text: the modifiers in the order Ctrl, Shift,
// Alt, then the key, joined by " + ", two pixels in, the caret after it.
void HotKeyField::PaintKeyName(std::uint32_t key, BYTE flags) {
  std::wstring text;
  for (const auto& [flag, modifier] : {std::pair<BYTE, UINT>{HOTKEYF_CONTROL, VK_CONTROL},
                                       {HOTKEYF_SHIFT, VK_SHIFT}, {HOTKEYF_ALT, VK_MENU}}) {
    if (flags & flag) text += KeyName(modifier) + L" + ";
  }
  text += KeyName(key);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT client{};
  GetClientRect(Handle(), &client);
  const bool enabled = IsWindowEnabled(Handle());
  FillRect(dc, &client, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
  const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  const int margin = 2;
  TextOutW(dc, margin, margin, text.c_str(), static_cast<int>(text.size()));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (GetFocus() == Handle()) SetCaretPos(margin + size.cx, margin);
  SelectObject(dc, oldFont);
  EndPaint(Handle(), &ps);
}

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

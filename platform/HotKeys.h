#pragma once
// System-wide shortcut keys: a key claimed here reaches the given window as
// kWmHotKey with its id, whichever program has the keyboard.
#include <cstdint>

#include "platform/Types.h"

namespace platform {

// Modifier bits as the system takes them.
constexpr std::uint32_t kModAlt = 0x1;
constexpr std::uint32_t kModControl = 0x2;
constexpr std::uint32_t kModShift = 0x4;
constexpr std::uint32_t kModWin = 0x8;

// The virtual-key codes the program names itself.
namespace vk {
constexpr std::uint32_t kPageUp = 0x21;
constexpr std::uint32_t kPageDown = 0x22;
constexpr std::uint32_t kEnd = 0x23;
constexpr std::uint32_t kHome = 0x24;
constexpr std::uint32_t kInsert = 0x2D;
constexpr std::uint32_t kMediaNext = 0xB0;
constexpr std::uint32_t kMediaPrev = 0xB1;
constexpr std::uint32_t kMediaStop = 0xB2;
constexpr std::uint32_t kMediaPlayPause = 0xB3;
}  // namespace vk

// A key with its modifiers; no key at all when Key is 0.
struct HotKey {
  std::uint32_t Modifiers = 0;
  std::uint32_t Key = 0;
  constexpr bool operator==(const HotKey& other) const {
    return Modifiers == other.Modifiers && Key == other.Key;
  }
  constexpr bool operator!=(const HotKey& other) const { return !(*this == other); }
};

constexpr std::uint32_t kWmHotKey = 0x0312;
// Sent to a window that watches the session; wParam says what happened.
constexpr std::uint32_t kWmSessionChange = 0x02B1;
constexpr std::uintptr_t kSessionConsoleConnect = 0x1;
constexpr std::uintptr_t kSessionRemoteConnect = 0x3;
constexpr std::uintptr_t kSessionUnlock = 0x8;

// RegisterHotKey without auto-repeat (a held key is one press). False when
// the key cannot be had: another program holds it, or the system keeps it.
bool ClaimHotKey(WindowHandle window, int id, HotKey key);
void ReleaseHotKey(WindowHandle window, int id);
// WTSRegisterSessionNotification for this session (or its undoing): the
// window hears kWmSessionChange when the user locks, unlocks or reconnects.
void WatchSession(WindowHandle window, bool watch);

}  // namespace platform

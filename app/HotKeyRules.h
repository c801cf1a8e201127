#pragma once
// The system-wide keys as plain rules: which keys the settings ask for, what
// a press does, their text in the settings file and the message naming the
// keys that another program holds.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/HotKeys.h"
#include "tray/TrayIconUnit.h"
#include "ui/Settings.h"

// The id of a key as the system hands it back. A shortcut's is its button's
// (Prev 1 .. Next 5), the playlist window's 6; the media keys' follow.
enum THotKeyId : int {
  hkPrev = 1,
  hkPlay,
  hkPause,
  hkStop,
  hkNext,
  hkPlaylist,
  hkMediaPrev,
  hkMediaPlayPause,
  hkMediaStop,
  hkMediaNext,
};

struct TWantedKey {
  int Id;
  platform::HotKey Key;
  bool operator==(const TWantedKey& other) const { return Id == other.Id && Key == other.Key; }
};

// The keys the settings ask for, in id order: the shortcuts that are set
// (when they are on), then the media keys (when they are on).
std::vector<TWantedKey> WantedKeys(const TInfo& settings);

// A press, as the click it stands for: a shortcut is a left click on its
// button, the playlist window's a right click. The media Play/Pause key
// pauses or resumes a player that plays or is paused (as the Pause button)
// and otherwise acts as the Play button, starting the player if need be.
struct TKeyClick {
  std::uint32_t Button;
  TrayClickKind Kind;
};
TKeyClick KeyClick(int id, std::int32_t playState);

// "Ctrl+Alt+PageUp": the modifiers (Ctrl, Alt, Shift, Win, in that order),
// then the key's name, or "Key" and its number for a key without one. No
// key is the empty text.
std::string HotKeyText(platform::HotKey key);
// The text back, letters in any case and blanks around the parts allowed;
// false for anything else (the empty text is no key).
bool ParseHotKey(const std::string& text, platform::HotKey* key);

// One message naming each key that could not be had and what it is for.
std::string HeldKeysMessage(const std::vector<TWantedKey>& failed);

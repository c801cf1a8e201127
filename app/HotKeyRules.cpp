#include "app/HotKeyRules.h"

#include "app/ConstUnit.h"
#include "ui/OptionTexts.h"

namespace {

struct TModifierName {
  std::uint32_t Bit;
  const char* Name;
};
constexpr TModifierName kModifierNames[] = {
    {platform::kModControl, "Ctrl"},
    {platform::kModAlt, "Alt"},
    {platform::kModShift, "Shift"},
    {platform::kModWin, "Win"},
};

struct TKeyName {
  std::uint32_t Key;
  const char* Name;
};
// Names that read the same on every keyboard layout; letters, digits and
// function keys are made below. No name holds "+", which separates the parts.
constexpr TKeyName kKeyNames[] = {
    {0x08, "Backspace"},  {0x09, "Tab"},          {0x0D, "Enter"},          {0x13, "Pause"},
    {0x1B, "Esc"},        {0x20, "Space"},        {0x21, "PageUp"},         {0x22, "PageDown"},
    {0x23, "End"},        {0x24, "Home"},         {0x25, "Left"},           {0x26, "Up"},
    {0x27, "Right"},      {0x28, "Down"},         {0x2C, "PrintScreen"},    {0x2D, "Insert"},
    {0x2E, "Delete"},     {0x6A, "NumMultiply"},  {0x6B, "NumPlus"},        {0x6D, "NumMinus"},
    {0x6E, "NumDecimal"}, {0x6F, "NumDivide"},    {0x90, "NumLock"},        {0x91, "ScrollLock"},
    {0xAD, "VolumeMute"}, {0xAE, "VolumeDown"},   {0xAF, "VolumeUp"},       {0xB0, "MediaNext"},
    {0xB1, "MediaPrev"},  {0xB2, "MediaStop"},    {0xB3, "MediaPlayPause"},
};

std::string KeyName(std::uint32_t key) {
  for (const TKeyName& k : kKeyNames) {
    if (k.Key == key) return k.Name;
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= 0x60 && key <= 0x69) return "Num" + std::to_string(key - 0x60);
  if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x70 + 1);
  return "Key" + std::to_string(key);
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Every key's name is made from its number, so the name is looked for among
// them: one table, read both ways.
bool KeyByName(const std::string& name, std::uint32_t* key) {
  const std::string wanted = Upper(name);
  for (std::uint32_t k = 1; k <= 0xFE; ++k) {
    if (Upper(KeyName(k)) == wanted) {
      *key = k;
      return true;
    }
  }
  return false;
}

const char* Purpose(int id) {
  switch (id) {
    case hkMediaPrev: return optiontext::kShortcutNames[hkPrev - 1];
    case hkMediaPlayPause: return "Play/Pause";
    case hkMediaStop: return optiontext::kShortcutNames[hkStop - 1];
    case hkMediaNext: return optiontext::kShortcutNames[hkNext - 1];
    default: return id >= hkPrev && id <= hkPlaylist ? optiontext::kShortcutNames[id - 1] : "";
  }
}

}  // namespace

std::vector<TWantedKey> WantedKeys(const TInfo& settings) {
  std::vector<TWantedKey> wanted;
  if (settings.UseHotKeys) {
    for (int id = hkPrev; id <= hkPlaylist; ++id) {
      const platform::HotKey key = settings.*kShortcutKeys[id - hkPrev];
      if (key.Key != 0) wanted.push_back({id, key});
    }
  }
  if (settings.UseMediaKeys) {
    wanted.push_back({hkMediaPrev, {0, platform::vk::kMediaPrev}});
    wanted.push_back({hkMediaPlayPause, {0, platform::vk::kMediaPlayPause}});
    wanted.push_back({hkMediaStop, {0, platform::vk::kMediaStop}});
    wanted.push_back({hkMediaNext, {0, platform::vk::kMediaNext}});
  }
  return wanted;
}

TKeyClick KeyClick(int id, std::int32_t playState) {
  switch (id) {
    case hkPlaylist: return {2, tcRight};
    case hkMediaPrev: return {1, tcLeft};
    case hkMediaStop: return {4, tcLeft};
    case hkMediaNext: return {5, tcLeft};
    case hkMediaPlayPause:
      // The Play button would start a paused track from its beginning.
      return {playState == kc::psPlaying || playState == kc::psPaused ? 3u : 2u, tcLeft};
    default: return {static_cast<std::uint32_t>(id), tcLeft};
  }
}

std::string HotKeyText(platform::HotKey key) {
  if (key.Key == 0) return "";
  std::string text;
  for (const TModifierName& m : kModifierNames) {
    if (key.Modifiers & m.Bit) text += std::string(m.Name) + "+";
  }
  return text + KeyName(key.Key);
}

bool ParseHotKey(const std::string& text, platform::HotKey* key) {
  platform::HotKey parsed;
  std::size_t from = 0;
  if (Trimmed(text).empty()) {
    *key = parsed;
    return true;
  }
  for (;;) {
    const std::size_t plus = text.find('+', from);
    const std::string part = Trimmed(text.substr(from, plus == std::string::npos ? std::string::npos : plus - from));
    if (plus == std::string::npos) {
      if (!KeyByName(part, &parsed.Key)) return false;
      *key = parsed;
      return true;
    }
    std::uint32_t bit = 0;
    for (const TModifierName& m : kModifierNames) {
      if (Upper(part) == Upper(m.Name)) bit = m.Bit;
    }
    if (bit == 0 || (parsed.Modifiers & bit)) return false;
    parsed.Modifiers |= bit;
    from = plus + 1;
  }
}

std::string HeldKeysMessage(const std::vector<TWantedKey>& failed) {
  std::string text = kc::kHeldKeysNotice;
  for (const TWantedKey& k : failed) text += "\r\n " + HotKeyText(k.Key) + " (" + Purpose(k.Id) + ")";
  return text;
}

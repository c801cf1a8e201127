// The simulated system's locale comparison: Shift-JIS text with letter case
// folded (ASCII letters, and the full-width Latin, Greek and Cyrillic letters
// of the double-byte set), then compared byte for byte. A total order whose
// equality is exactly "same text once case is folded".
#include "platform/Locale.h"

#include <cstring>
#include <functional>

namespace platform {
namespace {

// The lower-case form of a double-byte character, or the character itself.
unsigned FoldDoubleByte(unsigned c) {
  if (c >= 0x8260 && c <= 0x8279) return c + 0x21;  // Ａ-Ｚ -> ａ-ｚ
  if (c >= 0x839F && c <= 0x83B6) return c + 0x20;  // Α-Ω -> α-ω
  if (c >= 0x8440 && c <= 0x8460) {                 // А-Я -> а-я (0x847F is unused)
    const unsigned index = c - 0x8440;
    return 0x8470 + index + (index >= 15 ? 1 : 0);
  }
  return c;
}

}  // namespace

void AppendCaseInsensitiveKey(const char* text, std::size_t size, std::string* key) {
  const std::size_t at = key->size();
  key->append(text, size);
  char* const out = &(*key)[at];
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = static_cast<unsigned char>(out[i]);
    if (b >= 'A' && b <= 'Z') {
      out[i] = static_cast<char>(b + 32);
    } else if (b >= 0x81 && IsLeadByte(b) && i + 1 < size) {
      const unsigned folded = FoldDoubleByte((b << 8) | static_cast<unsigned char>(out[i + 1]));
      out[i] = static_cast<char>(folded >> 8);
      out[i + 1] = static_cast<char>(folded & 0xFF);
      ++i;
    }
  }
}

// The tests' stand-in needs no speed: hash and equality go through the key.
std::size_t CaseInsensitiveHash(const char* text, std::size_t size) {
  std::string key;
  AppendCaseInsensitiveKey(text, size, &key);
  return std::hash<std::string>()(key);
}

bool EqualIgnoringCase(const char* a, std::size_t aSize, const char* b, std::size_t bSize) {
  std::string keyA, keyB;
  AppendCaseInsensitiveKey(a, aSize, &keyA);
  AppendCaseInsensitiveKey(b, bSize, &keyB);
  return keyA == keyB;
}

std::string CaseInsensitiveKey(const std::string& text) {
  std::string key;
  AppendCaseInsensitiveKey(text.data(), text.size(), &key);
  return key;
}

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
  const std::string ka = CaseInsensitiveKey(a);
  const std::string kb = CaseInsensitiveKey(b);
  const int c = std::memcmp(ka.data(), kb.data(), ka.size() < kb.size() ? ka.size() : kb.size());
  if (c != 0) return c < 0 ? -1 : 1;
  return ka.size() < kb.size() ? -1 : ka.size() > kb.size() ? 1 : 0;
}

}  // namespace platform

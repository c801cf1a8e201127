#pragma once
// The letter case of the simulated system, shared by its file names and its
// locale comparison: ASCII, Latin-1, Greek, Cyrillic and full-width Latin
// letters. Enough for the names the tests use; anything else has no case.
#include <string>

#include "platform/Locale.h"

namespace sim {

inline char32_t LowerLetter(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F)) {
    return c + 0x20;
  }
  if (c == 0x401) return 0x451;                    // Ё
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // Ａ-Ｚ
  return c;
}

inline char32_t UpperLetter(char32_t c) {
  if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F)) {
    return c - 0x20;
  }
  if (c == 0x451) return 0x401;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
}

inline void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Appends text with every letter put through `fold`; a byte that starts no
// well-formed sequence is kept as it is.
template <typename Fold>
void AppendFolded(const char* text, std::size_t size, Fold fold, std::string* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  for (std::size_t i = 0; i < size;) {
    char32_t code = p[i];
    const std::size_t length = code < 0x80 ? 1 : platform::DecodeUtf8(p + i, size - i, &code);
    if (length == 0) {
      *out += static_cast<char>(p[i++]);
      continue;
    }
    AppendUtf8(fold(code), out);
    i += length;
  }
}

}  // namespace sim

// The parts of Unicode handling that need no code page: the same on every system.
#include "platform/Locale.h"

#include <utility>

namespace platform {

bool Utf16ToAnsiExact(const std::u16string& text, std::string* ansi) {
  // Whatever the code page puts in for a character it lacks (the default
  // character, or a best-fit look-alike such as "a" for "\u0101"), the way
  // back then gives other text; code page 65001 holds everything but a lone
  // surrogate, which the way back does not give either.
  std::string converted = Utf16ToAnsi(text);
  if (AnsiToUtf16(converted) != text) return false;
  *ansi = std::move(converted);
  return true;
}

std::size_t DecodeUtf8(const unsigned char* p, std::size_t n, char32_t* code) {
  if (n == 0) return 0;
  const unsigned char lead = p[0];
  const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || length > n) return 0;
  char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
  for (std::size_t k = 1; k < length; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (p[k] & 0x3F);
  }
  // Overlong forms, surrogates and codes past U+10FFFF are not characters.
  static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *code = c;
  return length;
}

void AppendUtf16(char32_t code, std::u16string* out) {
  if (code < 0x10000) {
    out->push_back(static_cast<char16_t>(code));
  } else {
    code -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  }
}

}  // namespace platform

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

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0;
  while (i < text.size()) {
    if (p[i] < 0x80) {
      out.push_back(static_cast<char16_t>(p[i++]));
      continue;
    }
    char32_t code = 0;
    const std::size_t length = DecodeUtf8(p + i, text.size() - i, &code);
    AppendUtf16(length ? code : U'\xFFFD', &out);
    i += length ? length : 1;
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

bool IsAscii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

// ASCII is the same in UTF-8 and every system code page: most paths and
// names of a library are, and they skip both conversions.
std::string SystemToUtf8(const std::string& ansi) {
  return IsAscii(ansi) ? ansi : Utf16ToUtf8(AnsiToUtf16(ansi));
}

bool Utf8ToSystemExact(const std::string& text, std::string* ansi) {
  if (IsAscii(text)) {
    *ansi = text;
    return true;
  }
  return Utf16ToAnsiExact(Utf8ToUtf16(text), ansi);
}

std::string Utf8ToSystem(const std::string& text) { return IsAscii(text) ? text : Utf16ToAnsi(Utf8ToUtf16(text)); }

bool IsExactSystemText(const std::string& ansi) {
  return IsAscii(ansi) || Utf16ToAnsi(AnsiToUtf16(ansi)) == ansi;
}

}  // namespace platform

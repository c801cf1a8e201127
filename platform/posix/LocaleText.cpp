// Code page conversion of the simulated system (code page 932, as on a
// Japanese system) through the C library's iconv.
#include <iconv.h>

#include <cerrno>

#include "platform/Locale.h"

namespace platform {
namespace {

// Converts what iconv can; a sequence it cannot is passed over one unit at a
// time and `replacement` stands in for it, as the system's default character
// does.
std::string Convert(const char* to, const char* from, const std::string& in, std::size_t unit,
                    const std::string& replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out;
  char buffer[4096];
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    const std::size_t skip = inLeft < unit ? inLeft : unit;
    inPtr += skip;
    inLeft -= skip;
    out += replacement;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::u16string AnsiToUtf16(const std::string& text) {
  // U+30FB, the default character of code page 932, for a byte that begins
  // no character.
  const std::string bytes = Convert("UTF-16LE", "CP932", text, 1, std::string("\xFB\x30", 2));
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return out;
}

std::string Utf16ToAnsi(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return Convert("CP932", "UTF-16LE", bytes, 2, "?");
}

}  // namespace platform

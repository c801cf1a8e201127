#include <windows.h>

#include "platform/Locale.h"

namespace platform {

namespace {

std::u16string ToUtf16(UINT codePage, const std::string& text) {
  if (text.empty()) return std::u16string();
  const int size = static_cast<int>(text.size());
  const int count = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(count > 0 ? count : 0), u'\0');
  if (count > 0) MultiByteToWideChar(codePage, 0, text.data(), size, reinterpret_cast<LPWSTR>(&out[0]), count);
  return out;
}

// The program's texts are Shift-JIS in the executable.
constexpr UINT kFixedCodePage = 932;

}  // namespace

std::u16string AnsiToUtf16(const std::string& text) { return ToUtf16(CP_ACP, text); }

std::u16string FixedToUtf16(const std::string& text) { return ToUtf16(kFixedCodePage, text); }

std::string Utf16ToAnsi(const std::u16string& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const LPCWSTR wide = reinterpret_cast<LPCWSTR>(text.data());
  const int count = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
  if (count > 0) WideCharToMultiByte(CP_ACP, 0, wide, size, &out[0], count, nullptr, nullptr);
  return out;
}

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

}  // namespace platform

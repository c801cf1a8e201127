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

}  // namespace

std::u16string AnsiToUtf16(const std::string& text) { return ToUtf16(CP_ACP, text); }

std::string Utf16ToAnsi(const std::u16string& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const LPCWSTR wide = reinterpret_cast<LPCWSTR>(text.data());
  const int count = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
  if (count > 0) WideCharToMultiByte(CP_ACP, 0, wide, size, &out[0], count, nullptr, nullptr);
  return out;
}

}  // namespace platform

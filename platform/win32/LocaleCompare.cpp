#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Locale.h"

namespace platform {
namespace {

// UTF-8 as the W calls take it. Keys are made by the ten thousand in an
// update, so a text of up to 256 bytes (nearly every name) is decoded onto
// the stack: it never gives more UTF-16 units than it has bytes.
class Units {
 public:
  Units(const char* text, std::size_t size) {
    wchar_t* out = inline_;
    if (size > kInline) {
      long_.resize(size);
      out = &long_[0];
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t n = 0;
    for (std::size_t i = 0; i < size;) {
      char32_t code = p[i];
      std::size_t length = 1;
      if (code >= 0x80) {
        length = DecodeUtf8(p + i, size - i, &code);
        if (length == 0) {
          code = 0xFFFD;
          length = 1;
        }
      }
      if (code >= 0x10000) {
        out[n++] = static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
        out[n++] = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
      } else {
        out[n++] = static_cast<wchar_t>(code);
      }
      i += length;
    }
    units_ = out;
    size_ = static_cast<int>(n);
  }
  Units(const Units&) = delete;
  Units& operator=(const Units&) = delete;
  const wchar_t* data() const { return units_; }
  int size() const { return size_; }

 private:
  static constexpr std::size_t kInline = 256;
  wchar_t inline_[kInline];
  std::wstring long_;
  const wchar_t* units_ = inline_;
  int size_ = 0;
};

int Compare(const Units& a, const Units& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), a.size(), b.data(), b.size());
}

}  // namespace

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
  const int result = Compare(Units(a.data(), a.size()), Units(b.data(), b.size()));
  return result == 0 ? 0 : result - CSTR_EQUAL;
}

// LCMapStringW sort keys order exactly as CompareStringW with the same flags;
// for text the code page holds they are the keys of the A forms.
void AppendCaseInsensitiveKey(const char* text, std::size_t size, std::string* key) {
  if (size == 0) return;
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const Units units(text, size);
  // The key is bytes, though the call's type says UTF-16 units.
  char small[512];
  int written = LCMapStringW(LOCALE_USER_DEFAULT, flags, units.data(), units.size(), reinterpret_cast<LPWSTR>(small), sizeof small);
  if (written > 0) {
    key->append(small, static_cast<std::size_t>(written));
    return;
  }
  written = LCMapStringW(LOCALE_USER_DEFAULT, flags, units.data(), units.size(), nullptr, 0);
  if (written <= 0) return;
  std::vector<char> large(static_cast<std::size_t>(written));
  written = LCMapStringW(LOCALE_USER_DEFAULT, flags, units.data(), units.size(), reinterpret_cast<LPWSTR>(large.data()), written);
  if (written > 0) key->append(large.data(), static_cast<std::size_t>(written));
}

std::size_t CaseInsensitiveHash(const char* text, std::size_t size) {
  std::string key;
  AppendCaseInsensitiveKey(text, size, &key);
  return std::hash<std::string>()(key);
}

bool EqualIgnoringCase(const char* a, std::size_t aSize, const char* b, std::size_t bSize) {
  if (aSize == 0 || bSize == 0) return aSize == bSize;
  return Compare(Units(a, aSize), Units(b, bSize)) == CSTR_EQUAL;
}

std::string CaseInsensitiveKey(const std::string& text) {
  std::string key;
  AppendCaseInsensitiveKey(text.data(), text.size(), &key);
  return key;
}

}  // namespace platform

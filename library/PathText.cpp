#include "library/PathText.h"

#include "platform/Locale.h"

namespace {

// The full-width forms: code page 932 bytes, and the same characters in
// UTF-8 (the yen sign stands for the backslash, as on Japanese systems).
struct TFullWidth {
  char c;
  const char* cp932;
  const char* utf8;
};
constexpr TFullWidth kFullWidth[] = {
    {'\\', "\x81\x8F", "\xEF\xBF\xA5"}, {'/', "\x81\x5E", "\xEF\xBC\x8F"}, {':', "\x81\x46", "\xEF\xBC\x9A"},
    {',', "\x81\x43", "\xEF\xBC\x8C"},  {';', "\x81\x47", "\xEF\xBC\x9B"}, {'*', "\x81\x96", "\xEF\xBC\x8A"},
    {'?', "\x81\x48", "\xEF\xBC\x9F"},  {'"', "\x81\x68", "\xE2\x80\x9D"}, {'<', "\x81\x83", "\xEF\xBC\x9C"},
    {'>', "\x81\x84", "\xEF\xBC\x9E"},  {'|', "\x81\x62", "\xEF\xBD\x9C"},
};

}  // namespace

std::string MakeFileNameSafe(const std::string& text, bool unicodeLibrary) {
  std::string out;
  out.reserve(text.size() + 8);
  for (const char c : text) {
    const TFullWidth* wide = nullptr;
    for (const TFullWidth& f : kFullWidth) {
      if (f.c == c) wide = &f;
    }
    if (!wide) {
      out += c;
    } else if (unicodeLibrary) {
      out += wide->utf8;
    } else {
      out += platform::SystemToUtf8(wide->cp932);
    }
  }
  return out;
}

std::size_t LastDelimiter(const std::string& text, const char* delimiters) {
  // Runs over every track path of an update: a table, not a search per byte.
  bool isDelimiter[256] = {};
  for (const char* d = delimiters; *d; ++d) isDelimiter[static_cast<unsigned char>(*d)] = true;
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isDelimiter[static_cast<unsigned char>(text[i])]) found = i;
  }
  return found;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t at = LastDelimiter(path, "\\:");
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string FolderPart(const std::string& path) {
  const std::size_t at = LastDelimiter(path, "\\:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string ChangeExtension(const std::string& path, const std::string& extension) {
  const std::size_t at = LastDelimiter(path, ".\\:");
  if (at == std::string::npos || path[at] != '.') return path + extension;
  return path.substr(0, at) + extension;
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

bool IsAbsolutePath(const std::string& path) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' &&
      separator(path[2])) {
    return true;
  }
  return path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
}

#include "library/PathText.h"

#include "platform/Locale.h"

namespace {

// Full-width forms (Shift-JIS) of the characters a file name cannot take.
const char* FullWidthFor(char c) {
  switch (c) {
    case '\\': return "\x81\x8F";
    case '/': return "\x81\x5E";
    case ':': return "\x81\x46";
    case ',': return "\x81\x43";
    case ';': return "\x81\x47";
    case '*': return "\x81\x96";
    case '?': return "\x81\x48";
    case '"': return "\x81\x68";
    case '<': return "\x81\x83";
    case '>': return "\x81\x84";
    case '|': return "\x81\x62";
    default: return nullptr;
  }
}

}  // namespace

std::string MakeFileNameSafe(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (platform::IsLeadByte(b)) {
      if (i + 1 < text.size()) {
        out += text[i];
        out += text[i + 1];
        ++i;
      } else {
        // A lead byte cut off at the end has no character to stand for. It is
        // dropped: kept alone it would pair with whatever a caller appends
        // (".m3u", "'") and swallow that byte.
      }
      continue;
    }
    if (const char* wide = FullWidthFor(text[i])) {
      out += wide;
    } else {
      out += text[i];
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
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (platform::IsLeadByte(b)) {
      ++i;
      continue;
    }
    if (isDelimiter[b]) found = i;
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
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(name[i]);
    // A trail byte may be "\" or "|": it belongs to its character.
    if (platform::IsLeadByte(b) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    switch (b) {
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

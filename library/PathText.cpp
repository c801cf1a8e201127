#include "library/PathText.h"

#include "platform/Locale.h"

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

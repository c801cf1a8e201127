#include "library/PathText.h"

#include <cstring>

#include "platform/Locale.h"

std::size_t LastDelimiter(const std::string& text, const char* delimiters) {
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (platform::IsLeadByte(b)) {
      ++i;
      continue;
    }
    if (b != 0 && std::strchr(delimiters, b)) found = i;
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

#include "platform/Error.h"
#include "platform/Locale.h"

namespace platform {

std::string FormatErrorDisplayText(const std::string& message) {
  if (message.empty()) return message;
  // Find where the last character starts: a double-byte character's trail
  // byte must not be mistaken for a character of its own.
  std::size_t last = 0;
  for (std::size_t i = 0; i < message.size();) {
    last = i;
    const bool pair = IsLeadByte(static_cast<unsigned char>(message[i])) && i + 1 < message.size();
    i += pair ? 2 : 1;
  }
  if (static_cast<unsigned char>(message[last]) > static_cast<unsigned char>('.')) {
    return message + ".";
  }
  return message;
}

std::string FormatText(const std::string& pattern, const std::string& argument) {
  const std::size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + argument + pattern.substr(at + 2);
}

}  // namespace platform

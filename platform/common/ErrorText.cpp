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

std::u16string FormatErrorDisplayText(const std::u16string& message) {
  if (message.empty() || message.back() <= u'.') return message;
  return message + u".";
}

Error::Error(const std::string& text) : std::runtime_error(text), face_(AnsiToUtf16(text)) {}

Error::Error(const char* fixedPattern, const std::string& argument)
    : std::runtime_error(FormatText(fixedPattern, argument)), face_(FormatFace(fixedPattern, argument)) {}

std::u16string FormatFace(const std::string& fixedPattern, const std::u16string& argument) {
  const std::size_t at = fixedPattern.find("%s");
  if (at == std::string::npos) return FixedToUtf16(fixedPattern);
  return FixedToUtf16(fixedPattern.substr(0, at)) + argument + FixedToUtf16(fixedPattern.substr(at + 2));
}

std::u16string FormatFace(const std::string& fixedPattern, const std::string& ansiArgument) {
  return FormatFace(fixedPattern, AnsiToUtf16(ansiArgument));
}

std::string FormatText(const std::string& pattern, const std::string& argument) {
  const std::size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + argument + pattern.substr(at + 2);
}

}  // namespace platform

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

Message::Message(const char* fixedPattern, std::vector<std::string> data)
    : pattern_(fixedPattern), data_(std::move(data)) {}

template <typename Out, typename Fixed, typename Data>
Out Message::Join(Fixed fixed, Data data) const {
  const std::string pattern(pattern_);
  Out out;
  std::size_t from = 0;
  for (const std::string& part : data_) {
    const std::size_t at = pattern.find("%s", from);
    if (at == std::string::npos) break;
    out += fixed(pattern.substr(from, at - from));
    out += data(part);
    from = at + 2;
  }
  return out + fixed(pattern.substr(from));
}

std::string Message::Bytes() const { return Utf16ToAnsi(Face()); }

std::u16string Message::Face() const {
  return Join<std::u16string>([](const std::string& s) { return FixedToUtf16(s); },
                              [](const std::string& s) { return Utf8ToUtf16(s); });
}

Error::Error(const std::string& text) : std::runtime_error(text), text_("%s", text) {}

Error::Error(const char* fixedPattern, const std::string& argument)
    : std::runtime_error(Message(fixedPattern, argument).Bytes()), text_(fixedPattern, argument) {}

std::u16string FormatFace(const std::string& fixedPattern, const std::u16string& argument) {
  const std::size_t at = fixedPattern.find("%s");
  if (at == std::string::npos) return FixedToUtf16(fixedPattern);
  return FixedToUtf16(fixedPattern.substr(0, at)) + argument + FixedToUtf16(fixedPattern.substr(at + 2));
}

std::u16string FormatFace(const std::string& fixedPattern, const std::string& argument) {
  return FormatFace(fixedPattern, Utf8ToUtf16(argument));
}

}  // namespace platform

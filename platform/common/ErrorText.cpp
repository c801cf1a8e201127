#include "platform/Error.h"
#include "platform/Locale.h"

namespace platform {

std::u16string FormatErrorDisplayText(const std::u16string& message) {
  if (message.empty() || message.back() <= u'.') return message;
  return message + u".";
}

Message::Message(const char* fixedPattern, std::vector<std::string> data)
    : pattern_(fixedPattern), data_(std::move(data)) {}

std::string Message::Utf8() const {
  const std::string pattern(pattern_);
  std::string out;
  std::size_t from = 0;
  for (const std::string& part : data_) {
    const std::size_t at = pattern.find("%s", from);
    if (at == std::string::npos) break;
    out.append(pattern, from, at - from).append(part);
    from = at + 2;
  }
  return out.append(pattern, from, std::string::npos);
}

std::u16string Message::Face() const { return Utf8ToUtf16(Utf8()); }

Error::Error(const std::string& text) : std::runtime_error(text), text_("%s", text) {}

Error::Error(const char* fixedPattern, const std::string& argument)
    : std::runtime_error(Message(fixedPattern, argument).Utf8()), text_(fixedPattern, argument) {}

}  // namespace platform

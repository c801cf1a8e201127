#pragma once
#include <stdexcept>
#include <string>

namespace platform {

// An error raised by the platform or the framework (a file that cannot be
// opened or written, a number that does not parse). Its text is system code
// page text; the event boundary shows it with the general error display.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& text) : std::runtime_error(text) {}
};

// The text of the general error display: the message followed by "." unless
// its last character already is "." or sorts before it.
std::string FormatErrorDisplayText(const std::string& message);

// Replaces the first "%s" of a fixed text with an argument.
std::string FormatText(const std::string& pattern, const std::string& argument);

}  // namespace platform

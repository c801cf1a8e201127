#pragma once
#include <stdexcept>
#include <string>

namespace platform {

// The texts of the errors this layer (and the framework's number parsing)
// raises; "%s" is the file or the text concerned.
inline constexpr const char* kErrNotInteger = "'%s' は整数ではありません";
inline constexpr const char* kErrCannotOpen = "ファイル %s は開けません";
inline constexpr const char* kErrCannotWrite = "%s に書き込めません";
inline constexpr const char* kErrTooLarge = "ファイル %s は大きすぎます";
inline constexpr const char* kErrIconUnreadable = "アイコンファイル %s を読み込めません";
// What the general error display shows for an error that carries no text.
inline constexpr const char* kErrUnknown = "不明なエラーが発生しました";

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

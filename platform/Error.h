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
// opened or written, a number that does not parse); the event boundary shows
// it with the general error display. what() is the text as bytes (the fixed
// text and the data side by side, for logs and tests); Face() is the text as
// shown, each part converted by its own rule.
class Error : public std::runtime_error {
 public:
  // A text of the system's own (an error text it gave): data.
  explicit Error(const std::string& text);
  // One of the fixed texts above, with its "%s" standing for the data.
  Error(const char* fixedPattern, const std::string& argument);
  const std::u16string& Face() const { return face_; }

 private:
  std::u16string face_;
};

// The text of the general error display: the message followed by "." unless
// its last character already is "." or sorts before it.
std::string FormatErrorDisplayText(const std::string& message);
std::u16string FormatErrorDisplayText(const std::u16string& message);

// Replaces the first "%s" of a fixed text with an argument.
std::string FormatText(const std::string& pattern, const std::string& argument);

}  // namespace platform

#pragma once
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

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

// A text the user reads: a fixed text of the program whose "%s" stand, in
// order, for data (names and paths), all UTF-8. The parts stay apart until
// the text is put together where it is shown.
class Message {
 public:
  explicit Message(const char* fixedPattern, std::vector<std::string> data = {});
  Message(const char* fixedPattern, std::string data) : Message(fixedPattern, std::vector<std::string>{std::move(data)}) {}
  // The text put together.
  std::string Utf8() const;
  // The text as shown.
  std::u16string Face() const;

 private:
  const char* pattern_;
  std::vector<std::string> data_;
};

// An error raised by the platform or the framework (a file that cannot be
// opened or written, a number that does not parse); the event boundary shows
// it with the general error display. what() is Text().Utf8().
class Error : public std::runtime_error {
 public:
  // A text of the system's own (an error text it gave, in UTF-8): data.
  explicit Error(const std::string& text);
  // One of the fixed texts above, with its "%s" standing for the data.
  Error(const char* fixedPattern, const std::string& argument);
  const Message& Text() const { return text_; }
  std::u16string Face() const { return text_.Face(); }

 private:
  Message text_;
};

// The text of the general error display: the message followed by "." unless
// its last character already is "." or sorts before it.
std::u16string FormatErrorDisplayText(const std::u16string& message);

}  // namespace platform

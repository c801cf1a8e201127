// The one error boundary, shared by both implementations of the application
// object: whatever an event handler raises is shown, and the loop goes on.
// And the one warning for a chosen name that no text can keep.
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Locale.h"

namespace platform {

bool ChosenNameToUtf8(WindowHandle owner, const std::u16string& chosen, const char* fixedPattern,
                      std::string* utf8) {
  // Only a lone surrogate (a name no file system gives back) is lost.
  bool whole = true;
  for (std::size_t i = 0; i < chosen.size() && whole; ++i) {
    const char16_t c = chosen[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < chosen.size() && chosen[i + 1] >= 0xDC00 && chosen[i + 1] <= 0xDFFF) {
      ++i;
    } else {
      whole = c < 0xD800 || c > 0xDFFF;
    }
  }
  if (whole) {
    *utf8 = Utf16ToUtf8(chosen);
    return true;
  }
  // The name as chosen: UTF-8 cannot carry it.
  const std::string pattern(fixedPattern);
  const std::size_t at = pattern.find("%s");
  const std::u16string text = at == std::string::npos ? Utf8ToUtf16(pattern)
                                                      : Utf8ToUtf16(pattern.substr(0, at)) + chosen +
                                                            Utf8ToUtf16(pattern.substr(at + 2));
  ShowMessageBox(owner, text, Utf8ToUtf16(kWarningCaption), kMbOk | kMbIconWarning);
  return false;
}

}  // namespace platform

namespace platform::app {

void ShowErrorDisplay(const std::u16string& message) {
  ShowMessageBox(MainWindow(), FormatErrorDisplayText(message), Utf8ToUtf16(Title()), kMbOk | kMbIconStop);
}

void RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Error& e) {
    ShowErrorDisplay(e.Face());
  } catch (const std::exception& e) {
    // Every exception of the program says what() in UTF-8.
    ShowErrorDisplay(Utf8ToUtf16(e.what()));
  } catch (...) {
    // Nothing to say what went wrong; the user still reads the system's language.
    ShowErrorDisplay(Utf8ToUtf16(kErrUnknown));
  }
}

}  // namespace platform::app

// The one error boundary, shared by both implementations of the application
// object: whatever an event handler raises is shown, and the loop goes on.
// And the one warning for a name the system code page cannot hold.
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Locale.h"

namespace platform {

bool ChosenNameToAnsi(WindowHandle owner, const std::u16string& chosen, const char* fixedPattern,
                      std::string* ansi) {
  if (Utf16ToAnsiExact(chosen, ansi)) return true;
  ShowMessageBox(owner, FormatFace(fixedPattern, chosen), FixedToUtf16(kWarningCaption), kMbOk | kMbIconWarning);
  return false;
}

}  // namespace platform

namespace platform::app {

void ShowErrorDisplay(const std::u16string& message) {
  ShowMessageBox(MainWindow(), FormatErrorDisplayText(message), FixedToUtf16(Title()), kMbOk | kMbIconStop);
}

void RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Error& e) {
    ShowErrorDisplay(e.Face());
  } catch (const std::exception& e) {
    ShowErrorDisplay(AnsiToUtf16(e.what()));
  } catch (...) {
    // Nothing to say what went wrong; the user still reads the system's language.
    ShowErrorDisplay(FixedToUtf16(kErrUnknown));
  }
}

}  // namespace platform::app

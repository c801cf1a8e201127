// The one error boundary, shared by both implementations of the application
// object: whatever an event handler raises is shown, and the loop goes on.
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"

namespace platform::app {

void ShowErrorDisplay(const std::string& message) {
  ShowMessageBox(MainWindow(), FormatErrorDisplayText(message), Title(), kMbOk | kMbIconStop);
}

void RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowErrorDisplay(e.what());
  } catch (...) {
    // Nothing to say what went wrong; the user still reads the system's language.
    ShowErrorDisplay(kErrUnknown);
  }
}

}  // namespace platform::app

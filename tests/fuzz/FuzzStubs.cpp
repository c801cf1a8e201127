// The few window calls the library links against, for fuzz targets built
// without the simulated desktop.
#include "platform/Application.h"
#include "platform/Dialogs.h"

namespace platform {

int ShowMessageBox(WindowHandle, const std::string&, const std::string&, unsigned) { return 1; }

namespace app {
const std::string& Title() {
  static const std::string title = "Kelvane";
  return title;
}
}  // namespace app

}  // namespace platform

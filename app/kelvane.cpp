// Program entry: the application object, then the hidden main object whose
// creation is the whole start-up, then the message loop.
#include "app/ConstUnit.h"
#include "app/MainUnit.h"
#include "platform/Application.h"

int main() {
  namespace app = platform::app;
  app::Initialize();
  app::SetHintHidePause(kc::kHintHidePause);
  app::SetShowMainForm(false);
  app::SetTitle(app::kAppTitle);
  // A second copy would double the tray buttons and race the first at
  // writing the settings: it shows the first copy instead.
  if (!app::ClaimFirstInstance(kc::kInstanceName)) {
    app::ShowFirstInstance();
    return 0;
  }

  TMain main;
  app::CreateMainWindow(&main);
  bool started = false;
  app::RunGuarded([&] {
    main.FormCreate();
    started = true;
  });
  // Without a finished start-up there may be no button to quit with.
  if (!started) {
    main.FormClose();
    return 1;
  }
  app::Run();
  return 0;
}

// Test entry for the Windows build: the same application object the program
// sets up, so tests see code page 932, the title and COM as kelvane.exe does.
#include <gtest/gtest.h>

#include "platform/Application.h"

int main(int argc, char** argv) {
  platform::app::Initialize();
  platform::app::SetTitle(platform::app::kAppTitle);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#pragma once
#include <string>

#include "platform/Types.h"

namespace platform {

constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

// MessageBoxA: modal; timer ticks and other events go on while it is up.
int ShowMessageBox(WindowHandle owner, const std::string& text,
                   const std::string& caption, unsigned flags);

// The open-file dialog. The filter is the framework's form:
// "label|pattern|label|pattern...". Returns false when the user cancels.
bool ShowOpenFileDialog(WindowHandle owner, const std::string& filter,
                        std::string* fileName);

}  // namespace platform

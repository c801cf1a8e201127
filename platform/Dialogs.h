#pragma once
#include <functional>
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

// Programs that run unattended (a scheduled task) answer message boxes
// themselves instead of waiting for a person: the handler gets the text and
// caption and gives the answer. An empty handler restores the real boxes.
void RedirectMessageBoxes(std::function<int(const std::string& text, const std::string& caption)> handler);

// The open-file dialog. The filter is the framework's form:
// "label|pattern|label|pattern...". Returns false when the user cancels.
bool ShowOpenFileDialog(WindowHandle owner, const std::string& filter,
                        std::string* fileName);

}  // namespace platform

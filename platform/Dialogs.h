#pragma once
#include <functional>
#include <string>

#include "platform/Locale.h"
#include "platform/Types.h"

namespace platform {

constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

// The caption of every warning box of the program.
inline constexpr const char* kWarningCaption = "警告";

// Every text of these boxes and dialogs is UTF-16: Utf8ToUtf16 of the
// inside form (a Message shows itself with Face()).

// MessageBoxW: modal; timer ticks and other events go on while it is up.
int ShowMessageBox(WindowHandle owner, const std::u16string& text, const std::u16string& caption,
                   unsigned flags);

// A name the user chose, in the inside form (UTF-8). A name with a lone
// surrogate has no such form, and a stand-in would name another file: a
// warning box with the fixed pattern (one %s, the name) says so, and it is
// false.
bool ChosenNameToUtf8(WindowHandle owner, const std::u16string& chosen, const char* fixedPattern,
                      std::string* utf8);

// Programs that run unattended (a scheduled task) answer message boxes
// themselves instead of waiting for a person: the handler gets the text and
// caption (UTF-8) and gives the answer. An empty handler
// restores the real boxes.
void RedirectMessageBoxes(std::function<int(const std::string& text, const std::string& caption)> handler);

// The open-file dialog. The filter is a fixed text in the framework's form:
// "label|pattern|label|pattern...". Returns false when the user cancels; the
// name chosen is the user's, in UTF-16 (ChosenNameToUtf8 takes it inside).
bool ShowOpenFileDialog(WindowHandle owner, const std::string& fixedFilter, std::u16string* fileName);

// The shell's folder browser, modal over the owner, rooted at My Computer so
// that only drives and what lies below them can be chosen, with a status line
// that shows the selected folder's path. *directory is preselected when it
// names an existing folder. True when the user confirmed a choice: *directory
// becomes its path (a folder without a trailing backslash, a drive root with
// one), or stays as it was when the item has no file-system path. False when
// the user cancelled or the browser could not be prepared. The title is a
// fixed text.
bool ShowFolderDialog(WindowHandle owner, const std::string& fixedTitle, std::u16string* directory);

}  // namespace platform

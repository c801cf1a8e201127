#include <windows.h>
#include <shellapi.h>

#include "platform/Console.h"
#include "platform/Locale.h"

namespace platform {

void WriteConsoleText(std::FILE* stream, const std::string& text) {
  std::fflush(stream);
  HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    const std::u16string wide = Utf8ToUtf16(text);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const std::string bytes = Utf8ToSystem(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (!wide) {
    for (int i = 0; i < argc; ++i) arguments.push_back(SystemToUtf8(argv[i]));
    return arguments;
  }
  for (int i = 0; i < count; ++i) arguments.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
  LocalFree(wide);
  return arguments;
}

}  // namespace platform

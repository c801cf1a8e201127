#include "platform/Console.h"
#include "platform/Locale.h"

namespace platform {

// The simulated system has no console of its own: its output is always the
// redirected kind, in the system code page.
void WriteConsoleText(std::FILE* stream, const std::string& text) {
  const std::string bytes = Utf8ToSystem(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

// Host arguments are UTF-8 already.
std::vector<std::string> CommandLineArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

}  // namespace platform

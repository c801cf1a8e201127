// libFuzzer target for the profile file: any bytes parse, read and write
// without fault, and a value written reads back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  platform::ProfileText text(bytes);
  const char* sections[] = {"Setting", "Info", "S", "\x83\x5D"};
  const char* keys[] = {"PlayerPath", "Width", "k", "\x83\x41"};
  for (const char* s : sections) {
    for (const char* k : keys) {
      const std::string value = text.Read(s, k, "");
      if (value.size() > platform::kProfileValueLimit) std::abort();
      std::int32_t n = 0;
      platform::ParseProfileInteger(value, &n);
    }
  }
  text.Write("Setting", "PlayerPath", "C:\\x.exe");
  text.Write("New", "k", "1");
  // A folder the code page cannot hold: the file may change encoding, and
  // every value still reads back.
  const std::string korean = u8"D:\\음악";
  text.Write("Setting", "PlayListPath", korean);
  const platform::ProfileText again(text.Render());
  if (again.Read("Setting", "PlayerPath", "") != "C:\\x.exe") std::abort();
  if (again.Read("New", "k", "") != "1") std::abort();
  if (again.Read("Setting", "PlayListPath", "") != korean) std::abort();
  return 0;
}

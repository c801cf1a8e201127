// File time stamps: the DOS date and time packing, shared by both systems.
#include <string>

#include "platform/FileSystem.h"

namespace platform {

std::int32_t PackDosStamp(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1980) return PackDosStamp(1980, 1, 1, 0, 0, 0);
  if (year > 2107) return PackDosStamp(2107, 12, 31, 23, 59, 58);
  const std::uint32_t packed = (static_cast<std::uint32_t>(year - 1980) << 25) |
                               (static_cast<std::uint32_t>(month) << 21) |
                               (static_cast<std::uint32_t>(day) << 16) |
                               (static_cast<std::uint32_t>(hour) << 11) |
                               (static_cast<std::uint32_t>(minute) << 5) |
                               static_cast<std::uint32_t>(second / 2);
  return static_cast<std::int32_t>(packed);
}

std::string StampText(std::int32_t stamp) { return std::to_string(stamp); }

}  // namespace platform

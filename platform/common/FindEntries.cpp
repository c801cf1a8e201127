#include "platform/FileSystem.h"

namespace platform {

// Built on the system's own search, so both implementations share it.
std::vector<FoundEntry> FindEntries(const std::string& pattern) {
  std::vector<FoundEntry> entries;
  ForEachEntry(pattern, [&](const FoundEntry& entry) {
    entries.push_back(entry);
    return true;
  });
  return entries;
}

}  // namespace platform

#include "app/MyFunctions.h"
#include <algorithm>

#include "library/LibraryUpdate.h"
#include "library/MP3Tag.h"
#include "library/PlaylistIndex.h"
#include "library/PlaylistScan.h"
#include "platform/Error.h"
#include "platform/Locale.h"

std::u16string LibraryTextFace(const std::string& text) {
  // Those that begin with their fixed part first: a pattern that begins with
  // its name is known by the fixed part after it.
  static const char* const kPatterns[] = {
      platform::kErrCannotOpen,     platform::kErrTooLarge,      kErrCannotProcess, kErrFolderIsCache, kListChunkMissing,
      platform::kErrNotInteger,     platform::kErrUnknown,       platform::kErrCannotWrite,   kSkippedCacheLine, kSkippedStoredLine};
  for (const char* pattern : kPatterns) {
    const std::string fixed(pattern);
    const std::size_t slot = fixed.find("%s");
    const std::string head = fixed.substr(0, slot);
    if (text.compare(0, head.size(), head) != 0) continue;
    if (slot == std::string::npos) return platform::FixedToUtf16(head) + platform::AnsiToUtf16(text.substr(head.size()));
    const std::string tail = fixed.substr(slot + 2);
    // Every tail begins with a blank or a quote, which no double-byte
    // character of the name can end in.
    const std::size_t end = tail.empty() ? text.size() : text.find(tail, head.size());
    if (end == std::string::npos) continue;
    return platform::FixedToUtf16(head) + platform::AnsiToUtf16(text.substr(head.size(), end - head.size())) +
           platform::FixedToUtf16(tail) + platform::AnsiToUtf16(text.substr(std::min(end + tail.size(), text.size())));
  }
  return platform::AnsiToUtf16(text);
}

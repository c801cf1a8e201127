#pragma once
// How many Win32 file calls this layer makes, for the benchmark that sets
// them beside its floor's. Counting is off until a tally is given; while off
// each call costs one test of a null pointer.
#include <cstdint>

namespace platform {
namespace win32 {

enum class FileCall {
  kCreateFile,
  kReadFile,
  kWriteFile,
  kSetFilePointer,
  kGetFileType,
  kGetFileInformation,
  kGetFileSize,
  kGetFileAttributes,
  kGetFileAttributesEx,
  kFindFirstFile,
  kFindNextFile,
  kFindClose,
  kCloseHandle,
  kFlushFileBuffers,
  kMoveFileEx,
  kDeleteFile,
  kCreateDirectory,
  kCount
};

// The Win32 function behind a FileCall ("CreateFileA", ...).
const char* FileCallName(FileCall call);

struct FileCallTally {
  std::uint64_t calls[static_cast<int>(FileCall::kCount)] = {};
  std::uint64_t Total() const {
    std::uint64_t total = 0;
    for (std::uint64_t n : calls) total += n;
    return total;
  }
};

// Adds every later call of this layer to *tally; nullptr stops counting.
// Not for use from two threads at once.
void CountFileCalls(FileCallTally* tally);

}  // namespace win32
}  // namespace platform

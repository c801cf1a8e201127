#pragma once
// How many Win32 file calls the program's code makes, for the benchmark that
// sets them beside its floor's, and for the tests that hold the library to
// it. The product is not built for it: counting puts small counters into the
// running program's import table, in front of the kernel32 functions, so
// every call of the module is counted, the floor's own included.
#include <cstdint>

namespace bench {

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

// The Win32 function behind a FileCall ("CreateFileW", ...; its A form is counted with it).
const char* FileCallName(FileCall call);

struct FileCallTally {
  std::uint64_t calls[static_cast<int>(FileCall::kCount)] = {};
  std::uint64_t Total() const {
    std::uint64_t total = 0;
    for (std::uint64_t n : calls) total += n;
    return total;
  }
};

// Adds every later call to *tally; nullptr stops counting. Not for use from
// two threads at once.
void CountFileCalls(FileCallTally* tally);

}  // namespace bench

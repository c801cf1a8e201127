// The file calls counted through the module's import address table: each
// kernel32 function the table names is swapped, once, for a counter that
// calls it on. The program itself is built and runs as it ships.
#include <windows.h>

#include <cstring>

#include "tools/bench/FileCallCount.h"

namespace bench {
namespace {

FileCallTally* gTally = nullptr;

template <FileCall kCall, typename R, typename... A>
struct Counter {
  static inline R(WINAPI* original)(A...) = nullptr;
  static R WINAPI Call(A... args) {
    if (gTally) ++gTally->calls[static_cast<int>(kCall)];
    return original(args...);
  }
};

struct Hook {
  const char* name;
  void* counter;
  void** original;
};

template <FileCall kCall, typename R, typename... A>
Hook Make(const char* name, R(WINAPI*)(A...)) {
  using C = Counter<kCall, R, A...>;
  return Hook{name, reinterpret_cast<void*>(&C::Call), reinterpret_cast<void**>(&C::original)};
}

const Hook kHooks[] = {
    Make<FileCall::kCreateFile>("CreateFileA", &CreateFileA),
    Make<FileCall::kCreateFile>("CreateFileW", &CreateFileW),
    Make<FileCall::kReadFile>("ReadFile", &ReadFile),
    Make<FileCall::kWriteFile>("WriteFile", &WriteFile),
    Make<FileCall::kSetFilePointer>("SetFilePointerEx", &SetFilePointerEx),
    Make<FileCall::kGetFileType>("GetFileType", &GetFileType),
    Make<FileCall::kGetFileInformation>("GetFileInformationByHandle", &GetFileInformationByHandle),
    Make<FileCall::kGetFileInformation>("GetFileInformationByHandleEx", &GetFileInformationByHandleEx),
    Make<FileCall::kGetFileSize>("GetFileSizeEx", &GetFileSizeEx),
    Make<FileCall::kGetFileAttributes>("GetFileAttributesA", &GetFileAttributesA),
    Make<FileCall::kGetFileAttributes>("GetFileAttributesW", &GetFileAttributesW),
    Make<FileCall::kGetFileAttributesEx>("GetFileAttributesExA", &GetFileAttributesExA),
    Make<FileCall::kGetFileAttributesEx>("GetFileAttributesExW", &GetFileAttributesExW),
    Make<FileCall::kFindFirstFile>("FindFirstFileA", &FindFirstFileA),
    Make<FileCall::kFindFirstFile>("FindFirstFileW", &FindFirstFileW),
    Make<FileCall::kFindNextFile>("FindNextFileA", &FindNextFileA),
    Make<FileCall::kFindNextFile>("FindNextFileW", &FindNextFileW),
    Make<FileCall::kFindClose>("FindClose", &FindClose),
    Make<FileCall::kCloseHandle>("CloseHandle", &CloseHandle),
    Make<FileCall::kFlushFileBuffers>("FlushFileBuffers", &FlushFileBuffers),
    Make<FileCall::kMoveFileEx>("MoveFileExA", &MoveFileExA),
    Make<FileCall::kMoveFileEx>("MoveFileExW", &MoveFileExW),
    Make<FileCall::kDeleteFile>("DeleteFileA", &DeleteFileA),
    Make<FileCall::kDeleteFile>("DeleteFileW", &DeleteFileW),
    Make<FileCall::kCreateDirectory>("CreateDirectoryA", &CreateDirectoryA),
    Make<FileCall::kCreateDirectory>("CreateDirectoryW", &CreateDirectoryW),
};

// Every import slot of the module that holds one of the functions now
// points at its counter.
void Install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  for (const Hook& hook : kHooks) *hook.original = reinterpret_cast<void*>(GetProcAddress(kernel32, hook.name));
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); slot->u1.Function; ++slot) {
      for (const Hook& hook : kHooks) {
        if (reinterpret_cast<void*>(slot->u1.Function) != *hook.original) continue;
        DWORD was = 0;
        VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &was);
        slot->u1.Function = reinterpret_cast<ULONG_PTR>(hook.counter);
        VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, was, &was);
      }
    }
  }
}

}  // namespace

const char* FileCallName(FileCall call) {
  static const char* const kNames[] = {
      "CreateFileW",   "ReadFile",      "WriteFile",          "SetFilePointerEx",     "GetFileType",
      "GetFileInformationByHandle(Ex)", "GetFileSizeEx", "GetFileAttributesW", "GetFileAttributesExW",
      "FindFirstFileW", "FindNextFileW", "FindClose",         "CloseHandle",          "FlushFileBuffers",
      "MoveFileExW",   "DeleteFileW",   "CreateDirectoryW",
  };
  static_assert(sizeof kNames / sizeof kNames[0] == static_cast<int>(FileCall::kCount), "one name per call");
  return kNames[static_cast<int>(call)];
}

void CountFileCalls(FileCallTally* tally) {
  Install();
  gTally = tally;
}

}  // namespace bench

// The benchmark's floors in Win32 calls (run under Wine, where every call is
// slow, so only the ratio to the floor means anything).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSystem.h"
#include "tools/bench/FileCallCount.h"

namespace bench {
namespace {

bench::FileCallTally gTally;

void Check(bool ok, const char* what, const std::string& path) {
  if (ok) return;
  std::fprintf(stderr, "kelvane-bench: %s failed (%lu): %s\n", what, GetLastError(), path.c_str());
  std::exit(3);
}

void WriteFloor(const char* path, const std::string& bytes, DWORD creation) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "CreateFileA", path);
  DWORD written = 0;
  Check(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size(),
        "WriteFile", path);
  CloseHandle(file);
}

}  // namespace

const char* SystemName() { return "Win32"; }
std::vector<int> DefaultSizes() { return {5000, 20000}; }

std::string MakeRoot(const std::string& dir) {
  std::string base = dir;
  if (base.empty()) {
    char temp[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof temp, temp);
    Check(n > 0 && n <= MAX_PATH, "GetTempPathA", "");
    base.assign(temp, n);
  }
  if (base.back() != '\\') base += '\\';
  for (unsigned attempt = 0;; ++attempt) {
    const std::string root = base + "kv-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(attempt) + "\\";
    if (CreateDirectoryA(root.c_str(), nullptr)) return root;
    Check(GetLastError() == ERROR_ALREADY_EXISTS && attempt < 100, "CreateDirectoryA", root);
  }
}

void RemoveTree(const std::string& folder) {
  std::string base = folder;
  if (base.back() != '\\') base += '\\';
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((base + "*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(base + name);
      } else {
        DeleteFileA((base + name).c_str());
      }
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(base.c_str());
}

void MakeFolder(const std::string& folder) {
  Check(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS, "CreateDirectoryA",
        folder);
}

void WriteNew(const std::string& path, const std::string& bytes) { WriteFloor(path.c_str(), bytes, CREATE_ALWAYS); }

std::string ReadAll(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "CreateFileA", path);
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

std::vector<std::pair<std::string, std::string>> FilesOf(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    files.emplace_back(data.cFileName, ReadAll(folder + "\\" + data.cFileName));
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return files;
}

Floor BuildFloor(const std::vector<std::vector<std::string>>& tracks, const std::string& folder,
                 const std::vector<std::pair<std::string, std::string>>& derived) {
  MakeFolder(folder);
  std::vector<std::string> targets;
  for (const auto& file : derived) targets.push_back(folder + "\\" + file.first);
  Floor floor;
  const double start = Now();
  char buffer[128];
  for (const auto& list : tracks) {
    for (const std::string& track : list) {
      HANDLE file = CreateFileA(track.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      DWORD read = 0;
      Check(ReadFile(file, buffer, 12, &read, nullptr) && read == 12, "ReadFile", track);
      SetFilePointer(file, -128, nullptr, FILE_END);
      Check(ReadFile(file, buffer, 128, &read, nullptr) && read == 128, "ReadFile", track);
      // The time stamp from the open file: the cheapest of the ways to it.
      FILETIME written;
      GetFileTime(file, nullptr, nullptr, &written);
      CloseHandle(file);
      floor.calls += 6;
    }
  }
  for (std::size_t i = 0; i < derived.size(); ++i) {
    WriteFloor(targets[i].c_str(), derived[i].second, CREATE_NEW);
    floor.calls += 3;
  }
  floor.seconds = Now() - start;
  return floor;
}

Floor NoChangeFloor(const std::vector<std::string>& playlists, const std::vector<std::string>& mp3logs,
                    const std::vector<std::vector<std::string>>& tracks) {
  static char buffer[1 << 22];
  Floor floor;
  const double start = Now();
  std::size_t bytes = 0;
  for (std::size_t p = 0; p < playlists.size(); ++p) {
    for (const std::string* path : {&playlists[p], &mp3logs[p]}) {
      HANDLE file = CreateFileA(path->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      DWORD read = 0;
      // One read: a short read of a regular file is its end.
      Check(ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read < sizeof buffer, "ReadFile", *path);
      CloseHandle(file);
      bytes += read;
      floor.calls += 3;
    }
    for (const std::string& track : tracks[p]) {
      WIN32_FILE_ATTRIBUTE_DATA data;
      GetFileAttributesExA(track.c_str(), GetFileExInfoStandard, &data);
      ++floor.calls;
    }
  }
  floor.seconds = Now() - start;
  Check(bytes > 0, "reading the playlists", "");
  return floor;
}

bool CanCountCalls() { return true; }

void StartCounting() {
  gTally = bench::FileCallTally();
  bench::CountFileCalls(&gTally);
}

std::vector<std::pair<std::string, std::uint64_t>> StopCounting() {
  bench::CountFileCalls(nullptr);
  std::vector<std::pair<std::string, std::uint64_t>> counts;
  for (int i = 0; i < static_cast<int>(bench::FileCall::kCount); ++i) {
    if (gTally.calls[i] == 0) continue;
    counts.emplace_back(bench::FileCallName(static_cast<bench::FileCall>(i)), gTally.calls[i]);
  }
  return counts;
}

}  // namespace bench

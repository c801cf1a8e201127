#pragma once
// A fresh temporary host folder onto which the native stand-in maps Windows
// drives ("D:\Music" is <path>/D/Music), with the given host folders made;
// gone again, locks lifted, with the object.
#include <stdlib.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "platform/posix/SimFileSystem.h"

namespace kvtest {

class MappedRoot {
 public:
  explicit MappedRoot(std::initializer_list<const char*> folders = {}) {
    char pattern[] = "/tmp/kv-root-XXXXXX";
    path = mkdtemp(pattern);
    sim::SetFileSystemRoot(path);
    sim::SetCurrentFolder("C:\\");
    sim::UnlockAllFiles();
    for (const char* folder : folders) std::filesystem::create_directories(path + "/" + folder);
  }
  ~MappedRoot() {
    sim::UnlockAllFiles();
    std::filesystem::remove_all(path);
  }
  MappedRoot(const MappedRoot&) = delete;
  MappedRoot& operator=(const MappedRoot&) = delete;

  std::string path;
};

}  // namespace kvtest

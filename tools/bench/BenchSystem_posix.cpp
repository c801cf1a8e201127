// The benchmark's floors in POSIX calls, over the simulated file system's
// host folders (C:\ is <root>/C).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BenchSystem.h"
#include "platform/posix/SimFileSystem.h"

namespace fs = std::filesystem;

namespace bench {
namespace {

std::string gHostRoot;

// The generated names are exact and ASCII: mapped by hand, outside the timed
// loops, so that no floor pays for the simulation's name resolution.
std::string Host(const std::string& windowsPath) {
  std::string host = gHostRoot + "/" + windowsPath.substr(0, 1);
  for (std::size_t i = 2; i < windowsPath.size(); ++i) host += windowsPath[i] == '\\' ? '/' : windowsPath[i];
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  return host;
}

std::vector<std::vector<std::string>> Hosts(const std::vector<std::vector<std::string>>& paths) {
  std::vector<std::vector<std::string>> out;
  for (const auto& list : paths) {
    out.emplace_back();
    for (const std::string& p : list) out.back().push_back(Host(p));
  }
  return out;
}

void WriteHost(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
  close(fd);
}

std::string ReadHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

const char* SystemName() { return "POSIX (native)"; }
std::vector<int> DefaultSizes() { return {20000, 80000}; }

std::string MakeRoot(const std::string& dir) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = (dir.empty() ? std::string(tmp && *tmp ? tmp : "/tmp") : dir) + "/kv-bench-XXXXXX";
  if (!mkdtemp(&pattern[0])) std::abort();
  gHostRoot = pattern;
  sim::SetFileSystemRoot(gHostRoot);
  fs::create_directories(gHostRoot + "/C");
  return "C:\\";
}

void RemoveTree(const std::string& folder) { fs::remove_all(Host(folder)); }
void MakeFolder(const std::string& folder) { fs::create_directories(Host(folder)); }
void WriteNew(const std::string& path, const std::string& bytes) { WriteHost(Host(path), bytes); }
std::string ReadAll(const std::string& path) { return ReadHost(Host(path)); }

std::vector<std::pair<std::string, std::string>> FilesOf(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& e : fs::directory_iterator(Host(folder))) {
    files.emplace_back(e.path().filename().string(), ReadHost(e.path().string()));
  }
  return files;
}

Floor BuildFloor(const std::vector<std::vector<std::string>>& tracks, const std::string& folder,
                 const std::vector<std::pair<std::string, std::string>>& derived) {
  const auto hosts = Hosts(tracks);
  const std::string out = Host(folder);
  fs::create_directories(out);
  std::vector<std::string> targets;
  for (const auto& file : derived) targets.push_back(out + "/" + file.first);
  Floor floor;
  const double start = Now();
  char buffer[128];
  for (const auto& list : hosts) {
    for (const std::string& track : list) {
      const int fd = open(track.c_str(), O_RDONLY);
      if (read(fd, buffer, 12) != 12) std::abort();
      lseek(fd, -128, SEEK_END);
      if (read(fd, buffer, 128) != 128) std::abort();
      close(fd);
      struct stat st;
      stat(track.c_str(), &st);
      floor.calls += 6;
    }
  }
  for (std::size_t i = 0; i < derived.size(); ++i) {
    WriteHost(targets[i], derived[i].second);
    floor.calls += 3;
  }
  floor.seconds = Now() - start;
  return floor;
}

Floor NoChangeFloor(const std::vector<std::string>& playlists, const std::vector<std::string>& mp3logs,
                    const std::vector<std::vector<std::string>>& tracks) {
  const auto hosts = Hosts(tracks);
  std::vector<std::string> lists, logs;
  for (const std::string& p : playlists) lists.push_back(Host(p));
  for (const std::string& p : mp3logs) logs.push_back(Host(p));
  Floor floor;
  const double start = Now();
  std::size_t bytes = 0;
  for (std::size_t p = 0; p < lists.size(); ++p) {
    bytes += ReadHost(lists[p]).size();
    bytes += ReadHost(logs[p]).size();
    floor.calls += 6;  // open, read, close of each
    for (const std::string& track : hosts[p]) {
      struct stat st;
      stat(track.c_str(), &st);
      ++floor.calls;
    }
  }
  floor.seconds = Now() - start;
  if (bytes == 0) std::abort();
  return floor;
}

bool CanCountCalls() { return false; }
void StartCounting() {}
std::vector<std::pair<std::string, std::uint64_t>> StopCounting() { return {}; }

}  // namespace bench

#pragma once
// What the benchmark needs from the system it runs on: a place for the
// generated library, plain file writes for the generator, and the floors,
// written in the system's own calls (POSIX natively, Win32 under Wine), so
// that each library figure is set beside the cheapest loop that makes the
// file calls the same work cannot avoid on that system.
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Seconds on the steady clock.
inline double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A 128-byte ID3v1 trailer naming the artist and the album.
inline std::string Id3(const std::string& artist, const std::string& album) {
  std::string block(128, '\0');
  block.replace(0, 3, "TAG");
  block.replace(33, artist.size(), artist);
  block.replace(63, album.size(), album);
  return block;
}

// The system's name in the report ("POSIX (native)", "Win32").
const char* SystemName();
// Track counts run when none are given.
std::vector<int> DefaultSizes();

// A new empty folder for one library, as a Windows path ending in "\". `dir`
// is where to make it ("" for the system's temporary folder).
std::string MakeRoot(const std::string& dir);
void RemoveTree(const std::string& folder);
void MakeFolder(const std::string& folder);
// Create, write, close: no flush, no safety (the generator's files).
void WriteNew(const std::string& path, const std::string& bytes);
std::string ReadAll(const std::string& path);
// The files of a folder with their bytes.
std::vector<std::pair<std::string, std::string>> FilesOf(const std::string& folder);

struct Floor {
  double seconds = 0;
  std::uint64_t calls = 0;  // file calls made, counted by the loop itself
};

// A build's unavoidable calls: per listed track open, 12-byte read, seek to
// 128 bytes before the end, 128-byte read, close and one time-stamp call;
// per derived file create, write, close (into `folder`, which it makes).
Floor BuildFloor(const std::vector<std::vector<std::string>>& tracks, const std::string& folder,
                 const std::vector<std::pair<std::string, std::string>>& derived);
// An update with nothing changed: one time-stamp call per listed track, plus
// reading each playlist and its ".mp3log".
Floor NoChangeFloor(const std::vector<std::string>& playlists, const std::vector<std::string>& mp3logs,
                    const std::vector<std::vector<std::string>>& tracks);

// The platform layer's own count of file calls, where the system has one:
// each name with the calls made since StartCounting.
bool CanCountCalls();
void StartCounting();
std::vector<std::pair<std::string, std::uint64_t>> StopCounting();

}  // namespace bench

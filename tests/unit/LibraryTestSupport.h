#pragma once
// Temporary folders mapped as Windows drives, and builders of audio files,
// for the library's tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/ConstUnit.h"
#include "platform/Application.h"
#include "tests/sim/SimDesktop.h"
#include "platform/posix/SimFileSystem.h"
#include "tests/support/MappedRoot.h"

namespace libtest {

using kvtest::MappedRoot;

// An ID3v1 block with the given fields (each cut to its width).
inline std::string Id3v1(const std::string& artist, const std::string& album, const std::string& title = "") {
  std::string block(128, '\0');
  block.replace(0, 3, "TAG");
  block.replace(3, std::min<std::size_t>(title.size(), 30), title.substr(0, 30));
  block.replace(33, std::min<std::size_t>(artist.size(), 30), artist.substr(0, 30));
  block.replace(63, std::min<std::size_t>(album.size(), 30), album.substr(0, 30));
  return block;
}

// A few KiB of "audio" followed by an ID3v1 block.
inline std::string Mp3WithTag(const std::string& artist, const std::string& album) {
  return std::string(2048, '\xFF') + Id3v1(artist, album);
}

inline std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A sub-chunk: id, size, data, and a pad byte when the size is odd.
inline std::string Chunk(const std::string& id, const std::string& data) {
  std::string c = id + Le32(static_cast<std::uint32_t>(data.size())) + data;
  if (data.size() % 2) c += '\0';
  return c;
}

// A RIFF "RMP3" file: an audio chunk of `audioSize` bytes, then "LIST"
// "INFO" with the given sub-chunks.
inline std::string Rmp3(const std::string& subChunks, std::uint32_t audioSize = 100) {
  std::string audio = "data" + Le32(audioSize) + std::string(audioSize, '\x55');
  if (audioSize % 2) audio += '\0';
  const std::string list = "LIST" + Le32(static_cast<std::uint32_t>(4 + subChunks.size())) + "INFO" + subChunks;
  const std::string body = "RMP3" + audio + list;
  return "RIFF" + Le32(static_cast<std::uint32_t>(body.size())) + body;
}

// ID3v2 as taggers write it. Sizes: syncsafe in the tag header and in 2.4
// frames, plain big-endian in 2.3 frames, three bytes in 2.2 frames.
inline std::string Syncsafe(std::uint32_t v) {
  return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F), static_cast<char>((v >> 7) & 0x7F),
          static_cast<char>(v & 0x7F)};
}
inline std::string Be(std::uint32_t v, int bytes) {
  std::string s;
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}
inline std::string Frame(int version, const std::string& id, const std::string& data, int formatFlags = 0) {
  if (version == 2) return id + Be(static_cast<std::uint32_t>(data.size()), 3) + data;
  const auto size = static_cast<std::uint32_t>(data.size());
  return id + (version == 4 ? Syncsafe(size) : Be(size, 4)) + '\0' + static_cast<char>(formatFlags) + data;
}
// A text frame's data: the encoding byte, then the bytes as given.
inline std::string Text(int encoding, const std::string& bytes) { return static_cast<char>(encoding) + bytes; }
// The tag: header (version 2, 3 or 4, flags) and frames, then `padding` zero
// bytes counted in its size.
inline std::string Id3v2(int version, const std::string& frames, int flags = 0, std::size_t padding = 0) {
  return "ID3" + std::string{static_cast<char>(version), '\0', static_cast<char>(flags)} +
         Syncsafe(static_cast<std::uint32_t>(frames.size() + padding)) + frames + std::string(padding, '\0');
}
// A 2.3 tag naming artist and album in ISO-8859-1 (encoding 0).
inline std::string Id3v2Tag(const std::string& artist, const std::string& album) {
  return Id3v2(3, Frame(3, "TPE1", Text(0, artist)) + Frame(3, "TALB", Text(0, album)));
}

// A temporary root onto which Windows drives are mapped, with C:\App\ as the
// program folder and D:\Lists, D:\Music made.
class LibraryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    mapped_ = std::make_unique<MappedRoot>(std::initializer_list<const char*>{"C/App", "D/Lists", "D/Music"});
    root_ = mapped_->path;
    sim::Reset();
    platform::app::SetTitle(platform::app::kAppTitle);
    // 2004-05-06 07:08:10 in this zone: stamp 816199941, the default file time.
    setenv("TZ", "UTC0", 1);
    tzset();
  }
  void TearDown() override { mapped_.reset(); }

  // Host path of a Windows path ("D:\Music\a.mp3").
  std::string Host(const std::string& windowsPath) const { return sim::HostPath(windowsPath); }

  void Put(const std::string& windowsPath, const std::string& bytes, std::time_t time = 1083827290) {
    const std::string host = Host(windowsPath);
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
    sim::SetLastWriteTime(windowsPath, time);
  }
  std::string Get(const std::string& windowsPath) const {
    std::ifstream in(Host(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& windowsPath) const { return std::filesystem::exists(Host(windowsPath)); }

  // Names in a folder, sorted.
  std::vector<std::string> Names(const std::string& windowsFolder) const {
    std::vector<std::string> names;
    if (!std::filesystem::exists(Host(windowsFolder))) return names;
    for (const auto& e : std::filesystem::directory_iterator(Host(windowsFolder))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<MappedRoot> mapped_;
  std::string root_;
};

}  // namespace libtest

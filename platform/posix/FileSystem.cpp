// The file system of platform/FileSystem.h on POSIX: Windows paths mapped
// onto host folders (platform/posix/SimFileSystem.h).
#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <unordered_map>

#include "platform/Error.h"
#include "platform/posix/FileSystemPaths.h"

namespace {

long gChangesAllowed = -1;
long gChangesMade = 0;

// Whether the next change may reach the disk; Changed() records one that did.
bool ChangesStopped() { return gChangesAllowed >= 0 && gChangesMade >= gChangesAllowed; }
void Changed() { ++gChangesMade; }

}  // namespace

namespace sim {

void StopChangesAfter(long changes) {
  gChangesAllowed = changes;
  gChangesMade = 0;
}

long ChangesMade() { return gChangesMade; }

}  // namespace sim

namespace platform {
namespace {

std::int32_t StampOf(const struct stat& st) {
  // Files of one library share few distinct seconds: the last conversions
  // are kept, as localtime_r costs more than the stat it follows.
  struct Converted {
    std::time_t seconds = -1;
    std::int32_t stamp = 0;
  };
  static Converted recent[16];
  static unsigned next = 0;
  const std::time_t seconds = st.st_mtim.tv_sec;
  for (const Converted& c : recent) {
    if (c.seconds == seconds) return c.stamp;
  }
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return PackDosStamp(1980, 1, 1, 0, 0, 0);
  const std::int32_t stamp = PackDosStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                          local.tm_min, local.tm_sec);
  recent[next++ % 16] = Converted{seconds, stamp};
  return stamp;
}

std::uint32_t AttributesOf(const struct stat& st) {
  std::uint32_t attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  return attributes;
}

FoundEntry EntryOf(const std::string& name, const struct stat& st) {
  FoundEntry entry;
  entry.name = name;
  entry.attributes = AttributesOf(st);
  entry.stamp = StampOf(st);
  return entry;
}

// The entry of an existing host path, its name taken from the path into the
// entry's own buffer.
void FillEntry(const std::string& host, const struct stat& st, FoundEntry* entry) {
  const std::size_t slash = host.rfind('/');
  entry->name.assign(host, slash == std::string::npos ? 0 : slash + 1, std::string::npos);
  entry->attributes = AttributesOf(st);
  entry->stamp = StampOf(st);
}

bool HasWildcard(const std::string& text) {
  for (const char c : text) {
    if (c == '*' || c == '?') return true;
  }
  return false;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The folders kept open while an EntryLookupScope lives on this thread.
// Tracks of one folder usually stand together, so the last folder is tried
// first; beyond kMost folders the rest take the plain walk.
class OpenFolders {
 public:
  ~OpenFolders() { Clear(); }
  void Clear() {
    for (const auto& folder : handles_) {
      if (folder.second >= 0) close(folder.second);
    }
    handles_.clear();
    last_.clear();
    lastHandle_ = -1;
  }
  // The handle of a host folder (the first `length` bytes of `path`), opened
  // when it is not yet; -1 when it cannot be (remembered too: a playlist
  // spelling a folder in another letter case names it on every line).
  int HandleOf(const std::string& path, std::size_t length) {
    if (last_.size() == length && std::memcmp(last_.data(), path.data(), length) == 0) return lastHandle_;
    last_.assign(path, 0, length);
    const auto it = handles_.find(last_);
    if (it != handles_.end()) {
      lastHandle_ = it->second;
    } else if (handles_.size() >= kMost) {
      lastHandle_ = -1;
    } else {
      const int fd = open(last_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
      lastHandle_ = fd < 0 ? -1 : fd;
      handles_.emplace(last_, lastHandle_);
    }
    return lastHandle_;
  }

 private:
  static constexpr std::size_t kMost = 64;
  std::unordered_map<std::string, int> handles_;
  std::string last_;
  int lastHandle_ = -1;
};

thread_local OpenFolders tOpenFolders;
thread_local int tScopeDepth = 0;

// Reads never wait for a writer: a named pipe or a device opened for
// reading could block for ever, so nothing is opened blocking and only
// regular files are kept.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

// An open handle kept for reading: a folder is closed (-1); anything else
// that is not a regular file, and a file this process holds locked, is
// closed and raised as one that cannot be opened.
int KeepIfFile(int fd, const struct stat& st, const std::string& host, const std::string& path) {
  if (S_ISDIR(st.st_mode)) {
    close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode) || fsposix::IsLocked(host)) {
    close(fd);
    throw Error(kErrCannotOpen, path);
  }
  return fd;
}

enum class NewFile { kWritten, kRefused, kFailed };

// A file created exclusively and written whole. Refused when the create is
// (the name is taken, or the folder will not have it); a write that fails
// removes the new file again.
NewFile CreateNewFile(const std::string& host, const std::string& bytes) {
  if (ChangesStopped()) return NewFile::kFailed;
  const int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return NewFile::kRefused;
  const bool written = WriteAll(fd, bytes);
  const bool closed = close(fd) == 0;
  if (written && closed) {
    Changed();
    return NewFile::kWritten;
  }
  unlink(host.c_str());
  return NewFile::kFailed;
}

}  // namespace

EntryLookupScope::EntryLookupScope() { ++tScopeDepth; }

EntryLookupScope::~EntryLookupScope() {
  if (--tScopeDepth == 0) tOpenFolders.Clear();
}

bool FileExists(const std::string& path) {
  struct stat st{};
  bool exists = false;
  fsposix::MapPath(path, &st, &exists);
  return exists && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st{};
  bool exists = false;
  const std::string host = fsposix::MapPath(path, &st, &exists);
  if (exists && S_ISLNK(st.st_mode)) {
    if (stat(host.c_str(), &st) != 0) return false;
  }
  return exists && S_ISDIR(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::uint64_t maxBytes) {
  struct stat st{};
  bool exists = false;
  const std::string host = fsposix::MapPath(path, &st, &exists);
  if (!exists || S_ISDIR(st.st_mode)) return false;
  if (fsposix::IsLocked(host)) throw Error(kErrCannotOpen, path);
  const int fd = open(host.c_str(), kReadFlags);
  if (fd < 0) throw Error(kErrCannotOpen, path);
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    throw Error(kErrCannotOpen, path);
  }
  const Error tooLarge(kErrTooLarge, path);
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    close(fd);
    throw tooLarge;
  }
  std::string out;
  if (st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      throw Error(kErrCannotOpen, path);
    }
    if (n == 0) break;
    // A file that grows while it is read is held to the same bound.
    if (static_cast<std::uint64_t>(n) > maxBytes - out.size()) {
      close(fd);
      throw tooLarge;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  *bytes = std::move(out);
  return true;
}

void WriteFileSafely(const std::string& path, const std::string& bytes) {
  struct stat st{};
  bool exists = false;
  const std::string host = fsposix::MapPath(path, &st, &exists);
  const Error failure(kErrCannotWrite, path);
  if (ChangesStopped() || (exists && (S_ISDIR(st.st_mode) || fsposix::IsLocked(host)))) throw failure;
  const std::string temporary = host + ".kvnew";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw failure;
  const bool written = WriteAll(fd, bytes);
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), host.c_str()) != 0) {
    unlink(temporary.c_str());
    throw failure;
  }
  Changed();
  if (!exists) fsposix::NoteCreated(host);
}

void WriteRebuildableFile(const std::string& path, const std::string& bytes) {
  bool exists = false;
  const std::string host = fsposix::MapPath(path, nullptr, &exists);
  const NewFile made = exists ? NewFile::kRefused : CreateNewFile(host, bytes);
  if (made == NewFile::kRefused) {
    // An old file (or one that appeared since, or a create refused): the
    // safe write keeps it or fails as it would.
    WriteFileSafely(path, bytes);
    return;
  }
  if (made == NewFile::kFailed) throw Error(kErrCannotWrite, path);
  fsposix::NoteCreated(host);
}

RebuildableFolder::RebuildableFolder(const std::string& folder) : folder_(folder) {
  struct stat st{};
  bool exists = false;
  const std::string host = fsposix::MapPath(folder, &st, &exists);
  if (exists && S_ISDIR(st.st_mode) && fsposix::HoldFolder(host)) host_ = host;
}

RebuildableFolder::~RebuildableFolder() {
  if (!host_.empty()) fsposix::ReleaseFolder(host_);
}

void RebuildableFolder::Write(const std::string& name, const std::string& bytes) {
  // Names that are more than one plain name, or that the folder already
  // holds in some letter case, take the general way.
  if (host_.empty() || name.empty() || name == "." || name == ".." || name.find_first_of("\\/") != std::string::npos ||
      !fsposix::AddHeldName(host_, name)) {
    WriteRebuildableFile(folder_ + "\\" + name, bytes);
    return;
  }
  thread_local std::string host;
  host.assign(host_).append(1, '/').append(name);
  const NewFile made = CreateNewFile(host, bytes);
  if (made == NewFile::kWritten) return;
  fsposix::NoteRemoved(host);  // recorded above, but not made
  if (made == NewFile::kFailed) throw Error(kErrCannotWrite, folder_ + "\\" + name);
  WriteFileSafely(folder_ + "\\" + name, bytes);
}

bool IsSameDirectory(const std::string& a, const std::string& b) {
  struct stat first{}, second{};
  if (stat(fsposix::MapPath(a).c_str(), &first) != 0 || stat(fsposix::MapPath(b).c_str(), &second) != 0) return false;
  return S_ISDIR(first.st_mode) && S_ISDIR(second.st_mode) && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

bool RemoveFile(const std::string& path) {
  struct stat st{};
  bool exists = false;
  const std::string host = fsposix::MapPath(path, &st, &exists);
  if (ChangesStopped() || !exists || S_ISDIR(st.st_mode) || fsposix::IsLocked(host)) return false;
  if (unlink(host.c_str()) != 0) return false;
  Changed();
  fsposix::NoteRemoved(host);
  return true;
}

bool MakeDirectory(const std::string& path) {
  bool exists = false;
  const std::string host = fsposix::MapPath(path, nullptr, &exists);
  if (exists || ChangesStopped()) return false;
  if (mkdir(host.c_str(), 0755) != 0) return false;
  Changed();
  fsposix::NoteCreated(host);
  return true;
}

void ForEachEntry(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) {
  std::string folder, mask;
  bool isDriveRoot = false;
  fsposix::SplitPattern(pattern, &folder, &mask, &isDriveRoot);
  if (mask.empty()) return;  // "D:\Music\" finds nothing, as on Windows
  struct stat folderStat{};
  if (stat(folder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode)) return;
  if (!isDriveRoot) {
    // Like a Windows folder other than a drive root, the folder lists "." and "..".
    for (const char* dots : {".", ".."}) {
      if (!fsposix::MatchesMask(dots, mask)) continue;
      struct stat st{};
      if (stat((folder + "/" + dots).c_str(), &st) != 0) continue;
      if (!visit(EntryOf(dots, st))) return;
    }
  }
  for (const std::string& name : fsposix::ListFolder(folder)) {
    if (!fsposix::MatchesMask(name, mask)) continue;
    struct stat st{};
    if (stat((folder + "/" + name).c_str(), &st) != 0 && lstat((folder + "/" + name).c_str(), &st) != 0) {
      continue;
    }
    if (!visit(EntryOf(name, st))) return;
  }
}

bool FindFirstEntry(const std::string& path, FoundEntry* entry) {
  if (HasWildcard(path)) {
    bool found = false;
    ForEachEntry(path, [&](const FoundEntry& e) {
      *entry = e;
      found = true;
      return false;
    });
    return found;
  }
  if (path.empty() || fsposix::EndsInSeparator(path)) return false;
  // Asked once per track at every update: the path as written is tried in a
  // reused buffer first, and the name cache only when that is not found.
  thread_local std::string host;
  fsposix::ExactHostPathInto(path, &host);
  struct stat st{};
  int found = -1;
  const std::size_t slash = host.rfind('/');
  if (tScopeDepth > 0 && slash != std::string::npos && slash > 0) {
    const int folder = tOpenFolders.HandleOf(host, slash);
    if (folder >= 0) found = fstatat(folder, host.c_str() + slash + 1, &st, AT_SYMLINK_NOFOLLOW);
  }
  if (found != 0 && lstat(host.c_str(), &st) != 0) {
    bool exists = false;
    host = fsposix::MapPath(path, &st, &exists);
    if (!exists) return false;
  }
  if (S_ISLNK(st.st_mode)) stat(host.c_str(), &st);
  FillEntry(host, st, entry);
  return true;
}

std::string FoldFileName(const std::string& name) { return fsposix::FoldName(name); }

ReadOnlyFile::~ReadOnlyFile() { Close(); }

void ReadOnlyFile::Open(const std::string& path) {
  Close();
  struct stat st{};
  bool exists = false;
  const std::string host = fsposix::MapPath(path, &st, &exists);
  if (exists && fsposix::IsLocked(host)) throw Error(kErrCannotOpen, path);
  const int fd = open(host.c_str(), kReadFlags);
  if (fd < 0) throw Error(kErrCannotOpen, path);
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    throw Error(kErrCannotOpen, path);
  }
  handle_ = fd;
}

bool ReadOnlyFile::OpenIfFile(const std::string& path) {
  Close();
  // The path as written first: one open and one fstat for the usual track.
  std::string host = fsposix::ExactHostPath(path);
  int fd = open(host.c_str(), kReadFlags);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) {
      if (FileExists(path)) throw Error(kErrCannotOpen, path);
      return false;
    }
    struct stat st{};
    bool exists = false;
    host = fsposix::MapPath(path, &st, &exists);
    if (!exists || S_ISDIR(st.st_mode)) return false;
    fd = open(host.c_str(), kReadFlags);
    if (fd < 0) throw Error(kErrCannotOpen, path);
  }
  struct stat st{};
  if (fstat(fd, &st) != 0) {
    close(fd);
    return false;
  }
  handle_ = KeepIfFile(fd, st, host, path);
  return IsOpen();
}

bool ReadOnlyFile::OpenIfFile(const std::string& path, FoundEntry* entry, bool* found) {
  Close();
  *found = false;
  const bool plain = !path.empty() && !fsposix::EndsInSeparator(path) && !HasWildcard(path);
  // Every track of a build comes here: a track that opens under its path as
  // written is its own directory entry (the name as stored, the time of the
  // file the path leads to), so the open file answers for the search.
  thread_local std::string host;
  int fd = -1;
  struct stat st{};
  if (plain) {
    fsposix::ExactHostPathInto(path, &host);
    fd = open(host.c_str(), kReadFlags);
    if (fd >= 0 && fstat(fd, &st) != 0) {
      close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    *found = FindFirstEntry(path, entry);
    return OpenIfFile(path);
  }
  *found = true;
  FillEntry(host, st, entry);
  handle_ = KeepIfFile(fd, st, host, path);
  return IsOpen();
}

std::size_t ReadOnlyFile::Read(void* buffer, std::size_t count) {
  if (handle_ == kNoHandle) return 0;
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = read(static_cast<int>(handle_), static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool ReadOnlyFile::Seek(std::int64_t offset, Origin origin) {
  if (handle_ == kNoHandle) return false;
  // lseek refuses a position before the start and then leaves it unchanged.
  const int whence = origin == Origin::kBegin ? SEEK_SET : origin == Origin::kCurrent ? SEEK_CUR : SEEK_END;
  return lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence) >= 0;
}

std::int64_t ReadOnlyFile::Position() const {
  if (handle_ == kNoHandle) return -1;
  return lseek(static_cast<int>(handle_), 0, SEEK_CUR);
}

std::int64_t ReadOnlyFile::Size() const {
  struct stat st{};
  if (handle_ == kNoHandle || fstat(static_cast<int>(handle_), &st) != 0) return -1;
  return st.st_size;
}

void ReadOnlyFile::Close() {
  if (handle_ != kNoHandle) close(static_cast<int>(handle_));
  handle_ = kNoHandle;
}

}  // namespace platform

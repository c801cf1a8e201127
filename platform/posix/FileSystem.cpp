// The file system of platform/FileSystem.h for native tests: Windows paths
// (UTF-8) mapped onto host folders (platform/posix/SimFileSystem.h), each
// name found without regard to letter case, when the name as written is not
// there, in what a listing of its folder taught. A test may change the
// folders behind the program's back at any moment: a listing is kept only
// while its folder's modification time is the one it was made at, and
// changes made here keep it up to date.
#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <set>
#include <unordered_map>

#include "platform/Error.h"
#include "platform/Locale.h"
#include "platform/posix/CaseFold.h"
#include "platform/posix/SimFileSystem.h"

namespace {

// What one listing of a host folder taught: each folded name's entry, the
// first in search order of those that fold alike.
struct Listing {
  timespec modified{};
  ino_t inode = 0;
  std::unordered_map<std::string, std::string> byFold;
};

struct State {
  std::unordered_map<std::string, Listing> listings;  // by host folder
  std::string root;
  std::string currentFolder = "C:\\";
  std::set<std::string> locked;  // host paths
  long changesAllowed = -1;
  long changesMade = 0;
};

State& S() {
  static State state;
  if (state.root.empty()) {
    const char* env = std::getenv("KELVANE_FS_ROOT");
    char buffer[4096];
    state.root = env && *env ? env : getcwd(buffer, sizeof buffer) ? buffer : ".";
    while (state.root.size() > 1 && state.root.back() == '/') state.root.pop_back();
  }
  return state;
}

// Whether the next change may reach the disk; Changed() records one that did.
bool ChangesStopped() { return S().changesAllowed >= 0 && S().changesMade >= S().changesAllowed; }
void Changed() { ++S().changesMade; }
bool IsLocked(const std::string& host) { return S().locked.count(host) != 0; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsDrivePrefix(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}
char UpperDrive(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The names of a Windows path from `from` on, "." dropped and ".." taking
// off the last name, never one of the first `floor` names (the drive).
void AppendNames(std::vector<std::string>* names, const std::string& text, std::size_t from, std::size_t floor) {
  std::size_t i = from;
  while (i < text.size()) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsSeparator(text[i])) ++i;
    const std::string name = text.substr(start, i - start);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (names->size() > floor) names->pop_back();
      continue;
    }
    names->push_back(name);
  }
}

// The host folders a Windows path leads through, as written: the drive
// folder ("D", or "UNC" for \\server\share) first.
std::vector<std::string> NamesOf(const std::string& path) {
  const std::string& current = S().currentFolder;
  std::vector<std::string> names;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    names.push_back("UNC");
    AppendNames(&names, path, 2, 1);
  } else if (IsDrivePrefix(path)) {
    names.push_back(std::string(1, UpperDrive(path[0])));
    // Drive-relative: the current folder when it is on that drive.
    if ((path.size() == 2 || !IsSeparator(path[2])) && IsDrivePrefix(current) && UpperDrive(current[0]) == names[0][0]) {
      AppendNames(&names, current, 2, 1);
    }
    AppendNames(&names, path, 2, 1);
  } else {
    names.push_back(std::string(1, IsDrivePrefix(current) ? UpperDrive(current[0]) : 'C'));
    if (path.empty() || !IsSeparator(path[0])) AppendNames(&names, current, IsDrivePrefix(current) ? 2 : 0, 1);
    AppendNames(&names, path, 0, 1);
  }
  return names;
}

// Entry names of a host folder in search order (folded name, then bytes).
std::vector<std::string> ListFolder(const std::string& host) {
  std::vector<std::pair<std::string, std::string>> keyed;
  if (DIR* dir = opendir(host.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") keyed.emplace_back(platform::FoldFileName(name), name);
    }
    closedir(dir);
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> names;
  for (auto& k : keyed) names.push_back(std::move(k.second));
  return names;
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// The listing of a host folder, made again only when the folder changed
// since (nullptr when it is no folder).
Listing* ListingOf(const std::string& folder) {
  struct stat st{};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    S().listings.erase(folder);
    return nullptr;
  }
  Listing& listing = S().listings[folder];
  if (listing.inode == st.st_ino && SameTime(listing.modified, st.st_mtim)) return &listing;
  listing.modified = st.st_mtim;
  listing.inode = st.st_ino;
  listing.byFold.clear();
  // In search order, so that the first of two names that fold alike stays.
  for (std::string& name : ListFolder(folder)) listing.byFold.emplace(platform::FoldFileName(name), std::move(name));
  return &listing;
}

// Called around each change made here to a folder: before it, a listing the
// folder has outgrown behind our back is dropped; after it, a listing still
// held learns the change and the folder's new time.
void BeforeChange(const std::string& host) {
  const std::string folder = host.substr(0, host.rfind('/'));
  const auto it = S().listings.find(folder);
  struct stat st{};
  if (it != S().listings.end() && (stat(folder.c_str(), &st) != 0 || !SameTime(it->second.modified, st.st_mtim))) {
    S().listings.erase(it);
  }
}

void AfterChange(const std::string& host, bool added) {
  const std::string folder = host.substr(0, host.rfind('/'));
  const auto it = S().listings.find(folder);
  if (it == S().listings.end()) return;
  struct stat st{};
  // A removed name may have hidden another that folds alike: listed again.
  if (!added || stat(folder.c_str(), &st) != 0) {
    S().listings.erase(it);
    return;
  }
  const std::string name = host.substr(folder.size() + 1);
  auto [at, isNew] = it->second.byFold.emplace(platform::FoldFileName(name), name);
  if (!isNew && name < at->second) at->second = name;
  it->second.modified = st.st_mtim;
}

// The host path of a Windows path: each existing name in its stored letter
// case (the first in search order of those that fold alike), the rest as
// written. `st` receives the entry's lstat when it exists.
std::string MapPath(const std::string& windowsPath, struct stat* st = nullptr, bool* exists = nullptr) {
  std::string host = S().root;
  bool found = true;
  struct stat entry{};
  for (const std::string& name : NamesOf(windowsPath)) {
    const std::string written = host + "/" + name;
    if (found && lstat(written.c_str(), &entry) != 0) {
      found = false;
      const std::string folded = platform::FoldFileName(name);
      // A name gone behind our back within the folder's last time stamp
      // makes the listing wrong: it is made once more.
      for (int attempt = 0; attempt < 2 && !found; ++attempt) {
        Listing* listing = ListingOf(host);
        if (!listing) break;
        const auto stored = listing->byFold.find(folded);
        if (stored == listing->byFold.end()) break;
        found = lstat((host + "/" + stored->second).c_str(), &entry) == 0;
        if (found) host += "/" + stored->second;
        if (!found) S().listings.erase(host);
      }
      if (found) continue;
    }
    host = written;
  }
  if (exists) *exists = found;
  if (found && st) *st = entry;
  return host;
}

bool EndsInSeparator(const std::string& path) { return !path.empty() && IsSeparator(path.back()); }

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

// Windows wildcard match ("*", "?" per character) on folded names.
bool MatchesMask(const std::string& name, const std::string& mask) {
  const auto chars = [](const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      char32_t code = 0;
      const std::size_t length = platform::DecodeUtf8(reinterpret_cast<const unsigned char*>(text.data()) + i, text.size() - i, &code);
      const std::size_t n = length ? length : 1;
      out.push_back(text.substr(i, n));
      i += n - 1;
    }
    return out;
  };
  const auto n = chars(platform::FoldFileName(name));
  const auto m = chars(platform::FoldFileName(mask == "*.*" ? "*" : mask));  // as on Windows: names without a dot too
  std::size_t i = 0, j = 0, starJ = std::string::npos, starI = 0;
  while (i < n.size()) {
    if (j < m.size() && (m[j] == "?" || m[j] == n[i])) {
      ++i;
      ++j;
    } else if (j < m.size() && m[j] == "*") {
      starJ = j++;
      starI = i;
    } else if (starJ != std::string::npos) {
      j = starJ + 1;
      i = ++starI;
    } else {
      return false;
    }
  }
  while (j < m.size() && m[j] == "*") ++j;
  return j == m.size();
}

platform::FoundEntry EntryOf(const std::string& name, const struct stat& st) {
  platform::FoundEntry entry;
  entry.name = name;
  entry.attributes = S_ISDIR(st.st_mode) ? platform::kAttrDirectory : platform::kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) entry.attributes |= platform::kAttrReadOnly;
  std::tm local{};
  entry.stamp = localtime_r(&st.st_mtim.tv_sec, &local)
                    ? platform::PackDosStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                             local.tm_min, local.tm_sec)
                    : platform::PackDosStamp(1980, 1, 1, 0, 0, 0);
  return entry;
}

std::string LastPart(const std::string& host) { return host.substr(host.rfind('/') + 1); }

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Opened for reading without waiting for a writer (a named pipe could block
// for ever); only a regular file that no test holds locked is kept. -1 for
// a folder; raises for anything else that cannot be read.
int OpenFileForReading(const std::string& host, const std::string& path) {
  const int fd = IsLocked(host) ? -1 : open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st{};
  if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
  if (fd >= 0) close(fd);
  if (fd >= 0 && S_ISDIR(st.st_mode)) return -1;
  throw platform::Error(platform::kErrCannotOpen, path);
}

}  // namespace

namespace sim {

void SetFileSystemRoot(const std::string& hostFolder) {
  S().listings.clear();
  S().root = hostFolder;
  while (S().root.size() > 1 && S().root.back() == '/') S().root.pop_back();
}
std::string FileSystemRoot() { return S().root; }
void SetCurrentFolder(const std::string& windowsPath) { S().currentFolder = windowsPath; }
std::string HostPath(const std::string& windowsPath) { return MapPath(windowsPath); }

bool SetLastWriteTime(const std::string& windowsPath, std::time_t time) {
  const timespec times[2] = {{time, 0}, {time, 0}};
  return utimensat(AT_FDCWD, MapPath(windowsPath).c_str(), times, 0) == 0;
}

void LockFile(const std::string& windowsPath) { S().locked.insert(MapPath(windowsPath)); }
void UnlockFile(const std::string& windowsPath) { S().locked.erase(MapPath(windowsPath)); }
void UnlockAllFiles() { S().locked.clear(); }

void StopChangesAfter(long changes) {
  S().changesAllowed = changes;
  S().changesMade = 0;
}
long ChangesMade() { return S().changesMade; }

}  // namespace sim

namespace platform {

bool FileExists(const std::string& path) {
  struct stat st{};
  bool exists = false;
  MapPath(path, &st, &exists);
  return exists && !S_ISDIR(st.st_mode);
}

bool FileSizeAndTime(const std::string& path, std::uint64_t* size, std::uint64_t* written) {
  struct stat st{};
  bool exists = false;
  MapPath(path, &st, &exists);
  if (!exists || S_ISDIR(st.st_mode)) return false;
  *size = static_cast<std::uint64_t>(st.st_size);
  *written = static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 10000000u + static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100u;
  return true;
}

bool DirectoryExists(const std::string& path) {
  struct stat st{};
  return stat(MapPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::uint64_t maxBytes) {
  struct stat st{};
  bool exists = false;
  const std::string host = MapPath(path, &st, &exists);
  if (!exists || S_ISDIR(st.st_mode)) return false;
  const int fd = OpenFileForReading(host, path);
  if (fstat(fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    close(fd);
    throw Error(kErrTooLarge, path);
  }
  std::string out;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      throw Error(kErrCannotOpen, path);
    }
    if (n == 0) break;
    // Checked as it is read, so that a file growing meanwhile is held to the bound too.
    if (static_cast<std::uint64_t>(n) > maxBytes - out.size()) {
      close(fd);
      throw Error(kErrTooLarge, path);
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
  const std::string host = MapPath(path, &st, &exists);
  const Error failure(kErrCannotWrite, path);
  if (ChangesStopped() || (exists && (S_ISDIR(st.st_mode) || IsLocked(host)))) throw failure;
  const std::string temporary = host + ".kvnew";
  BeforeChange(host);
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw failure;
  const bool written = WriteAll(fd, bytes);
  if (close(fd) != 0 || !written || rename(temporary.c_str(), host.c_str()) != 0) {
    unlink(temporary.c_str());
    AfterChange(temporary, false);
    throw failure;
  }
  AfterChange(host, true);
  Changed();
}

void WriteRebuildableFile(const std::string& path, const std::string& bytes) {
  bool exists = false;
  const std::string host = MapPath(path, nullptr, &exists);
  // An old file under any spelling is replaced safely, as on Windows, where
  // the exclusive create fails on it.
  if (!exists) BeforeChange(host);
  const int fd = exists || ChangesStopped() ? -1 : open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    WriteFileSafely(path, bytes);
    return;
  }
  const bool written = WriteAll(fd, bytes);
  if (close(fd) != 0 || !written) {
    unlink(host.c_str());
    AfterChange(host, false);
    throw Error(kErrCannotWrite, path);
  }
  AfterChange(host, true);
  Changed();
}

bool IsSameDirectory(const std::string& a, const std::string& b) {
  struct stat first{}, second{};
  if (stat(MapPath(a).c_str(), &first) != 0 || stat(MapPath(b).c_str(), &second) != 0) return false;
  return S_ISDIR(first.st_mode) && S_ISDIR(second.st_mode) && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

bool RemoveFile(const std::string& path) {
  struct stat st{};
  bool exists = false;
  const std::string host = MapPath(path, &st, &exists);
  if (ChangesStopped() || !exists || S_ISDIR(st.st_mode) || IsLocked(host)) return false;
  const bool removed = unlink(host.c_str()) == 0;
  AfterChange(host, false);
  if (!removed) return false;
  Changed();
  return true;
}

bool MakeDirectory(const std::string& path) {
  bool exists = false;
  const std::string host = MapPath(path, nullptr, &exists);
  if (exists || ChangesStopped()) return false;
  BeforeChange(host);
  if (mkdir(host.c_str(), 0755) != 0) return false;
  AfterChange(host, true);
  Changed();
  return true;
}

void ForEachEntry(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) {
  const std::size_t parts = NamesOf(pattern).size();
  if (parts <= 1 || EndsInSeparator(pattern)) return;  // "D:\Music\" finds nothing, as on Windows
  const std::string path = MapPath(pattern);
  const std::string folder = path.substr(0, path.rfind('/'));
  const std::string mask = LastPart(path);
  struct stat st{};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  std::vector<std::string> names = ListFolder(folder);
  // Like a Windows folder other than a drive root, the folder lists "." and "..".
  if (parts > 2) names.insert(names.begin(), {".", ".."});
  for (const std::string& name : names) {
    if (!MatchesMask(name, mask)) continue;
    const std::string host = folder + "/" + name;
    if (stat(host.c_str(), &st) != 0 && lstat(host.c_str(), &st) != 0) continue;
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
  if (path.empty() || EndsInSeparator(path)) return false;
  struct stat st{};
  bool exists = false;
  const std::string host = MapPath(path, &st, &exists);
  if (!exists) return false;
  if (S_ISLNK(st.st_mode)) stat(host.c_str(), &st);
  *entry = EntryOf(LastPart(host), st);
  return true;
}

std::string FoldFileName(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  sim::AppendFolded(name.data(), name.size(), sim::UpperLetter, &out);
  return out;
}

ReadOnlyFile::~ReadOnlyFile() { Close(); }

void ReadOnlyFile::Open(const std::string& path) {
  if (!OpenIfFile(path)) throw Error(kErrCannotOpen, path);
}

bool ReadOnlyFile::OpenIfFile(const std::string& path) {
  Close();
  struct stat st{};
  bool exists = false;
  const std::string host = MapPath(path, &st, &exists);
  if (!exists || S_ISDIR(st.st_mode)) return false;
  const int fd = OpenFileForReading(host, path);
  handle_ = fd;
  return fd >= 0;
}

bool ReadOnlyFile::OpenIfFile(const std::string& path, FoundEntry* entry, bool* found) {
  *found = FindFirstEntry(path, entry);
  return OpenIfFile(path);
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
  return handle_ == kNoHandle ? -1 : lseek(static_cast<int>(handle_), 0, SEEK_CUR);
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

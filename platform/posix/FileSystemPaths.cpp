// Windows paths mapped onto host folders, names found without regard to case.
#include "platform/posix/FileSystemPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/inotify.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <mutex>
#include <set>
#include <unordered_map>

#include "platform/Locale.h"
#include "platform/posix/SimFileSystem.h"

namespace fsposix {
namespace {

struct State {
  std::string root;
  std::string currentFolder = "C:\\";
  std::set<std::string> locked;  // host paths
};

State& GetState() {
  static State state;
  if (state.root.empty()) {
    if (const char* env = std::getenv("KELVANE_FS_ROOT"); env && *env) {
      state.root = env;
    } else {
      char buffer[4096];
      state.root = getcwd(buffer, sizeof buffer) ? buffer : ".";
    }
    while (state.root.size() > 1 && state.root.back() == '/') state.root.pop_back();
  }
  return state;
}

// Folded name -> stored name, per host folder. A folder watched through
// inotify stays valid until an event arrives that this process did not
// cause (its own changes are applied to the cache when made, and their
// events expected). Without a watch, the folder's modification time is
// compared instead; a listing taken while the folder was changing within
// the clock's granularity is then not trusted, unless this process made the
// change itself.
struct FolderNames {
  int wd = -1;
  timespec mtime{};
  bool trusted = false;
  std::unordered_map<std::string, std::string> byFold;
};
std::unordered_map<std::string, FolderNames>& Cache() {
  static std::unordered_map<std::string, FolderNames> cache;
  return cache;
}

// An event this process will cause in a watched folder.
struct Expected {
  std::uint32_t kind;  // IN_CREATE, IN_DELETE, IN_MOVED_FROM or IN_MOVED_TO
  std::string name;
};

struct Watch {
  std::vector<std::string> cached;  // cache keys of this folder (several through links)
  std::deque<Expected> expected;
};

constexpr std::uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kFolderEvents = kEntryEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD;
// Ancestors of a cached folder only matter when a folder in them goes away.
constexpr std::uint32_t kAncestorEvents =
    IN_DELETE | IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD;

struct Watcher {
  int fd = -2;  // -2: not opened yet; -1: inotify unavailable
  std::unordered_map<int, Watch> watches;
};
Watcher& WatcherState() {
  static Watcher watcher;
  return watcher;
}
Watcher& GetWatcher() {
  Watcher& watcher = WatcherState();
  if (watcher.fd == -2) {
    watcher.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watcher.fd < 0) watcher.fd = -1;
  }
  return watcher;
}

// Forgets every listing and every watch: after a lost event, or when a
// folder that cached paths pass through moved or went away.
void ForgetAll() {
  Watcher& watcher = WatcherState();
  Cache().clear();
  if (watcher.fd >= 0) {
    close(watcher.fd);
    watcher.fd = -2;
  }
  watcher.watches.clear();
}

void ForgetFolder(Watch& watch) {
  for (const std::string& key : watch.cached) Cache().erase(key);
  watch.cached.clear();
}

// Reads the events that arrived since the last look. Ours (first in line of
// the folder's expected ones) are passed over; any other change of a cached
// folder drops its listing.
void TakeEvents() {
  Watcher& watcher = GetWatcher();
  if (watcher.fd < 0 || watcher.watches.empty()) return;
  alignas(inotify_event) char buffer[65536];
  for (;;) {
    const ssize_t n = read(watcher.fd, buffer, sizeof buffer);
    if (n <= 0) return;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        ForgetAll();
        return;
      }
      const auto it = watcher.watches.find(event->wd);
      if (it == watcher.watches.end()) continue;
      Watch& watch = it->second;
      if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
        ForgetAll();
        return;
      }
      const std::uint32_t kind = event->mask & kEntryEvents;
      const char* name = event->len ? event->name : "";
      if (!watch.expected.empty() && watch.expected.front().kind == kind && watch.expected.front().name == name) {
        watch.expected.pop_front();
        continue;
      }
      if ((event->mask & IN_ISDIR) && (kind & (IN_DELETE | IN_MOVED_FROM))) {
        ForgetAll();
        return;
      }
      ForgetFolder(watch);
    }
    if (static_cast<std::size_t>(n) < sizeof buffer - sizeof(inotify_event) - NAME_MAX - 1) return;
  }
}

// Watches a folder about to be listed, and the folders above it up to the
// root. Answers the folder's watch, or -1 (then its time stamp is compared).
int WatchFolder(const std::string& hostFolder, const std::string& root) {
  Watcher& watcher = GetWatcher();
  if (watcher.fd < 0) return -1;
  const int wd = inotify_add_watch(watcher.fd, hostFolder.c_str(), kFolderEvents);
  if (wd < 0) return -1;
  std::string above = hostFolder;
  watcher.watches.try_emplace(wd);
  while (above.size() > root.size()) {
    const std::size_t slash = above.rfind('/');
    if (slash == 0 || slash == std::string::npos) break;
    above.resize(slash);
    const int ancestor = inotify_add_watch(watcher.fd, above.c_str(), kAncestorEvents);
    // Without it a change above the folder would go unseen: times compared.
    if (ancestor < 0) return -1;
    watcher.watches.try_emplace(ancestor);
  }
  watcher.watches[wd].cached.push_back(hostFolder);
  return wd;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool IsStable(const timespec& mtime) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const double age = double(now.tv_sec - mtime.tv_sec) + double(now.tv_nsec - mtime.tv_nsec) / 1e9;
  return age > 0.05;
}

// The listing of a watched folder when it is still valid, else null.
const FolderNames* WatchedNames(const std::string& hostFolder) {
  const auto& cache = Cache();
  auto it = cache.find(hostFolder);
  // Events only ever take listings away: a folder not cached needs no look.
  if (it == cache.end() || it->second.wd < 0) return nullptr;
  TakeEvents();
  it = cache.find(hostFolder);
  return it != cache.end() ? &it->second : nullptr;
}

const FolderNames* NamesOf(const std::string& hostFolder, const struct stat& folderStat) {
  if (const FolderNames* watched = WatchedNames(hostFolder)) return watched;
  auto& cache = Cache();
  auto it = cache.find(hostFolder);
  if (it != cache.end() && it->second.trusted && SameTime(it->second.mtime, folderStat.st_mtim)) {
    return &it->second;
  }
  if (it != cache.end()) cache.erase(it);
  // Events older than the listing would otherwise be taken against it.
  TakeEvents();
  FolderNames names;
  // Watched before listed: a change during the listing shows as an event.
  names.wd = WatchFolder(hostFolder, GetState().root);
  names.mtime = folderStat.st_mtim;
  names.trusted = IsStable(folderStat.st_mtim);
  for (const std::string& name : ListFolder(hostFolder)) {
    names.byFold.emplace(FoldName(name), name);  // the first in search order wins
  }
  auto& slot = cache[hostFolder];
  slot = std::move(names);
  return &slot;
}

void SplitComponents(const std::string& path, std::vector<std::string>* parts) {
  std::string part;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts->push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts->push_back(part);
}

bool IsDriveSpec(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string ParentOf(const std::string& hostPath) {
  const auto slash = hostPath.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : hostPath.substr(0, slash);
}

std::string LastPart(const std::string& hostPath) {
  const auto slash = hostPath.rfind('/');
  return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// Resolves parts[index..] under the existing host folder `base` (whose stat
// is `baseStat`).
std::string ResolveFrom(std::string base, struct stat baseStat, const std::vector<std::string>& parts,
                        std::size_t index, struct stat* st, bool* exists) {
  for (; index < parts.size(); ++index) {
    std::string candidate = base + "/" + parts[index];
    struct stat candidateStat{};
    bool found = lstat(candidate.c_str(), &candidateStat) == 0;
    if (!found) {
      const FolderNames* names = NamesOf(base, baseStat);
      auto it = names->byFold.find(FoldName(parts[index]));
      if (it != names->byFold.end()) {
        candidate = base + "/" + it->second;
        found = lstat(candidate.c_str(), &candidateStat) == 0;
      }
    }
    base = candidate;
    if (!found) {
      for (++index; index < parts.size(); ++index) base += "/" + parts[index];
      return base;
    }
    if (index + 1 == parts.size()) {
      if (st) *st = candidateStat;
      if (exists) *exists = true;
      return base;
    }
    if (!S_ISDIR(candidateStat.st_mode)) {
      for (++index; index < parts.size(); ++index) base += "/" + parts[index];
      return base;
    }
    baseStat = candidateStat;
  }
  return base;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char UpperDrive(char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); }

// Appends the names of text[from..] to a host path, "." dropped and ".."
// taking off the last name, never one at or before `floor` (the drive).
void AppendNames(std::string* out, const std::string& text, std::size_t from, std::size_t floor) {
  const char* p = text.data() + from;
  const char* const end = text.data() + text.size();
  while (p < end) {
    while (p < end && IsSeparator(*p)) ++p;
    const char* const name = p;
    while (p < end && !IsSeparator(*p)) ++p;
    const std::size_t length = static_cast<std::size_t>(p - name);
    if (length == 0 || (length == 1 && name[0] == '.')) continue;
    if (length == 2 && name[0] == '.' && name[1] == '.') {
      if (out->size() > floor) out->resize(out->rfind('/'));
      continue;
    }
    *out += '/';
    out->append(name, length);
  }
}

}  // namespace

std::string FoldName(const std::string& name) {
  std::string out(name);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(out[i]);
    if (platform::IsLeadByte(b)) {
      ++i;
    } else if (b >= 'a' && b <= 'z') {
      out[i] = static_cast<char>(b - 32);
    }
  }
  return out;
}

namespace {

// Characters of a folded name: one or two bytes each.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (platform::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      chars.push_back(text.substr(i, 2));
      ++i;
    } else {
      chars.push_back(text.substr(i, 1));
    }
  }
  return chars;
}

bool MatchChars(const std::vector<std::string>& name, std::size_t n, const std::vector<std::string>& mask,
                std::size_t m) {
  // Iterative glob with one backtrack point for the last "*".
  std::size_t starM = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == "?" || mask[m] == name[n])) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == "*") {
      starM = m++;
      starN = n;
    } else if (starM != std::string::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == "*") ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(const std::string& name, const std::string& mask) {
  std::string effective = mask;
  if (effective == "*.*") effective = "*";  // as on Windows: names without a dot too
  return MatchChars(Characters(FoldName(name)), 0, Characters(FoldName(effective)), 0);
}

// Runs once per track of an update: one pass, no list of names.
std::string ExactHostPath(const std::string& windowsPath) {
  const State& state = GetState();
  const std::string& path = windowsPath;
  const std::string& current = state.currentFolder;
  std::string out;
  out.reserve(state.root.size() + path.size() + 8);
  out = state.root;
  out += '/';
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    out += "UNC";
    AppendNames(&out, path, 2, out.size());
  } else if (IsDriveSpec(path)) {
    const char drive = UpperDrive(path[0]);
    out += drive;
    const std::size_t floor = out.size();
    // Drive-relative: the current folder when it is on that drive.
    if ((path.size() == 2 || !IsSeparator(path[2])) && IsDriveSpec(current) && UpperDrive(current[0]) == drive) {
      AppendNames(&out, current, 2, floor);
    }
    AppendNames(&out, path, 2, floor);
  } else {
    out += IsDriveSpec(current) ? UpperDrive(current[0]) : 'C';
    const std::size_t floor = out.size();
    if (path.empty() || !IsSeparator(path[0])) AppendNames(&out, current, IsDriveSpec(current) ? 2 : 0, floor);
    AppendNames(&out, path, 0, floor);
  }
  return out;
}

namespace {

// MapPath of a path already made host-absolute (ExactHostPath).
std::string MapExact(std::string exact, struct stat* st, bool* exists, bool likelyNew) {
  if (exists) *exists = false;
  struct stat exactStat{};
  const std::string& root = GetState().root;
  const std::size_t slash = exact.rfind('/');
  if (likelyNew && slash != std::string::npos && slash > root.size() + 1) {
    // A watched listing answers a missing name without a call (every new
    // file of a build).
    if (const FolderNames* names = WatchedNames(exact.substr(0, slash))) {
      if (!names->byFold.count(FoldName(exact.substr(slash + 1)))) return exact;
    }
  }
  if (lstat(exact.c_str(), &exactStat) == 0) {
    if (st) *st = exactStat;
    if (exists) *exists = true;
    return exact;
  }
  // The parent as written exists: only the last name needs the cache.
  if (slash != std::string::npos && slash > root.size() + 1) {
    const std::string parent = exact.substr(0, slash);
    struct stat parentStat{};
    if (stat(parent.c_str(), &parentStat) == 0 && S_ISDIR(parentStat.st_mode)) {
      const FolderNames* names = NamesOf(parent, parentStat);
      const auto it = names->byFold.find(FoldName(exact.substr(slash + 1)));
      if (it == names->byFold.end()) return exact;
      std::string stored = parent + "/" + it->second;
      if (lstat(stored.c_str(), &exactStat) != 0) return exact;
      if (st) *st = exactStat;
      if (exists) *exists = true;
      return stored;
    }
  }
  struct stat rootStat{};
  if (stat(root.c_str(), &rootStat) != 0 || !S_ISDIR(rootStat.st_mode)) return exact;
  std::vector<std::string> parts;
  SplitComponents(exact.substr(root.size()), &parts);
  return ResolveFrom(root, rootStat, parts, 0, st, exists);
}

}  // namespace

std::string MapPath(const std::string& windowsPath, struct stat* st, bool* exists, bool likelyNew) {
  return MapExact(ExactHostPath(windowsPath), st, exists, likelyNew);
}

void SplitPattern(const std::string& windowsPattern, std::string* hostFolder, std::string* mask,
                  bool* isDriveRoot) {
  const std::string exact = ExactHostPath(windowsPattern);
  std::vector<std::string> parts;  // the drive folder, then the names
  SplitComponents(exact.substr(GetState().root.size()), &parts);
  const bool endsInSeparator =
      !windowsPattern.empty() && (windowsPattern.back() == '\\' || windowsPattern.back() == '/');
  if (parts.size() <= 1 || endsInSeparator) {
    *mask = "";
    *hostFolder = MapExact(exact, nullptr, nullptr, false);
    *isDriveRoot = parts.size() <= 1;
    return;
  }
  *mask = parts.back();
  *isDriveRoot = parts.size() == 2;
  *hostFolder = MapExact(ParentOf(exact), nullptr, nullptr, false);
}

std::vector<std::string> ListFolder(const std::string& hostFolder) {
  std::vector<std::string> names;
  DIR* dir = opendir(hostFolder.c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.push_back(name);
  }
  closedir(dir);
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (auto& n : names) keyed.emplace_back(FoldName(n), std::move(n));
  std::sort(keyed.begin(), keyed.end());
  names.clear();
  for (auto& k : keyed) names.push_back(std::move(k.second));
  return names;
}

namespace {

// Applies a change of this process to the cache of its folder. A watched
// folder expects the change's events; another has its time taken again.
void Note(const std::string& hostPath, std::initializer_list<std::uint32_t> events, bool added) {
  auto& cache = Cache();
  auto it = cache.find(ParentOf(hostPath));
  if (it == cache.end()) return;
  const std::string name = LastPart(hostPath);
  FolderNames& names = it->second;
  if (names.wd >= 0) {
    Watch& watch = GetWatcher().watches[names.wd];
    for (const std::uint32_t kind : events) watch.expected.push_back(Expected{kind, name});
  } else {
    struct stat folderStat{};
    if (stat(it->first.c_str(), &folderStat) != 0) {
      cache.erase(it);
      return;
    }
    names.mtime = folderStat.st_mtim;
    names.trusted = true;  // the change is ours and is in the cache
  }
  if (added) {
    names.byFold.emplace(FoldName(name), name);
  } else {
    auto entry = names.byFold.find(FoldName(name));
    if (entry != names.byFold.end() && entry->second == name) names.byFold.erase(entry);
  }
}

}  // namespace

void NoteCreated(const std::string& hostPath) { Note(hostPath, {IN_CREATE}, true); }

void NoteRemoved(const std::string& hostPath) { Note(hostPath, {IN_DELETE}, false); }

void NoteSwapped(const std::string& temporaryHostPath, const std::string& hostPath) {
  // The temporary's events, then the new name's: a folder is watched as a
  // whole, so all three come through the same watch in this order.
  auto& cache = Cache();
  auto it = cache.find(ParentOf(hostPath));
  if (it == cache.end()) return;
  if (it->second.wd >= 0) {
    Watch& watch = GetWatcher().watches[it->second.wd];
    const std::string temporary = LastPart(temporaryHostPath);
    watch.expected.push_back(Expected{IN_CREATE, temporary});
    watch.expected.push_back(Expected{IN_MOVED_FROM, temporary});
  }
  Note(hostPath, {IN_MOVED_TO}, true);
}

bool IsLocked(const std::string& hostPath) {
  const auto& locked = GetState().locked;
  return !locked.empty() && locked.count(hostPath) != 0;
}

}  // namespace fsposix

namespace sim {

void SetFileSystemRoot(const std::string& hostFolder) {
  auto& state = fsposix::GetState();
  state.root = hostFolder;
  while (state.root.size() > 1 && state.root.back() == '/') state.root.pop_back();
  fsposix::ForgetAll();
}

std::string FileSystemRoot() { return fsposix::GetState().root; }

void SetCurrentFolder(const std::string& windowsPath) { fsposix::GetState().currentFolder = windowsPath; }

std::string CurrentFolder() { return fsposix::GetState().currentFolder; }

std::string HostPath(const std::string& windowsPath) { return fsposix::MapPath(windowsPath); }

bool SetLastWriteTime(const std::string& windowsPath, std::time_t time) {
  const std::string host = fsposix::MapPath(windowsPath);
  timespec times[2];
  times[0].tv_sec = time;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  return utimensat(AT_FDCWD, host.c_str(), times, 0) == 0;
}

void LockFile(const std::string& windowsPath) {
  fsposix::GetState().locked.insert(fsposix::MapPath(windowsPath));
}

void UnlockFile(const std::string& windowsPath) {
  fsposix::GetState().locked.erase(fsposix::MapPath(windowsPath));
}

void UnlockAllFiles() { fsposix::GetState().locked.clear(); }

}  // namespace sim

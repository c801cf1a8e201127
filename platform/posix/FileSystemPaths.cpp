// Windows paths mapped onto host folders, names found without regard to case.
#include "platform/posix/FileSystemPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <set>
#include <string_view>
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

// Folded name -> stored name, per host folder. Valid while the folder's
// modification time is the one recorded; a listing taken while the folder
// was changing within the clock's granularity is not trusted, unless this
// process made the change itself (then the cache was updated with it).
// Names hashed and compared as their folds, without making the folds: a
// lookup by any spelling finds the stored one.
char FoldByte(unsigned char b) { return static_cast<char>(b >= 'a' && b <= 'z' ? b - 32 : b); }

std::size_t FoldHash(const char* name, std::size_t size) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = static_cast<unsigned char>(name[i]);
    hash = (hash ^ static_cast<unsigned char>(FoldByte(b))) * 1099511628211ull;
    if (platform::IsLeadByte(b) && i + 1 < size) {
      hash = (hash ^ static_cast<unsigned char>(name[++i])) * 1099511628211ull;
    }
  }
  return static_cast<std::size_t>(hash ^ (hash >> 29));
}

bool FoldEqual(const char* a, std::size_t aSize, const char* b, std::size_t bSize) {
  if (aSize != bSize) return false;
  for (std::size_t i = 0; i < aSize; ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    if (FoldByte(x) != FoldByte(static_cast<unsigned char>(b[i]))) return false;
    // Equal so far, so a lead byte here is one in both: its trail byte is
    // compared as it is.
    if (platform::IsLeadByte(x) && i + 1 < aSize) {
      ++i;
      if (a[i] != b[i]) return false;
    }
  }
  return true;
}

// The stored names of a folder, found by any spelling: hashed and compared
// as their folds without making them. Names are kept back to back in one
// buffer, as a folder of tens of thousands of derived files is filled one
// name at a time.
class NameSet {
 public:
  // The stored name that folds as `name` does, if any.
  bool Find(const char* name, std::size_t size, std::string_view* stored) const {
    if (slots_.empty()) return false;
    const std::uint32_t held = slots_[SlotOf(FoldHash(name, size), name, size)].entry;
    if (held == 0) return false;
    const Entry& e = entries_[held - 1];
    *stored = std::string_view(text_.data() + e.at, e.size);
    return true;
  }
  bool Find(const std::string& name, std::string_view* stored) const { return Find(name.data(), name.size(), stored); }
  // Adds a name: false (nothing added) when one folding the same is there.
  bool Insert(const std::string& name) {
    if ((live_ + erased_ + 1) * 2 > slots_.size()) Rebuild();
    const std::size_t hash = FoldHash(name.data(), name.size());
    const std::size_t slot = SlotOf(hash, name.data(), name.size());
    if (slots_[slot].entry != 0) return false;
    entries_.push_back(Entry{text_.size(), name.size(), static_cast<std::uint32_t>(hash), false});
    text_ += name;
    slots_[slot] = Slot{static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(entries_.size())};
    ++live_;
    return true;
  }
  // Removes the name if it is stored byte for byte so.
  void EraseExact(const std::string& name) {
    std::string_view stored;
    if (!Find(name, &stored) || stored != name) return;
    const std::size_t slot = SlotOf(FoldHash(name.data(), name.size()), name.data(), name.size());
    entries_[slots_[slot].entry - 1].erased = true;
    --live_;
    ++erased_;
  }

 private:
  struct Entry {
    std::size_t at, size;
    std::uint32_t hash;
    bool erased;
  };
  struct Slot {
    std::uint32_t hash;
    std::uint32_t entry;  // entry index + 1; 0 is free
  };
  // The slot of the live entry folding as the name does, or the free slot
  // where it belongs; erased entries keep their slots and are passed over.
  std::size_t SlotOf(std::size_t hash, const char* name, std::size_t size) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = static_cast<std::uint32_t>(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const Slot& held = slots_[slot];
      if (held.entry == 0) return slot;
      if (held.hash != tag) continue;
      const Entry& e = entries_[held.entry - 1];
      if (!e.erased && FoldEqual(text_.data() + e.at, e.size, name, size)) return slot;
    }
  }
  // Drops erased entries and makes room for as many again as are live.
  void Rebuild() {
    std::vector<Entry> entries;
    std::string text;
    entries.reserve(live_ + 1);
    text.reserve(text_.size());
    for (const Entry& e : entries_) {
      if (e.erased) continue;
      entries.push_back(Entry{text.size(), e.size, e.hash, false});
      text.append(text_, e.at, e.size);
    }
    entries_.swap(entries);
    text_.swap(text);
    erased_ = 0;
    std::size_t slots = 64;
    while (slots < 4 * (live_ + 1)) slots *= 2;
    slots_.assign(slots, Slot{0, 0});
    const std::size_t mask = slots - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      std::size_t slot = entries_[i].hash & mask;
      while (slots_[slot].entry != 0) slot = (slot + 1) & mask;
      slots_[slot] = Slot{entries_[i].hash, static_cast<std::uint32_t>(i + 1)};
    }
  }

  std::vector<Entry> entries_;
  std::string text_;
  std::vector<Slot> slots_;
  std::size_t live_ = 0, erased_ = 0;
};

struct FolderNames {
  timespec mtime{};
  bool trusted = false;
  int holds = 0;
  NameSet names;  // stored names; the first in search order of each fold
};
std::unordered_map<std::string, FolderNames>& Cache() {
  static std::unordered_map<std::string, FolderNames> cache;
  return cache;
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

const FolderNames* NamesOf(const std::string& hostFolder, const struct stat& folderStat) {
  auto& cache = Cache();
  auto it = cache.find(hostFolder);
  if (it != cache.end() &&
      (it->second.holds > 0 || (it->second.trusted && SameTime(it->second.mtime, folderStat.st_mtim)))) {
    return &it->second;
  }
  FolderNames names;
  names.mtime = folderStat.st_mtim;
  names.trusted = IsStable(folderStat.st_mtim);
  for (const std::string& name : ListFolder(hostFolder)) {
    names.names.Insert(name);  // the first in search order wins
  }
  auto& slot = cache[hostFolder];
  slot = std::move(names);
  return &slot;
}

// The names of a host path ("\\" is a byte of a name there: a Shift-JIS
// trail byte, or whatever the host name holds).
void SplitComponents(const std::string& path, std::vector<std::string>* parts) {
  std::string part;
  for (char c : path) {
    if (c == '/') {
      if (!part.empty()) parts->push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts->push_back(part);
}

bool IsDrivePrefix(const std::string& path) {
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
      std::string_view stored;
      if (names->names.Find(parts[index], &stored)) {
        candidate = base;
        candidate += '/';
        candidate += stored;
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
    // A double-byte character is one step: its trail byte may be 0x5C.
    while (p < end && !IsSeparator(*p)) p += platform::IsLeadByte(static_cast<unsigned char>(*p)) && p + 1 < end ? 2 : 1;
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

bool EndsInSeparator(const std::string& windowsPath) {
  bool last = false;
  for (std::size_t i = 0; i < windowsPath.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(windowsPath[i]);
    if (platform::IsLeadByte(b) && i + 1 < windowsPath.size()) {
      ++i;
      last = false;
    } else {
      last = b == '\\' || b == '/';
    }
  }
  return last;
}

// Runs once per track of an update: one pass, no list of names.
std::string ExactHostPath(const std::string& windowsPath) {
  std::string out;
  ExactHostPathInto(windowsPath, &out);
  return out;
}

void ExactHostPathInto(const std::string& windowsPath, std::string* host) {
  const State& state = GetState();
  const std::string& path = windowsPath;
  const std::string& current = state.currentFolder;
  std::string& out = *host;
  out.reserve(state.root.size() + path.size() + 8);
  out = state.root;
  out += '/';
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    out += "UNC";
    AppendNames(&out, path, 2, out.size());
  } else if (IsDrivePrefix(path)) {
    const char drive = UpperDrive(path[0]);
    out += drive;
    const std::size_t floor = out.size();
    // Drive-relative: the current folder when it is on that drive.
    if ((path.size() == 2 || !IsSeparator(path[2])) && IsDrivePrefix(current) && UpperDrive(current[0]) == drive) {
      AppendNames(&out, current, 2, floor);
    }
    AppendNames(&out, path, 2, floor);
  } else {
    out += IsDrivePrefix(current) ? UpperDrive(current[0]) : 'C';
    const std::size_t floor = out.size();
    if (path.empty() || !IsSeparator(path[0])) AppendNames(&out, current, IsDrivePrefix(current) ? 2 : 0, floor);
    AppendNames(&out, path, 0, floor);
  }
}

namespace {

// MapPath of a path already made host-absolute (ExactHostPath).
std::string MapExact(std::string exact, struct stat* st, bool* exists) {
  if (exists) *exists = false;
  struct stat exactStat{};
  if (lstat(exact.c_str(), &exactStat) == 0) {
    if (st) *st = exactStat;
    if (exists) *exists = true;
    return exact;
  }
  const std::string& root = GetState().root;
  // The parent as written exists (every new file of a build): only the last
  // name needs the cache.
  const std::size_t slash = exact.rfind('/');
  if (slash != std::string::npos && slash > root.size() + 1) {
    const std::string parent = exact.substr(0, slash);
    struct stat parentStat{};
    if (stat(parent.c_str(), &parentStat) == 0 && S_ISDIR(parentStat.st_mode)) {
      const FolderNames* names = NamesOf(parent, parentStat);
      std::string_view name;
      if (!names->names.Find(exact.data() + slash + 1, exact.size() - slash - 1, &name)) return exact;
      std::string stored = parent;
      stored += '/';
      stored += name;
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

std::string MapPath(const std::string& windowsPath, struct stat* st, bool* exists) {
  return MapExact(ExactHostPath(windowsPath), st, exists);
}

void SplitPattern(const std::string& windowsPattern, std::string* hostFolder, std::string* mask,
                  bool* isDriveRoot) {
  const std::string exact = ExactHostPath(windowsPattern);
  std::vector<std::string> parts;  // the drive folder, then the names
  SplitComponents(exact.substr(GetState().root.size()), &parts);
  const bool endsInSeparator = EndsInSeparator(windowsPattern);
  if (parts.size() <= 1 || endsInSeparator) {
    *mask = "";
    *hostFolder = MapExact(exact, nullptr, nullptr);
    *isDriveRoot = parts.size() <= 1;
    return;
  }
  *mask = parts.back();
  *isDriveRoot = parts.size() == 2;
  *hostFolder = MapExact(ParentOf(exact), nullptr, nullptr);
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

// Applies this process's own change to the cached listing of the entry's
// folder, then records the folder's new time: the change is ours and is in
// the cache, so the listing stays trusted.
template <typename Edit>
void NoteOwnChange(const std::string& hostPath, Edit edit) {
  auto& cache = Cache();
  auto it = cache.find(ParentOf(hostPath));
  if (it == cache.end()) return;
  if (it->second.holds > 0) {  // the folder's time is taken when it is let go
    edit(it->second.names, LastPart(hostPath));
    return;
  }
  struct stat folderStat{};
  if (stat(it->first.c_str(), &folderStat) != 0) {
    cache.erase(it);
    return;
  }
  edit(it->second.names, LastPart(hostPath));
  it->second.mtime = folderStat.st_mtim;
  it->second.trusted = true;
}

}  // namespace

void NoteCreated(const std::string& hostPath) {
  NoteOwnChange(hostPath, [](NameSet& names, const std::string& name) { names.Insert(name); });
}

void NoteRemoved(const std::string& hostPath) {
  NoteOwnChange(hostPath, [](NameSet& names, const std::string& name) { names.EraseExact(name); });
}

bool HoldFolder(const std::string& hostFolder) {
  struct stat folderStat{};
  if (stat(hostFolder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode)) return false;
  NamesOf(hostFolder, folderStat);
  ++Cache()[hostFolder].holds;
  return true;
}

void ReleaseFolder(const std::string& hostFolder) {
  auto& cache = Cache();
  auto it = cache.find(hostFolder);
  if (it == cache.end() || it->second.holds == 0 || --it->second.holds > 0) return;
  struct stat folderStat{};
  if (stat(hostFolder.c_str(), &folderStat) != 0) {
    cache.erase(it);
    return;
  }
  it->second.mtime = folderStat.st_mtim;
  it->second.trusted = true;
}

bool AddHeldName(const std::string& hostFolder, const std::string& name) {
  auto& cache = Cache();
  const auto it = cache.find(hostFolder);
  return it != cache.end() && it->second.holds > 0 && it->second.names.Insert(name);
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
  fsposix::Cache().clear();
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

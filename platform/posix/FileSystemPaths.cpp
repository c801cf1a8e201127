// Windows paths mapped onto host folders, names found without regard to case.
#include "platform/posix/FileSystemPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
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

// Folded name -> stored name, per host folder. Valid while the folder's
// modification time is the one recorded; a listing taken while the folder
// was changing within the clock's granularity is not trusted, unless this
// process made the change itself (then the cache was updated with it).
struct FolderNames {
  timespec mtime{};
  bool trusted = false;
  std::unordered_map<std::string, std::string> byFold;
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
  if (it != cache.end() && it->second.trusted && SameTime(it->second.mtime, folderStat.st_mtim)) {
    return &it->second;
  }
  FolderNames names;
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

// The absolute components of a Windows path: first the drive folder name
// ("D" or "UNC"), then the names, with "." and ".." resolved.
std::vector<std::string> AbsoluteComponents(const std::string& path) {
  const std::string& current = GetState().currentFolder;
  std::vector<std::string> raw;
  std::string drive;
  const auto upperDrive = [](char c) {
    return std::string(1, static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
  };
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')) {
    drive = "UNC";
    SplitComponents(path.substr(2), &raw);
  } else if (IsDriveSpec(path)) {
    drive = upperDrive(path[0]);
    const std::string rest = path.substr(2);
    if (!rest.empty() && (rest[0] == '\\' || rest[0] == '/')) {
      SplitComponents(rest, &raw);
    } else {
      // Drive-relative: the current folder when it is on that drive.
      if (IsDriveSpec(current) && upperDrive(current[0]) == drive) SplitComponents(current.substr(2), &raw);
      SplitComponents(rest, &raw);
    }
  } else {
    drive = IsDriveSpec(current) ? upperDrive(current[0]) : "C";
    if (path.empty() || (path[0] != '\\' && path[0] != '/')) {
      SplitComponents(IsDriveSpec(current) ? current.substr(2) : current, &raw);
    }
    SplitComponents(path, &raw);
  }
  std::vector<std::string> parts{drive};
  for (const std::string& p : raw) {
    if (p == ".") continue;
    if (p == "..") {
      if (parts.size() > 1) parts.pop_back();
      continue;
    }
    parts.push_back(p);
  }
  return parts;
}

std::string Join(const std::vector<std::string>& parts, std::size_t count) {
  std::string out = GetState().root;
  for (std::size_t i = 0; i < count; ++i) {
    out += '/';
    out += parts[i];
  }
  return out;
}

std::string ParentOf(const std::string& hostPath) {
  const auto slash = hostPath.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : hostPath.substr(0, slash);
}

std::string LastPart(const std::string& hostPath) {
  const auto slash = hostPath.rfind('/');
  return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// Resolves parts[index..] under the existing host folder `base`.
std::string ResolveFrom(std::string base, const std::vector<std::string>& parts, std::size_t index,
                        struct stat* st, bool* exists) {
  struct stat baseStat{};
  if (stat(base.c_str(), &baseStat) != 0 || !S_ISDIR(baseStat.st_mode)) {
    for (; index < parts.size(); ++index) base += "/" + parts[index];
    return base;
  }
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

std::string ExactHostPath(const std::string& windowsPath) {
  const std::vector<std::string> parts = AbsoluteComponents(windowsPath);
  return Join(parts, parts.size());
}

std::string MapPath(const std::string& windowsPath, struct stat* st, bool* exists) {
  if (exists) *exists = false;
  const std::vector<std::string> parts = AbsoluteComponents(windowsPath);
  std::string exact = Join(parts, parts.size());
  struct stat exactStat{};
  if (lstat(exact.c_str(), &exactStat) == 0) {
    if (st) *st = exactStat;
    if (exists) *exists = true;
    return exact;
  }
  // The parent as written exists: only the last name needs the cache.
  if (parts.size() >= 2) {
    const std::string parent = Join(parts, parts.size() - 1);
    struct stat parentStat{};
    if (stat(parent.c_str(), &parentStat) == 0 && S_ISDIR(parentStat.st_mode)) {
      return ResolveFrom(parent, parts, parts.size() - 1, st, exists);
    }
  }
  return ResolveFrom(GetState().root, parts, 0, st, exists);
}

void SplitPattern(const std::string& windowsPattern, std::string* hostFolder, std::string* mask,
                  bool* isDriveRoot) {
  std::vector<std::string> parts = AbsoluteComponents(windowsPattern);
  const bool endsInSeparator =
      !windowsPattern.empty() && (windowsPattern.back() == '\\' || windowsPattern.back() == '/');
  if (parts.size() <= 1 || endsInSeparator) {
    *mask = "";
    *hostFolder = MapPath(windowsPattern);
    *isDriveRoot = parts.size() <= 1;
    return;
  }
  *mask = parts.back();
  parts.pop_back();
  *isDriveRoot = parts.size() == 1;
  std::string folderPath = parts[0] == "UNC" ? "\\\\" : parts[0] + ":\\";
  for (std::size_t i = 1; i < parts.size(); ++i) folderPath += parts[i] + "\\";
  *hostFolder = MapPath(folderPath);
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

void NoteCreated(const std::string& hostPath) {
  auto& cache = Cache();
  auto it = cache.find(ParentOf(hostPath));
  if (it == cache.end()) return;
  struct stat folderStat{};
  if (stat(it->first.c_str(), &folderStat) != 0) {
    cache.erase(it);
    return;
  }
  const std::string name = LastPart(hostPath);
  it->second.byFold.emplace(FoldName(name), name);
  it->second.mtime = folderStat.st_mtim;
  it->second.trusted = true;  // the change is ours and is in the cache
}

void NoteRemoved(const std::string& hostPath) {
  auto& cache = Cache();
  auto it = cache.find(ParentOf(hostPath));
  if (it == cache.end()) return;
  struct stat folderStat{};
  if (stat(it->first.c_str(), &folderStat) != 0) {
    cache.erase(it);
    return;
  }
  const std::string name = LastPart(hostPath);
  auto entry = it->second.byFold.find(FoldName(name));
  if (entry != it->second.byFold.end() && entry->second == name) it->second.byFold.erase(entry);
  it->second.mtime = folderStat.st_mtim;
  it->second.trusted = true;
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

#pragma once
// Internal to the POSIX file system: Windows path mapping and name matching.
#include <sys/stat.h>

#include <string>
#include <vector>

namespace fsposix {

// Upper-case fold of single-byte letters; double-byte characters whole.
std::string FoldName(const std::string& name);

// Windows wildcard match ("*", "?" per character) on folded names.
bool MatchesMask(const std::string& name, const std::string& mask);

// The host path of a Windows path, existing names resolved without regard to
// case. When `st` is given and the path exists, it receives lstat's answer and
// `*exists` is set.
std::string MapPath(const std::string& windowsPath, struct stat* st = nullptr,
                    bool* exists = nullptr);

// Whether a Windows path ends in "\\" or "/" (not a double-byte character's
// trail byte).
bool EndsInSeparator(const std::string& windowsPath);

// The host path of a Windows path taken as written, no name resolved.
std::string ExactHostPath(const std::string& windowsPath);
// The same into a buffer that is reused.
void ExactHostPathInto(const std::string& windowsPath, std::string* out);

// The host folder and the mask (last part) of a search pattern.
void SplitPattern(const std::string& windowsPattern, std::string* hostFolder,
                  std::string* mask, bool* isDriveRoot);

// Entry names of a host folder as the file system stores them, in search
// order (folded name, then bytes).
std::vector<std::string> ListFolder(const std::string& hostFolder);

// Tells the name cache that this process created or removed an entry.
void NoteCreated(const std::string& hostPath);
void NoteRemoved(const std::string& hostPath);

// Holds a host folder's cached names: until ReleaseFolder they are taken to
// change only through this process (NoteCreated, NoteRemoved) and are not
// checked against the folder's time. False when the folder is not there.
bool HoldFolder(const std::string& hostFolder);
void ReleaseFolder(const std::string& hostFolder);
// Records a name that is about to be created in a held folder: false (and
// nothing recorded) when the folder is not held or already has an entry
// whose name folds as `name`'s does. A create that then fails is undone
// with NoteRemoved.
bool AddHeldName(const std::string& hostFolder, const std::string& name);

bool IsLocked(const std::string& hostPath);

}  // namespace fsposix

#pragma once
// Test controls of the POSIX file system behind platform/FileSystem.h.
// Windows paths are mapped onto host folders under a root:
//   D:\Music\a.mp3  -> <root>/D/Music/a.mp3
//   \\server\share\x -> <root>/UNC/server/share/x
// "\" and "/" both separate; a relative path is taken from the current folder
// (SetCurrentFolder), a path starting with "\" from the current folder's
// drive. Host names are the UTF-8 names. Existing names are found without
// regard to letter case, as on Windows; a new entry gets the name as written.
#include <ctime>
#include <string>

namespace sim {

// The host folder that holds the drive folders. Defaults to the environment
// variable KELVANE_FS_ROOT, else the working directory at first use.
void SetFileSystemRoot(const std::string& hostFolder);
std::string FileSystemRoot();

// The current folder of the simulated process (a Windows path, such as
// "C:\Work"); "C:\" until set.
void SetCurrentFolder(const std::string& windowsPath);

// The host path that a Windows path maps onto (existing names resolved
// without regard to case).
std::string HostPath(const std::string& windowsPath);

// Sets a file's last-write time (seconds since 1970, UTC).
bool SetLastWriteTime(const std::string& windowsPath, std::time_t time);

// Holds a file as another program would hold it exclusively: it cannot be
// opened, read, replaced or deleted until unlocked.
void LockFile(const std::string& windowsPath);
void UnlockFile(const std::string& windowsPath);
void UnlockAllFiles();

// Lets `changes` more changes reach the disk (a file written or replaced, a
// file removed, a folder made) and refuses every one after, as if the process
// had been killed there: writes fail, removals and folder creations are
// refused. A negative count lifts the stop.
void StopChangesAfter(long changes);
// Changes made since the last StopChangesAfter.
long ChangesMade();

}  // namespace sim

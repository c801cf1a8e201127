// The file system of platform/FileSystem.h: the real Win32 calls, the W
// forms only, so a name in any script is found; paths are UTF-8 here.
#include <windows.h>

#include <algorithm>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

namespace platform {
namespace {

// A path in the W calls' form. The library asks about every track at each
// update: a path that fits is converted into the object itself, ASCII
// without any decoding.
class Wide {
 public:
  explicit Wide(const std::string& text) {
    if (text.size() < MAX_PATH) {
      std::size_t i = 0;
      for (; i < text.size() && static_cast<unsigned char>(text[i]) < 0x80; ++i) inline_[i] = static_cast<wchar_t>(text[i]);
      if (i == text.size()) {
        inline_[i] = L'\0';
        size_ = i;
        return;
      }
    }
    long_ = Utf8ToUtf16(text);
    size_ = long_.size();
    // Without a long-path manifest Windows refuses a path of MAX_PATH units
    // or more as if nothing were there; Wine would take it. Refused here
    // too, so that both answer alike.
    text_ = size_ >= MAX_PATH ? L"" : reinterpret_cast<LPCWSTR>(long_.c_str());
  }
  Wide(const Wide&) = delete;
  Wide& operator=(const Wide&) = delete;
  LPCWSTR get() const { return text_; }
  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kInline = MAX_PATH;
  wchar_t inline_[kInline];
  LPCWSTR text_ = inline_;
  std::u16string long_;
  std::size_t size_ = 0;
};

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p >= 0x80) return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
    out += static_cast<char>(*p);
  }
  return out;
}

std::int32_t StampOf(const FILETIME& written) {
  FILETIME local;
  SYSTEMTIME time;
  if (FileTimeToLocalFileTime(&written, &local) && FileTimeToSystemTime(&local, &time)) {
    return PackDosStamp(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
  }
  return PackDosStamp(1980, 1, 1, 0, 0, 0);
}

FoundEntry EntryOf(const WIN32_FIND_DATAW& data) {
  FoundEntry entry;
  entry.name = Narrow(data.cFileName);
  entry.attributes = data.dwFileAttributes;
  entry.stamp = StampOf(data.ftLastWriteTime);
  return entry;
}

// Where the last part of a path begins, when a directory search for the path
// would find the entry that the path names as written (up to letter case),
// so that the entry's own status can answer for the search: no wildcard, and
// a last part that is a plain name. A "~" may make it a short name whose
// entry has another (long) name, and the system drops trailing dots and
// blanks; a drive or a path ending in a separator finds nothing by search.
// npos when the search must be made.
std::size_t PlainLastPart(const std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\' || c == '/' || c == ':') {
      start = i + 1;
    } else if (c == '*' || c == '?') {
      return std::string::npos;
    }
  }
  if (start >= path.size()) return std::string::npos;
  const char last = path.back();
  if (last == '.' || last == ' ' || path.find('~', start) != std::string::npos) return std::string::npos;
  return start;
}

// A path of MAX_PATH UTF-16 units or more is refused as if nothing were
// there (see Wide): such a file may well exist, and is reported rather than
// passed over.
bool IsTooLongForWin32(const Wide& path) { return path.size() >= MAX_PATH; }

// Only files on a disk are read: a pipe or a device could block the read.
HANDLE OpenForReading(const Wide& wide, const std::string& path) {
  HANDLE file = ::CreateFileW(wide.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE && ::GetFileType(file) != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    throw Error(kErrCannotOpen, path);
  }
  return file;
}

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written != chunk) return false;
    done += written;
  }
  return true;
}

bool IsFile(const Wide& path) {
  const DWORD attributes = ::GetFileAttributesW(path.get());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool FileExists(const std::string& path) { return IsFile(Wide(path)); }

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).get());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::uint64_t maxBytes) {
  // Each playlist and ".mp3log" is read at every update: the open itself
  // tells whether there is a file, and a file whose size is known is read
  // in one call that asks for a byte more than it holds.
  const Wide wide(path);
  HANDLE file = ::CreateFileW(wide.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (IsTooLongForWin32(wide)) throw Error(kErrCannotOpen, path);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || !IsFile(wide)) return false;
    throw Error(kErrCannotOpen, path);
  }
  const Error cannotRead(kErrCannotOpen, path);
  const Error tooLarge(kErrTooLarge, path);
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    throw cannotRead;
  }
  std::string out;
  LARGE_INTEGER size;
  bool whole = false;
  if (::GetFileSizeEx(file, &size)) {
    if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
      ::CloseHandle(file);
      throw tooLarge;
    }
    if (size.QuadPart >= 0 && size.QuadPart < 0x40000000) {
      out.resize(static_cast<std::size_t>(size.QuadPart) + 1);
      DWORD read = 0;
      if (!::ReadFile(file, &out[0], static_cast<DWORD>(out.size()), &read, nullptr)) {
        ::CloseHandle(file);
        throw cannotRead;
      }
      out.resize(read);
      // A short read of a disk file is its end; one that filled the buffer
      // (the file grew meanwhile) goes on below, under the same bound.
      whole = read < size.QuadPart + 1;
      if (out.size() > maxBytes) {
        ::CloseHandle(file);
        throw tooLarge;
      }
    }
  }
  char buffer[65536];
  while (!whole) {
    DWORD read = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
      ::CloseHandle(file);
      throw cannotRead;
    }
    if (read == 0) break;
    // A file that grows while it is read is held to the same bound.
    if (read > maxBytes - out.size()) {
      ::CloseHandle(file);
      throw tooLarge;
    }
    out.append(buffer, read);
  }
  ::CloseHandle(file);
  *bytes = std::move(out);
  return true;
}

void WriteFileSafely(const std::string& path, const std::string& bytes) {
  const Wide temporary(path + ".kvnew");
  const Error failure(kErrCannotWrite, path);
  HANDLE file = ::CreateFileW(temporary.get(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw failure;
  bool ok = WriteAll(file, bytes);
  ok = ok && ::FlushFileBuffers(file);
  ok = ::CloseHandle(file) && ok;
  if (!ok || !::MoveFileExW(temporary.get(), Wide(path).get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.get());
    throw failure;
  }
}

void WriteRebuildableFile(const std::string& path, const std::string& bytes) {
  // A flush per file would cost more than the write, and there is no old
  // file whose loss it would guard against.
  const Wide wide(path);
  HANDLE file = ::CreateFileW(wide.get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    // An old file (or a create refused): the safe write keeps it or fails
    // as it would.
    WriteFileSafely(path, bytes);
    return;
  }
  bool ok = WriteAll(file, bytes);
  ok = ::CloseHandle(file) && ok;
  if (!ok) {
    ::DeleteFileW(wide.get());
    throw Error(kErrCannotWrite, path);
  }
}

namespace {

bool DirectoryIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  // Only a handle gives the identity; backup semantics let a folder open.
  HANDLE folder = ::CreateFileW(Wide(path).get(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  const bool ok = ::GetFileInformationByHandle(folder, info) && (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  ::CloseHandle(folder);
  return ok;
}

}  // namespace

bool IsSameDirectory(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  if (!DirectoryIdentity(a, &first) || !DirectoryIdentity(b, &second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileW(Wide(path).get()) != FALSE; }

bool MakeDirectory(const std::string& path) { return ::CreateDirectoryW(Wide(path).get(), nullptr) != FALSE; }

void ForEachEntry(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) {
  WIN32_FIND_DATAW data;
  HANDLE search = ::FindFirstFileW(Wide(pattern).get(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!visit(EntryOf(data))) break;
  } while (::FindNextFileW(search, &data));
  ::FindClose(search);
}

bool FileSizeAndTime(const std::string& path, std::uint64_t* size, std::uint64_t* written) {
  WIN32_FILE_ATTRIBUTE_DATA status;
  if (!::GetFileAttributesExW(Wide(path).get(), GetFileExInfoStandard, &status)) return false;
  *size = (std::uint64_t{status.nFileSizeHigh} << 32) | status.nFileSizeLow;
  *written = (std::uint64_t{status.ftLastWriteTime.dwHighDateTime} << 32) | status.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool FindFirstEntry(const std::string& path, FoundEntry* entry) {
  // Asked once per listed track at every update: the entry's own status is
  // one call where the search is an open, a query and a close.
  const std::size_t lastPart = PlainLastPart(path);
  const Wide wide(path);
  if (lastPart != std::string::npos) {
    WIN32_FILE_ATTRIBUTE_DATA status;
    if (::GetFileAttributesExW(wide.get(), GetFileExInfoStandard, &status)) {
      entry->name.assign(path, lastPart, std::string::npos);
      entry->attributes = status.dwFileAttributes;
      entry->stamp = StampOf(status.ftLastWriteTime);
      return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
    // Anything else (a file held by the system, say) still goes to the search.
  }
  WIN32_FIND_DATAW data;
  HANDLE search = ::FindFirstFileW(wide.get(), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  *entry = EntryOf(data);
  ::FindClose(search);
  return true;
}

std::string FoldFileName(const std::string& name) {
  std::string out(name);
  bool ascii = true;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  }
  if (ascii) return out;
  // The system's upper-casing of UTF-16 units, which the file system uses
  // too; it changes no unit's count, so the pairs stay pairs.
  std::u16string wide = Utf8ToUtf16(name);
  CharUpperBuffW(reinterpret_cast<LPWSTR>(&wide[0]), static_cast<DWORD>(wide.size()));
  return Utf16ToUtf8(wide);
}

ReadOnlyFile::~ReadOnlyFile() { Close(); }

void ReadOnlyFile::Open(const std::string& path) {
  Close();
  HANDLE file = OpenForReading(Wide(path), path);
  if (file == INVALID_HANDLE_VALUE) throw Error(kErrCannotOpen, path);
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

bool ReadOnlyFile::OpenIfFile(const std::string& path) {
  Close();
  const Wide wide(path);
  HANDLE file = OpenForReading(wide, path);
  if (file == INVALID_HANDLE_VALUE) {
    if (IsFile(wide) || IsTooLongForWin32(wide)) throw Error(kErrCannotOpen, path);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

bool ReadOnlyFile::OpenIfFile(const std::string& path, FoundEntry* entry, bool* found) {
  Close();
  // Every track of a build comes here: a file that opens under a plain path
  // is the entry the search would find, and the open file gives its status.
  const std::size_t lastPart = PlainLastPart(path);
  if (lastPart != std::string::npos) {
    HANDLE file = ::CreateFileW(Wide(path).get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      FILE_BASIC_INFO status;
      // A pipe or a device takes the general way, which refuses it.
      if (::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandleEx(file, FileBasicInfo, &status, sizeof status)) {
        FILETIME written;
        written.dwLowDateTime = static_cast<DWORD>(status.LastWriteTime.QuadPart);
        written.dwHighDateTime = static_cast<DWORD>(status.LastWriteTime.QuadPart >> 32);
        entry->name.assign(path, lastPart, std::string::npos);
        entry->attributes = status.FileAttributes;
        entry->stamp = StampOf(written);
        *found = true;
        handle_ = reinterpret_cast<std::intptr_t>(file);
        return true;
      }
      ::CloseHandle(file);
    }
  }
  *found = FindFirstEntry(path, entry);
  return OpenIfFile(path);
}

std::size_t ReadOnlyFile::Read(void* buffer, std::size_t count) {
  if (handle_ == kNoHandle) return 0;
  std::size_t done = 0;
  while (done < count) {
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 20));
    if (!::ReadFile(AsHandle(handle_), static_cast<char*>(buffer) + done, chunk, &read, nullptr) || read == 0) {
      break;
    }
    done += read;
  }
  return done;
}

bool ReadOnlyFile::Seek(std::int64_t offset, Origin origin) {
  if (handle_ == kNoHandle) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  const DWORD method = origin == Origin::kBegin ? FILE_BEGIN : origin == Origin::kCurrent ? FILE_CURRENT : FILE_END;
  return ::SetFilePointerEx(AsHandle(handle_), distance, nullptr, method) != FALSE;
}

std::int64_t ReadOnlyFile::Position() const {
  if (handle_ == kNoHandle) return -1;
  LARGE_INTEGER zero, position;
  zero.QuadPart = 0;
  if (!::SetFilePointerEx(AsHandle(handle_), zero, &position, FILE_CURRENT)) return -1;
  return position.QuadPart;
}

std::int64_t ReadOnlyFile::Size() const {
  LARGE_INTEGER size;
  if (handle_ == kNoHandle || !::GetFileSizeEx(AsHandle(handle_), &size)) return -1;
  return size.QuadPart;
}

void ReadOnlyFile::Close() {
  if (handle_ != kNoHandle) ::CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
}

}  // namespace platform

#include "library/PathText.h"

#include <string_view>

#include "platform/Locale.h"

namespace {

// The full-width forms: code page 932 bytes, and the same characters in
// UTF-8 (the yen sign stands for the backslash, as on Japanese systems).
struct TFullWidth {
  char c;
  const char* cp932;
  const char* utf8;
};
constexpr TFullWidth kFullWidth[] = {
    {'\\', "\x81\x8F", "\xEF\xBF\xA5"}, {'/', "\x81\x5E", "\xEF\xBC\x8F"}, {':', "\x81\x46", "\xEF\xBC\x9A"},
    {',', "\x81\x43", "\xEF\xBC\x8C"},  {';', "\x81\x47", "\xEF\xBC\x9B"}, {'*', "\x81\x96", "\xEF\xBC\x8A"},
    {'?', "\x81\x48", "\xEF\xBC\x9F"},  {'"', "\x81\x68", "\xE2\x80\x9D"}, {'<', "\x81\x83", "\xEF\xBC\x9C"},
    {'>', "\x81\x84", "\xEF\xBC\x9E"},  {'|', "\x81\x62", "\xEF\xBD\x9C"},
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool HasDrivePrefix(const char* line, std::size_t size) {
  return size >= 3 && IsAsciiLetter(line[0]) && line[1] == ':' && IsSeparator(line[2]);
}

}  // namespace

std::string MakeFileNameSafe(const std::string& text, bool unicodeLibrary) {
  std::string out;
  out.reserve(text.size() + 8);
  for (const char c : text) {
    const TFullWidth* wide = nullptr;
    for (const TFullWidth& f : kFullWidth) {
      if (f.c == c) wide = &f;
    }
    if (!wide) {
      out += c;
    } else if (unicodeLibrary) {
      out += wide->utf8;
    } else {
      out += platform::SystemToUtf8(wide->cp932);
    }
  }
  return out;
}

std::size_t LastDelimiter(const std::string& text, const char* delimiters) {
  // Runs over every track path of an update: a table, not a search per byte.
  bool isDelimiter[256] = {};
  for (const char* d = delimiters; *d; ++d) isDelimiter[static_cast<unsigned char>(*d)] = true;
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isDelimiter[static_cast<unsigned char>(text[i])]) found = i;
  }
  return found;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t at = LastDelimiter(path, "\\:");
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string FolderPart(const std::string& path) {
  const std::size_t at = LastDelimiter(path, "\\:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string ChangeExtension(const std::string& path, const std::string& extension) {
  const std::size_t at = LastDelimiter(path, ".\\:");
  if (at == std::string::npos || path[at] != '.') return path + extension;
  return path.substr(0, at) + extension;
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

bool IsAbsolutePath(const std::string& path) {
  if (HasDrivePrefix(path.data(), path.size())) return true;
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

namespace {

bool IsUncPrefix(const char* line, std::size_t size) { return size >= 2 && line[0] == '\\' && line[1] == '\\'; }

bool StartsWithFileScheme(const char* line, std::size_t size) {
  static const char kScheme[] = "file:";
  if (size < 5) return false;
  for (std::size_t i = 0; i < 5; ++i) {
    const char c = line[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != kScheme[i]) return false;
  }
  return true;
}

bool HoldsScheme(const char* line, std::size_t size) {
  return std::string_view(line, size).find("://") != std::string_view::npos;
}

bool IsBlankLine(const char* line, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (line[i] != ' ' && line[i] != '\t') return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
  return -1;
}

// The length of the root that ".." never climbs above: "X:" or
// "\\server\share"; 0 when the path has neither.
std::size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') return 2;
  if (!IsUncPrefix(path.data(), path.size())) return 0;
  std::size_t at = path.find('\\', 2);
  if (at == std::string::npos) return path.size();
  at = path.find('\\', at + 1);
  return at == std::string::npos ? path.size() : at;
}

// "." and ".." taken out of a path of "\" separators, as the system's own
// canonical form does: ".." takes the part before it away, never the root.
void ResolveDots(std::string* path) {
  const std::size_t root = RootLength(*path);
  std::string out = path->substr(0, root);
  std::size_t at = root;
  while (at < path->size()) {
    // One part: from a "\" to the next.
    std::size_t end = path->find('\\', at + 1);
    if (end == std::string::npos) end = path->size();
    const std::string_view part(path->data() + at, end - at);  // with its leading "\"
    if (part == "\\." || part == ".") {
      // nothing
    } else if (part == "\\.." || part == "..") {
      const std::size_t cut = out.rfind('\\');
      out.resize(cut == std::string::npos || cut < root ? root : cut);
    } else {
      out.append(part);
    }
    at = end;
  }
  // A path that ended in a dot part keeps a name, not a bare root.
  if (out.size() == root && root > 0 && path->size() > root) out += '\\';
  path->swap(out);
}

// A "file:" URL as a path: the host (none, "localhost" or a server), the
// percent-decoded UTF-8 of the rest, "/" as "\". False when it decodes to
// bytes that are no UTF-8 or to a control character a path cannot hold.
bool FileUrlPath(const char* line, std::size_t size, std::string* path) {
  std::string_view rest(line + 5, size - 5);
  // A query or a fragment names no part of the file.
  const std::size_t end = rest.find_first_of("?#");
  if (end != std::string_view::npos) rest = rest.substr(0, end);
  std::string decoded;
  decoded.reserve(rest.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const int high = rest[i] == '%' && i + 2 < rest.size() ? HexValue(rest[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(rest[i + 2]) : -1;
    if (low >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += rest[i];  // a "%" without two hex digits stands for itself
    }
  }
  for (std::size_t i = 0; i < decoded.size();) {
    char32_t code = 0;
    const std::size_t n = platform::DecodeUtf8(reinterpret_cast<const unsigned char*>(decoded.data()) + i,
                                               decoded.size() - i, &code);
    // A CR or LF inside a path would split the generated playlist's line.
    if (n == 0 || code < 0x20 || code == 0x7F) return false;
    i += n;
  }
  for (char& c : decoded) {
    if (c == '/') c = '\\';
  }
  std::string_view text(decoded);
  if (text.compare(0, 2, "\\\\") == 0) {
    text.remove_prefix(2);
    // "file:///D:/..." and "file://localhost/D:/..." have no server.
    if (text.size() >= 10 && std::string_view(decoded).substr(2, 10) == "localhost\\") text.remove_prefix(9);
    if (!text.empty() && text[0] == '\\') {
      path->assign(text.substr(1));
      if (!HasDrivePrefix(path->data(), path->size())) path->insert(0, "\\");  // "file:///Music/a.mp3"
    } else {
      path->assign("\\\\").append(text);  // "file://server/share/..."
    }
  } else if (!text.empty() && text[0] == '\\') {
    path->assign(text.substr(1));  // "file:/D:/..."
    if (!HasDrivePrefix(path->data(), path->size())) path->insert(0, "\\");
  } else {
    path->assign(text);
  }
  return !path->empty();
}

}  // namespace

TPlaylistLine TrackPathOfLine(const char* line, std::size_t size, const std::string& playlistFolder,
                              std::string* path) {
  path->clear();
  if ((size > 0 && line[0] == '#') || IsBlankLine(line, size)) return TPlaylistLine::Passed;
  // As written: the only forms an earlier library resolved, kept byte for
  // byte.
  if (HasDrivePrefix(line, size) || IsUncPrefix(line, size)) {
    path->assign(line, size);
    return TPlaylistLine::Track;
  }
  if (size > 0 && line[0] == '\\') {
    path->assign(playlistFolder, 0, 2);
    path->append(line, size);
    return TPlaylistLine::Track;
  }
  std::string resolved;
  if (StartsWithFileScheme(line, size)) {
    if (!FileUrlPath(line, size, &resolved)) return TPlaylistLine::Unusable;
  } else if (HoldsScheme(line, size)) {
    return TPlaylistLine::Passed;  // a stream: no file, no tag
  } else {
    resolved.assign(line, size);
    for (char& c : resolved) {
      if (c == '/') c = '\\';
    }
  }
  if (!resolved.empty() && resolved[0] == '\\' && !IsUncPrefix(resolved.data(), resolved.size())) {
    resolved.insert(0, playlistFolder, 0, 2);  // the playlist's drive
  } else if (!IsAbsolutePath(resolved)) {
    resolved.insert(0, playlistFolder + "\\");
  }
  ResolveDots(&resolved);
  path->swap(resolved);
  return TPlaylistLine::Track;
}

bool IsLineResolvedAgainstFolder(const char* line, std::size_t size) {
  if ((size > 0 && line[0] == '#') || IsBlankLine(line, size)) return false;
  if (HasDrivePrefix(line, size) || IsUncPrefix(line, size) || (size > 0 && line[0] == '\\')) return false;
  return StartsWithFileScheme(line, size) || !HoldsScheme(line, size);
}

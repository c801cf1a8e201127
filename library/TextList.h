#pragma once
// Text list files, quoted text and key-value lines: the file forms of the
// playlist library.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/ComparisonIndex.h"

using TLines = std::vector<std::string>;

// Lines of a text list: CR LF, a lone CR or a lone LF end a line; a NUL byte
// ends the text; an empty text has no lines; empty lines between others are
// kept.
TLines ParseTextList(const std::string& bytes);
// The same lines, each passed to visit(const char* begin, std::size_t size)
// in place, for texts of many thousand lines read once.
template <typename Visit>
void ForEachTextLine(const std::string& bytes, Visit visit);
// Every line followed by CR LF; no lines give no bytes.
std::string FormatTextList(const TLines& lines);
// The same into a buffer that is reused from file to file.
void FormatTextListInto(const TLines& lines, std::string* bytes);

// The most a text list file of the library may hold. A playlist of a
// hundred thousand tracks is a few MiB; beyond this a file is refused
// (platform::Error, "ファイル %s は大きすぎます") rather than held in memory.
constexpr std::uint64_t kMaxTextListBytes = 64u << 20;

// The bytes of a library text file in the inside form: after a UTF-8 BOM
// they are UTF-8 (the BOM dropped); otherwise they are text of the system
// code page. A NUL byte ends the text, as it ends a text list.
std::string LibraryText(std::string bytes);
// A source playlist's bytes in the inside form, as the player reads them:
// UTF-16 after a UTF-16 byte-order mark; UTF-8 after a UTF-8 one, in a
// ".m3u8", or where a line is "#UTF8"; otherwise the system code page's.
std::string PlaylistText(const std::string& fileName, std::string bytes);
// Whether PlaylistText reads these bytes otherwise than before UTF-16 and
// "#UTF8" playlists were known (the code page's text, or UTF-8 after a UTF-8
// byte-order mark or in a ".m3u8").
bool IsReadOtherwiseBefore(const std::string& fileName, const std::string& bytes);
// The bytes a library file is written as. A Unicode library's files are
// UTF-8 with a BOM. Otherwise they are the system code page's, as they have
// always been; when some line cannot be held there (a path in another
// script), the file is written as UTF-8 with a BOM rather than lose it, and
// reads back as written.
void EncodeLibraryText(const std::string& text, bool unicodeLibrary, std::string* bytes);

// False when there is no such file. Raises platform::Error when the file
// exists but cannot be read, or is larger than kMaxTextListBytes. The lines
// are in the inside form (LibraryText).
bool ReadTextList(const std::string& path, TLines* lines);
// The lines of a file that must be there: raises platform::Error
// ("ファイル %s は開けません") also when there is no file (or a folder) under
// the path.
TLines ReadRequiredTextList(const std::string& path);
// The bytes of a text list file that must be there, as stored: raises
// platform::Error as ReadRequiredTextList does.
std::string ReadRequiredTextBytes(const std::string& path);
// Written whole and safely (EncodeLibraryText); raises platform::Error on
// failure.
void WriteTextList(const std::string& path, const TLines& lines, bool unicodeLibrary = false);

// 'text' with every single quote inside doubled.
std::string QuotedText(const std::string& text);
// The same appended to `out`.
void AppendQuotedText(const char* text, std::size_t size, std::string* out);
// The inverse: the text after the leading quote up to the closing quote,
// doubled quotes made single. A text that does not start with a quote gives
// an empty result.
std::string UnquotedText(const std::string& quoted);

// The key of a key "=" value line. A line starting with a quote has the
// quoted text as its key when an "=" directly follows its closing quote, so
// that paths holding "=" are keys of their own; otherwise the key is the
// text before the first "=". A line without "=" has an empty key.
void SplitKeyValue(const std::string& line, std::string* key, std::string* value);
// Where SplitKeyValue splits a line: the position of its "=", or npos.
std::size_t KeyValueSplitAt(const char* line, std::size_t size);

// The values of key-value lines, looked up only: the answers of
// TKeyValueList::Lookup, without a string per line (the track stamps of a
// playlist, tens of thousands of lines read at every update). Values are
// views into the bytes it holds.
class TKeyValueLookup {
 public:
  explicit TKeyValueLookup(std::string bytes);
  // The value of the first line of this very key, else of the first line
  // whose key compares equal; false if none.
  bool Find(const char* key, std::size_t size, std::string_view* value) const;
  bool Find(const std::string& key, std::string_view* value) const { return Find(key.data(), key.size(), value); }
  // For keys asked in the order of the lines, as the track check reads a
  // playlist beside the stamps its build wrote: a key that is, byte for
  // byte, the key of the line after the one last answered is answered by
  // that line, with no comparison by the locale (under Windows two calls of
  // its sort tables per key, the most of a track's check). Otherwise as Find.
  // A key that compares equal to an earlier line's may so be answered by
  // its own later line: in a stamp file such lines are stamps of one file.
  bool FindInLineOrder(const char* key, std::size_t size, std::string_view* value);
  bool FindInLineOrder(const std::string& key, std::string_view* value) {
    return FindInLineOrder(key.data(), key.size(), value);
  }

 private:
  // A line's key and value, as places in bytes_.
  struct Entry {
    std::uint32_t keyAt, keyLength;
    std::uint32_t valueAt, valueLength;
  };
  std::string_view KeyOf(std::size_t entry) const {
    return std::string_view(bytes_.data() + entries_[entry].keyAt, entries_[entry].keyLength);
  }

  // The first line whose key compares equal, or TComparisonIndex::kNone.
  std::size_t EntryOf(const char* key, std::size_t size) const;
  bool Answer(std::size_t entry, std::string_view* value) const;

  std::string bytes_;
  std::vector<Entry> entries_;  // every line, in order
  // Built at the first Find: a check that stays in line order never needs it.
  mutable TComparisonIndex index_;
  mutable std::unordered_map<std::string_view, std::size_t> exact_;  // the first line of each exact key
  mutable bool indexed_ = false;
  std::size_t next_ = 0;  // the line after the one FindInLineOrder last answered
};

// Key-value lines of "playlist.log": a key finds its own line first, and
// failing that the first line whose key names the same file for the file
// system (another letter case). Lines can be removed; a removed line no
// longer answers.
class TKeyValueList {
 public:
  TKeyValueList() = default;
  explicit TKeyValueList(TLines lines);

  const TLines& Lines() const { return lines_; }
  // The value of the live line of this key, else of the first live line of
  // the same file name; empty if none.
  std::string Lookup(const std::string& key) const;
  // Removes the first live line whose key is byte for byte `key`.
  void RemoveExact(const std::string& key);
  bool IsLive(std::size_t index) const { return alive_[index]; }

 private:
  TLines lines_;
  std::vector<std::string> keys_;
  std::vector<std::string> values_;
  std::vector<bool> alive_;
  // Case-insensitive key -> first line with that key; next_ chains the
  // later lines with the same key, in order.
  std::unordered_map<std::string, std::size_t> index_;
  std::vector<std::size_t> next_;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
};

template <typename Visit>
void ForEachTextLine(const std::string& bytes, Visit visit) {
  const char* const text = bytes.data();
  const std::size_t end = bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0');
  std::size_t start = 0;
  for (std::size_t i = 0; i < end; ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    visit(text + start, i - start);
    if (c == '\r' && i + 1 < end && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < end) visit(text + start, end - start);
}

#include "library/TextList.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

TLines ParseTextList(const std::string& bytes) {
  TLines lines;
  ForEachTextLine(bytes, [&](const char* line, std::size_t size) { lines.emplace_back(line, size); });
  return lines;
}

std::string FormatTextList(const TLines& lines) {
  std::string bytes;
  FormatTextListInto(lines, &bytes);
  return bytes;
}

void FormatTextListInto(const TLines& lines, std::string* bytes) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  bytes->clear();
  bytes->reserve(size);
  for (const auto& line : lines) {
    bytes->append(line);
    bytes->append("\r\n", 2);
  }
}

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool StartsWithUtf8Mark(const std::string& bytes) { return bytes.compare(0, 3, kUtf8Mark) == 0; }

void CutAtNul(std::string* bytes) {
  const std::size_t nul = bytes->find('\0');
  if (nul != std::string::npos) bytes->resize(nul);
}

}  // namespace

std::string LibraryText(std::string bytes) {
  CutAtNul(&bytes);
  if (StartsWithUtf8Mark(bytes)) return bytes.substr(3);
  return platform::SystemToUtf8(bytes);
}

namespace {

// UTF-16 text after its byte-order mark in the inside form, up to a U+0000.
std::string Utf16PlaylistText(const std::string& bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const unsigned char first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t unit = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return platform::Utf16ToUtf8(units);
}

// Whether a line of the text is the player's UTF-8 marker "#UTF8".
bool HasUtf8MarkerLine(const std::string& bytes) {
  bool found = false;
  ForEachTextLine(bytes, [&](const char* line, std::size_t size) {
    while (size > 0 && (line[size - 1] == ' ' || line[size - 1] == '\t')) --size;
    if (size == 5 && std::memcmp(line, "#UTF8", 5) == 0) found = true;
  });
  return found;
}

// What Notepad saves as "Unicode", whatever the extension.
bool HasUtf16Mark(const std::string& bytes) {
  return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}

bool HasM3u8Extension(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot != std::string::npos && platform::FoldFileName(fileName.substr(dot)) == ".M3U8";
}

}  // namespace

std::string PlaylistText(const std::string& fileName, std::string bytes) {
  if (HasUtf16Mark(bytes)) return Utf16PlaylistText(bytes, bytes[0] == '\xFE');
  CutAtNul(&bytes);
  if (StartsWithUtf8Mark(bytes)) return bytes.substr(3);
  if (HasM3u8Extension(fileName) || HasUtf8MarkerLine(bytes)) return bytes;
  return platform::SystemToUtf8(bytes);
}

bool IsReadOtherwiseBefore(const std::string& fileName, const std::string& bytes) {
  if (HasUtf16Mark(bytes)) return true;
  if (StartsWithUtf8Mark(bytes) || HasM3u8Extension(fileName)) return false;
  std::string text = bytes;
  CutAtNul(&text);
  return HasUtf8MarkerLine(text);
}

void EncodeLibraryText(const std::string& text, bool unicodeLibrary, std::string* bytes) {
  // Code page bytes that begin as the BOM does would read back as UTF-8.
  if (!unicodeLibrary && platform::Utf8ToSystemExact(text, bytes) && !StartsWithUtf8Mark(*bytes)) return;
  bytes->assign(kUtf8Mark);
  bytes->append(text);
}

bool ReadTextList(const std::string& path, TLines* lines) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, &bytes, kMaxTextListBytes)) return false;
  *lines = ParseTextList(LibraryText(std::move(bytes)));
  return true;
}

std::string ReadRequiredTextBytes(const std::string& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, &bytes, kMaxTextListBytes)) {
    throw platform::Error(platform::kErrCannotOpen, path);
  }
  return bytes;
}

TLines ReadRequiredTextList(const std::string& path) {
  TLines lines;
  if (!ReadTextList(path, &lines)) throw platform::Error(platform::kErrCannotOpen, path);
  return lines;
}

void WriteTextList(const std::string& path, const TLines& lines, bool unicodeLibrary) {
  std::string bytes;
  EncodeLibraryText(FormatTextList(lines), unicodeLibrary, &bytes);
  platform::WriteFileSafely(path, bytes);
}

std::string QuotedText(const std::string& text) {
  std::string out;
  AppendQuotedText(text.data(), text.size(), &out);
  return out;
}

void AppendQuotedText(const char* text, std::size_t size, std::string* out) {
  out->reserve(out->size() + size + 2);
  *out += '\'';
  const char* const end = text + size;
  for (;;) {
    const char* quote = static_cast<const char*>(std::memchr(text, '\'', static_cast<std::size_t>(end - text)));
    if (!quote) break;
    out->append(text, static_cast<std::size_t>(quote + 1 - text));
    *out += '\'';
    text = quote + 1;
  }
  out->append(text, static_cast<std::size_t>(end - text));
  *out += '\'';
}

std::string UnquotedText(const std::string& quoted) {
  if (quoted.empty() || quoted[0] != '\'') return std::string();
  std::string out;
  for (std::size_t i = 1; i < quoted.size(); ++i) {
    if (quoted[i] == '\'') {
      if (i + 1 < quoted.size() && quoted[i + 1] == '\'') {
        out += '\'';
        ++i;
        continue;
      }
      break;
    }
    out += quoted[i];
  }
  return out;
}

std::size_t KeyValueSplitAt(const char* line, std::size_t size) {
  // A quoted key: its closing quote (a doubled quote stands for one).
  if (size > 0 && line[0] == '\'') {
    for (std::size_t i = 1; i < size; ++i) {
      if (line[i] != '\'') continue;
      if (i + 1 < size && line[i + 1] == '\'') {
        ++i;
        continue;
      }
      if (i + 1 < size && line[i + 1] == '=') return i + 1;
      break;
    }
  }
  const void* equals = std::memchr(line, '=', size);
  return equals ? static_cast<std::size_t>(static_cast<const char*>(equals) - line) : std::string::npos;
}

void SplitKeyValue(const std::string& line, std::string* key, std::string* value) {
  const std::size_t equals = KeyValueSplitAt(line.data(), line.size());
  if (equals == std::string::npos) {
    key->clear();
    value->clear();
    return;
  }
  key->assign(line, 0, equals);
  value->assign(line, equals + 1, std::string::npos);
}

TKeyValueLookup::TKeyValueLookup(std::string bytes) : bytes_(std::move(bytes)) {
  // Offsets are 32-bit: a text the size of a file system's limit is cut
  // where no key-value file of a playlist ever reaches.
  if (bytes_.size() > 0xFFFFFFF0u) bytes_.resize(0xFFFFFFF0u);
  // Sized once for the lines the text most likely holds (CR LF or lone
  // ends); a text of mixed ends grows the list.
  entries_.reserve(static_cast<std::size_t>(std::max(std::count(bytes_.begin(), bytes_.end(), '\n'),
                                                     std::count(bytes_.begin(), bytes_.end(), '\r'))) +
                   1);
  const char* const base = bytes_.data();
  ForEachTextLine(bytes_, [&](const char* line, std::size_t size) {
    const std::size_t equals = KeyValueSplitAt(line, size);
    Entry entry{static_cast<std::uint32_t>(line - base), 0, 0, 0};
    if (equals != std::string::npos) {
      entry.keyLength = static_cast<std::uint32_t>(equals);
      entry.valueAt = static_cast<std::uint32_t>(line + equals + 1 - base);
      entry.valueLength = static_cast<std::uint32_t>(size - equals - 1);
    }
    entries_.push_back(entry);
  });
}

std::size_t TKeyValueLookup::EntryOf(const char* key, std::size_t size) const {
  const auto keyOf = [this](std::size_t e) { return KeyOf(e); };
  if (!indexed_) {
    index_.Reserve(entries_.size());
    exact_.reserve(entries_.size());
    // The first line with a key answers for it; later ones are not indexed.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      index_.Insert(KeyOf(i), i, keyOf);
      exact_.emplace(KeyOf(i), i);
    }
    indexed_ = true;
  }
  // Its own line first: two files the comparison calls equal ("Strasse"
  // and "Straße") keep their own stamps.
  const auto exact = exact_.find(std::string_view(key, size));
  if (exact != exact_.end()) return exact->second;
  return index_.Find(std::string_view(key, size), keyOf);
}

bool TKeyValueLookup::Answer(std::size_t entry, std::string_view* value) const {
  if (entry == TComparisonIndex::kNone) return false;
  *value = std::string_view(bytes_.data() + entries_[entry].valueAt, entries_[entry].valueLength);
  return true;
}

bool TKeyValueLookup::Find(const char* key, std::size_t size, std::string_view* value) const {
  return Answer(EntryOf(key, size), value);
}

bool TKeyValueLookup::FindInLineOrder(const char* key, std::size_t size, std::string_view* value) {
  std::size_t entry = next_;
  if (entry >= entries_.size() || KeyOf(entry) != std::string_view(key, size)) entry = EntryOf(key, size);
  // In order from the line that answered.
  if (entry != TComparisonIndex::kNone) next_ = entry + 1;
  return Answer(entry, value);
}

TKeyValueList::TKeyValueList(TLines lines) : lines_(std::move(lines)) {
  const std::size_t n = lines_.size();
  keys_.resize(n);
  values_.resize(n);
  alive_.assign(n, true);
  next_.assign(n, kNone);
  index_.reserve(n);
  // The last line of each key's chain, by the chain's first line.
  std::vector<std::size_t> last(n, kNone);
  for (std::size_t i = 0; i < n; ++i) {
    SplitKeyValue(lines_[i], &keys_[i], &values_[i]);
    const auto [at, inserted] = index_.try_emplace(platform::CaseInsensitiveKey(keys_[i]), i);
    std::size_t& tail = last[at->second];
    if (!inserted) next_[tail] = i;
    tail = i;
  }
}

std::string TKeyValueList::Lookup(const std::string& key) const {
  const auto it = index_.find(platform::CaseInsensitiveKey(key));
  if (it == index_.end()) return std::string();
  // Its own line first. Another spelling answers only where the file system
  // takes it for the same name (a playlist renamed in letter case); names it
  // keeps apart ("Strasse" and "Straße", NFC and NFD) keep their own lines.
  for (std::size_t i = it->second; i != kNone; i = next_[i]) {
    if (alive_[i] && keys_[i] == key) return values_[i];
  }
  const std::string folded = platform::FoldFileName(key);
  for (std::size_t i = it->second; i != kNone; i = next_[i]) {
    if (alive_[i] && platform::FoldFileName(keys_[i]) == folded) return values_[i];
  }
  return std::string();
}

void TKeyValueList::RemoveExact(const std::string& key) {
  const auto it = index_.find(platform::CaseInsensitiveKey(key));
  if (it == index_.end()) return;
  for (std::size_t i = it->second; i != kNone; i = next_[i]) {
    if (alive_[i] && keys_[i] == key) {
      alive_[i] = false;
      return;
    }
  }
}


#include "platform/ProfileFile.h"

#include <utility>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

namespace platform {
namespace {

// The blanks the profile functions trim around names and values. CR and LF
// never reach here: they end lines.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& text, std::size_t begin, std::size_t end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Names compare without regard to the case of ASCII letters; every other
// character must match exactly.
bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// "[name]" after optional blanks; the name runs to the last "]" of the line,
// text after it is ignored. (Lines are UTF-8 here, where no byte of another
// character is a "]": a code page's trail byte never comes this far.)
bool ParseSectionHeader(const std::string& line, std::string* name) {
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size() || line[i] != '[') return false;
  const std::size_t close = line.rfind(']');
  if (close == std::string::npos || close < i) return false;
  *name = Trim(line, i + 1, close);
  return true;
}

// "name=value"; the first "=" divides. A
// line without "=" is a key without a value: it reads as missing, yet it
// hides a later key of that name and is the line a write of that name fills
// in, as with the profile functions. Blank lines are nothing.
bool ParseKeyLine(const std::string& line, std::string* name, std::size_t* valueStart) {
  const std::size_t eq = line.find('=');
  *name = Trim(line, 0, eq == std::string::npos ? line.size() : eq);
  *valueStart = eq == std::string::npos ? std::string::npos : eq + 1;
  return eq != std::string::npos || !name->empty();
}

bool IsBlankLine(const std::string& line) {
  for (char c : line) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

// The value a read of the limit's buffer gives: a value the code page holds
// is cut at the limit in its bytes, as the A functions cut it; any other at
// the limit in UTF-16 units, as the W functions would. Never inside a
// character. Neither form has more units than UTF-8 has bytes.
void CutAt(std::string* text, std::size_t limit) {
  if (text->size() <= limit) return;
  std::string ansi;
  const bool fits = Utf8ToSystemExact(*text, &ansi);
  if (fits && ansi.size() <= limit) return;
  std::size_t units = 0;
  std::size_t i = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(text->data());
  while (i < text->size()) {
    char32_t code = p[i];
    std::size_t length = code < 0x80 ? 1 : DecodeUtf8(p + i, text->size() - i, &code);
    if (length == 0) length = 1;
    std::size_t width = code >= 0x10000 ? 2 : 1;
    if (fits && code >= 0x80) width = Utf8ToSystem(text->substr(i, length)).size();
    if (units + width > limit) break;
    units += width;
    i += length;
  }
  text->resize(i);
}

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LeMark[] = "\xFF\xFE";
const char kUtf16BeMark[] = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const char* mark) { return bytes.rfind(mark, 0) == 0; }

char16_t Utf16Unit(const std::string& bytes, std::size_t i, bool bigEndian) {
  const unsigned first = static_cast<unsigned char>(bytes[i]);
  const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
  return static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
}

}  // namespace

ProfileText::ProfileText(const std::string& bytes) {
  std::size_t start = 0;
  if (StartsWith(bytes, kUtf16LeMark)) {
    encoding_ = Encoding::kUtf16Le;
    start = 2;
  } else if (StartsWith(bytes, kUtf16BeMark)) {
    encoding_ = Encoding::kUtf16Be;
    start = 2;
  } else if (StartsWith(bytes, kUtf8Mark)) {
    encoding_ = Encoding::kUtf8;
    start = 3;
  }
  // Line ends are found in code units, never in bytes: in UTF-16 the byte
  // 0x0A is also half of many characters. A last odd byte is no character.
  const bool wide = encoding_ == Encoding::kUtf16Le || encoding_ == Encoding::kUtf16Be;
  const bool bigEndian = encoding_ == Encoding::kUtf16Be;
  const std::size_t unit = wide ? 2 : 1;
  const std::size_t end = wide ? bytes.size() - (bytes.size() - start) % 2 : bytes.size();
  const auto at = [&](std::size_t i) -> char16_t {
    return wide ? Utf16Unit(bytes, i, bigEndian) : static_cast<unsigned char>(bytes[i]);
  };
  for (std::size_t i = start; i < end; i += unit) {
    const char16_t c = at(i);
    if (c != u'\r' && c != u'\n') continue;
    AddReadLine(bytes.substr(start, i - start));
    if (c == u'\r' && i + unit < end && at(i + unit) == u'\n') i += unit;
    start = i + unit;
  }
  if (start < end) AddReadLine(bytes.substr(start, end - start));
}

void ProfileText::AddReadLine(std::string source) {
  if (encoding_ == Encoding::kAnsi) {
    lines_.push_back(SystemToUtf8(source));
  } else if (encoding_ == Encoding::kUtf8) {
    lines_.push_back(Utf16ToUtf8(Utf8ToUtf16(source)));
  } else {
    std::u16string text;
    const bool bigEndian = encoding_ == Encoding::kUtf16Be;
    for (std::size_t i = 0; i + 1 < source.size(); i += 2) text += Utf16Unit(source, i, bigEndian);
    lines_.push_back(Utf16ToUtf8(text));
  }
  sources_.push_back(std::move(source));
}

void ProfileText::SetLine(std::size_t at, std::string line) {
  // A line written with the text it has keeps the bytes it was read from.
  if (lines_[at] == line) return;
  lines_[at] = std::move(line);
  sources_[at].reset();
}

void ProfileText::InsertLine(std::size_t at, std::string line) {
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  sources_.insert(sources_.begin() + static_cast<std::ptrdiff_t>(at), std::nullopt);
}

std::string ProfileText::Encode(const std::string& line, Encoding encoding) {
  if (encoding == Encoding::kAnsi) return Utf8ToSystem(line);
  if (encoding == Encoding::kUtf8) return line;
  const std::u16string text = Utf8ToUtf16(line);
  std::string out;
  out.reserve(text.size() * 2);
  for (const char16_t c : text) {
    const char high = static_cast<char>(c >> 8);
    const char low = static_cast<char>(c & 0xFF);
    out += encoding == Encoding::kUtf16Be ? high : low;
    out += encoding == Encoding::kUtf16Be ? low : high;
  }
  return out;
}

bool ProfileText::FindSection(const std::string& section, Span* span) const {
  std::string name;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (!ParseSectionHeader(lines_[i], &name) || !SameName(name, section)) continue;
    // Only the first section of a name counts: a second one given further
    // down is neither read nor written, as with the profile functions.
    std::size_t end = i + 1;
    while (end < lines_.size() && !ParseSectionHeader(lines_[end], &name)) ++end;
    *span = Span{i, end};
    return true;
  }
  return false;
}

bool ProfileText::FindKey(const Span& span, const std::string& key, std::size_t* line) const {
  std::string name;
  std::size_t valueStart = 0;
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    if (ParseKeyLine(lines_[i], &name, &valueStart) && SameName(name, key)) {
      *line = i;
      return true;
    }
  }
  return false;
}

std::string ProfileText::Read(const std::string& section, const std::string& key,
                              const std::string& def) const {
  Span span{};
  std::size_t at = 0;
  std::string name;
  std::size_t valueStart = std::string::npos;
  if (FindSection(section, &span) && FindKey(span, key, &at)) {
    ParseKeyLine(lines_[at], &name, &valueStart);
  }
  if (valueStart == std::string::npos) {
    // The profile functions strip trailing spaces from the default.
    std::string value = def;
    while (!value.empty() && value.back() == ' ') value.pop_back();
    CutAt(&value, kProfileValueLimit);
    return value;
  }
  std::string value = Trim(lines_[at], valueStart, lines_[at].size());
  // Quotes let a value keep blanks at its ends; one pair is taken off, so
  // ""a"" reads as "a". A lone or unmatched quote stays.
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  // The caller of the real function sees a C string.
  const std::size_t nul = value.find('\0');
  if (nul != std::string::npos) value.resize(nul);
  CutAt(&value, kProfileValueLimit);
  return value;
}

void ProfileText::Write(const std::string& section, const std::string& key,
                        const std::string& value) {
  Span span{};
  if (!FindSection(section, &span)) {
    InsertLine(lines_.size(), "[" + section + "]");
    InsertLine(lines_.size(), key + "=" + value);
    return;
  }
  std::size_t at = 0;
  if (FindKey(span, key, &at)) {
    std::string name;
    std::size_t valueStart = 0;
    ParseKeyLine(lines_[at], &name, &valueStart);
    SetLine(at, name + "=" + value);
    return;
  }
  // After the section's last non-blank line, so that the blank lines that
  // set it off from the next section stay after it.
  std::size_t last = span.header;
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    if (!IsBlankLine(lines_[i])) last = i;
  }
  InsertLine(last + 1, key + "=" + value);
}

std::string ProfileText::Render() const {
  // A file in the system code page stays in it while every line written
  // fits; a line that does not makes the whole file UTF-8, which the mark
  // tells every later reader.
  Encoding encoding = encoding_;
  std::string ansi;
  for (std::size_t i = 0; i < lines_.size() && encoding == Encoding::kAnsi; ++i) {
    if (!sources_[i] && !Utf8ToSystemExact(lines_[i], &ansi)) encoding = Encoding::kUtf8;
  }
  std::string bytes;
  switch (encoding) {
    case Encoding::kAnsi: break;
    case Encoding::kUtf8: bytes = kUtf8Mark; break;
    case Encoding::kUtf16Le: bytes = kUtf16LeMark; break;
    case Encoding::kUtf16Be: bytes = kUtf16BeMark; break;
  }
  const std::string lineEnd = Encode("\r\n", encoding);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    bytes += sources_[i] && encoding == encoding_ ? *sources_[i] : Encode(lines_[i], encoding);
    bytes += lineEnd;
  }
  return bytes;
}

bool ParseProfileInteger(const std::string& text, std::int32_t* value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  bool signed_ = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    signed_ = true;
    ++i;
  }
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  // Unsigned hexadecimal may use all 32 bits ($FFFFFFFF is -1); anything
  // with a sign must fit as it stands.
  const std::uint64_t limit = hex && !signed_ ? 0xFFFFFFFFull
                              : negative      ? 0x80000000ull
                                              : 0x7FFFFFFFull;
  std::uint64_t magnitude = 0;
  std::size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    const char c = text[i];
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    magnitude = magnitude * (hex ? 16 : 10) + digit;
    if (magnitude > limit) return false;
  }
  if (digits == 0) return false;
  const std::uint32_t bits = static_cast<std::uint32_t>(negative ? (0 - magnitude) : magnitude);
  *value = static_cast<std::int32_t>(bits);
  return true;
}

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
  std::string bytes;
  try {
    if (ReadWholeFile(path_, &bytes)) text_ = ProfileText(bytes);
  } catch (const Error&) {
    unreadable_ = true;
  }
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def) const {
  return text_.Read(section, key, def);
}

std::int32_t ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                                      std::int32_t def) const {
  std::int32_t value = 0;
  return ParseProfileInteger(text_.Read(section, key, ""), &value) ? value : def;
}

bool ProfileFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
  text_.Write(section, key, value);
}

void ProfileFile::WriteInteger(const std::string& section, const std::string& key,
                               std::int32_t value) {
  text_.Write(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  text_.Write(section, key, value ? "1" : "0");
}

void ProfileFile::Save() const {
  if (unreadable_) throw Error(kErrCannotWrite, path_);
  // The profile functions cannot open a read-only file for writing. The safe
  // write replaces the file by a rename, which the attribute does not stop
  // (nor does Wine running as root), so the attribute is looked at here.
  FoundEntry entry;
  if (FindFirstEntry(path_, &entry) && !entry.IsDirectory() && (entry.attributes & kAttrReadOnly) != 0) {
    throw Error(kErrCannotWrite, path_);
  }
  WriteFileSafely(path_, text_.Render());
}

}  // namespace platform

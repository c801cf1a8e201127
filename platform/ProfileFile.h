#pragma once
// Profile (ini) files, read and written the way GetPrivateProfileStringA and
// WritePrivateProfileStringA treat the forms a person types by hand, with one
// difference: the file is edited in memory and saved whole and safely, so a
// failed save never leaves half a file behind.
//
// Names and values are UTF-8, as all text inside; only ASCII letters of
// names compare without regard to case.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The longest value a read gives: what a 2048-unit buffer holds.
inline constexpr std::size_t kProfileValueLimit = 2047;

// The lines of one profile file, with the lookups and edits of the profile
// functions. No file system, so it runs anywhere and under a fuzzer.
//
// A file that starts with a byte-order mark (UTF-16 little- or big-endian,
// UTF-8) is read and kept in that encoding, mark included; any other is text
// of the system code page, and stays so while every line written fits it:
// one that does not turns the whole file into UTF-8 with a mark. A line that
// is not written to (or is written with the text it has) is saved exactly as
// it was read, unless the file changes encoding.
class ProfileText {
 public:
  ProfileText() = default;
  // Lines end in CR LF, a lone LF or a lone CR; the last may have no end.
  explicit ProfileText(const std::string& bytes);

  // The value of the key in the first section of that name, blanks around it
  // trimmed, one pair of enclosing quotes (" or ') removed, cut at a NUL and
  // at kProfileValueLimit (bytes of the system code page for a value it
  // holds, else UTF-16 units; never inside a character). Missing section or
  // key: def without its trailing spaces.
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& def) const;

  // Replaces the key's line where it stands (a line of the bare name, without
  // "=", counts as the key's), keeping the name as the file spells it; else
  // adds "key=value" after the last non-blank line of the first section of
  // that name; else appends the section at the end.
  void Write(const std::string& section, const std::string& key, const std::string& value);

  // Every line as it was read or written, each ended with CR LF, in the
  // file's encoding.
  std::string Render() const;

 private:
  enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };
  struct Span {
    std::size_t header;  // index of the section's header line
    std::size_t end;     // one past its last line
  };
  bool FindSection(const std::string& section, Span* span) const;
  bool FindKey(const Span& span, const std::string& key, std::size_t* line) const;
  void AddReadLine(std::string source);
  void SetLine(std::size_t at, std::string line);
  void InsertLine(std::size_t at, std::string line);
  static std::string Encode(const std::string& line, Encoding encoding);

  Encoding encoding_ = Encoding::kAnsi;  // as read
  std::vector<std::string> lines_;        // UTF-8
  // Beside each line: its bytes as read, until it is written. Bytes that
  // convert to nothing (a lone surrogate, a byte no character starts) survive
  // in the lines not edited.
  std::vector<std::optional<std::string>> sources_;
};

// The integer forms of a value: decimal with leading blanks and a sign, or
// hexadecimal after "$" or "0x" (up to 32 bits, so "$FFFFFFFF" is -1).
// False for anything else: empty, words, trailing characters, out of range.
bool ParseProfileInteger(const std::string& text, std::int32_t* value);

// One ini file: read once when made, edited in memory, saved whole.
class ProfileFile {
 public:
  // Reads the file now. A missing file reads as empty, and so does one that
  // exists but cannot be read (a folder, a file another program holds), as
  // with the profile functions; such a file is never saved over.
  explicit ProfileFile(std::string path);

  const std::string& Path() const { return path_; }
  // The file exists but could not be read: every read gives its default.
  bool Unreadable() const { return unreadable_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t def) const;
  // Read as an integer with the default 1 or 0; any integer but 0 is true.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // Writes the whole file: a new file beside the old, then put in its place
  // in one step. On failure the old file is as it was and Error
  // ("%s に書き込めません" with the full path) is raised. A file that could
  // not be read is not written at all (same error): whatever it holds was
  // never seen, and writing the edits alone would lose it. Nor is a file
  // with the read-only attribute.
  void Save() const;

 private:
  std::string path_;
  ProfileText text_;
  bool unreadable_ = false;
};

}  // namespace platform

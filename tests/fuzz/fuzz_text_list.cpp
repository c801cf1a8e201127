// Text list bytes in: lines, key-value lookups and quoted text must hold
// together on any input.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/TextList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const TLines lines = ParseTextList(bytes);
  const std::string written = FormatTextList(lines);
  // Lines written and read again are the same lines.
  if (ParseTextList(written) != lines) std::abort();
  // A library file reads back as the text it was written from, in either form.
  const std::string text = LibraryText(bytes);
  for (const bool unicode : {false, true}) {
    std::string encoded;
    EncodeLibraryText(text, unicode, &encoded);
    if (LibraryText(encoded) != text) std::abort();
  }
  TKeyValueList list(lines);
  const TKeyValueList reference(lines);
  // The in-place lookup of the track check answers as the list does, for
  // every key of the text and for each key in upper case.
  const TKeyValueLookup lookup(bytes);
  for (const std::string& line : lines) {
    std::string key, value;
    SplitKeyValue(line, &key, &value);
    std::string upper = key;
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    for (const std::string* probe : {&key, &upper}) {
      std::string_view found;
      const std::string expected = reference.Lookup(*probe);
      if (lookup.Find(*probe, &found) ? std::string(found) != expected : !expected.empty()) std::abort();
    }
    if (UnquotedText(QuotedText(line)) != line) std::abort();
    list.RemoveExact(key);
  }
  return 0;
}

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
  TKeyValueList list(lines);
  for (const std::string& line : lines) {
    std::string key, value;
    SplitKeyValue(line, &key, &value);
    list.Lookup(key);
    if (UnquotedText(QuotedText(line)) != line) std::abort();
    list.RemoveExact(key);
  }
  return 0;
}

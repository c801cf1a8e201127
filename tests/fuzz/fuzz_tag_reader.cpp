// File bytes in, tag record out: the reader must end, stay inside the bytes
// and never allocate from a declared size.
#include <cstdint>
#include <cstring>

#include "library/MP3Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMP3Tag reader;  // no notice handler: notices are dropped
  TMemoryTagSource source(data, size);
  TTag tag;
  reader.ReadTagFrom(source, "fuzz", &tag);
  // Everything handed out must be readable.
  volatile std::size_t sum = tag.Artist.size() + tag.Product.size() + Id3FieldText(tag.Id3.Artist, 30).size();
  (void)sum;
  return 0;
}

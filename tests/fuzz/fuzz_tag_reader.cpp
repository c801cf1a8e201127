// File bytes in, tag record out: the readers must end, stay inside the bytes
// and never allocate from a declared size; and the prefix that the ID3v2
// reader shares with the tag reader must not change what the tag reader sees.
#include <cstdint>
#include <cstring>

#include "library/Id3v2Tag.h"
#include "library/MP3Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMP3Tag reader;  // no notice handler: notices are dropped
  TMemoryTagSource source(data, size);
  TTag tag;
  reader.ReadTagFrom(source, "fuzz", &tag);
  // Everything handed out must be readable.
  volatile std::size_t sum = tag.Artist.size() + tag.Product.size() + Id3FieldText(tag.Id3.Artist, 30).size();
  (void)sum;
  // The prefix as a build reads it, and one so short that frames lie on
  // both sides of it.
  for (const std::size_t prefetch : {kTrackPrefixBytes, std::size_t{16}}) {
    TMemoryTagSource below(data, size);
    TPrefetchedTagSource prefetched(below, prefetch);
    TId3v2Text text;
    const bool read = ReadId3v2Text(prefetched, &text);
    sum = text.Artist.size() + text.Album.size();
    // Looking for the album artist too changes neither the artist nor the album.
    TId3v2Text more;
    if (ReadId3v2Text(prefetched, &more, true) != read || more.Artist != text.Artist || more.Album != text.Album) {
      __builtin_trap();
    }
    sum = more.Band.size() + more.AlbumArtistByName.size();
    prefetched.Seek(0, TTagSource::Origin::kBegin);
    TTag again;
    reader.ReadTagFrom(prefetched, "fuzz", &again);
    if (again.IsRiff != tag.IsRiff || again.HasTag != tag.HasTag || again.Artist != tag.Artist ||
        again.Product != tag.Product || std::memcmp(&again.Id3, &tag.Id3, sizeof tag.Id3) != 0) {
      __builtin_trap();
    }
  }
  return 0;
}

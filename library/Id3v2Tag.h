#pragma once
// The ID3v2 tag at the start of an MP3 file (versions 2.2, 2.3 and 2.4), read
// only for what the library groups by: the artist and the album. A reader of
// its own beside TMP3Tag, which keeps reading RIFF INFO and ID3v1 alone.
#include <cstddef>
#include <cstdint>
#include <string>

#include "library/MP3Tag.h"

// Bytes read from the start of a track in one call when ID3v2 tags are read:
// the RIFF header, the ID3v2 header and the text frames of the usual tag.
inline constexpr std::size_t kTrackPrefixBytes = 4096;

// A source whose first bytes are read in one call and served from memory,
// so that the RIFF test, the ID3v2 header and its first frames cost one read.
// Reads and seeks past them go to the source below; a seek from the end
// asks it only when the first read did not already reach the end.
class TPrefetchedTagSource : public TTagSource {
 public:
  TPrefetchedTagSource(TTagSource& inner, std::size_t prefetch);
  std::size_t Read(void* buffer, std::size_t count) override;
  bool Seek(std::int64_t offset, Origin origin) override;
  std::int64_t Position() const override;
  std::int64_t Size() const override;

  const std::string& Prefix() const { return prefix_; }
  // Whether the file holds at least `end` bytes; asks the source below only
  // when the prefix does not answer.
  bool Holds(std::int64_t end) const;

 private:
  TTagSource& inner_;
  std::string prefix_;
  bool whole_ = false;      // the prefix is the whole file
  bool delegated_ = false;  // after a seek from an unknown end: the source below holds the position
  std::int64_t position_ = 0;
  std::int64_t innerPosition_ = 0;
};

// The texts of one tag, in the inside form (UTF-8).
struct TId3v2Text {
  std::string Artist;  // TPE1 (2.2: TP1)
  std::string Album;   // TALB (2.2: TAL)
  // Read only when asked for: the album artist as taggers store it.
  std::string Band;               // TPE2 (2.2: TP2)
  std::string AlbumArtistByName;  // TXXX (2.2: TXX) described "ALBUM ARTIST" or "ALBUMARTIST", any case
  bool Compilation = false;       // TCMP (2.2: TCP) holding "1"
};

// Reads the ID3v2 tag at the start of the source. False, with both texts
// empty, when there is none or it is damaged: a size past the end of the
// file, a frame larger than what is left of the tag, a text in an unknown or
// broken encoding. The walk ends once both texts are found (and a TPE2 that
// is not blank, when `albumArtist` asks for the album artist's frames too);
// frames not wanted, compressed or encrypted are passed by their size.
bool ReadId3v2Text(TPrefetchedTagSource& source, TId3v2Text* text, bool albumArtist = false);

// A frame's text (its encoding byte first) in UTF-8: the first of its
// NUL-separated values. Encoding 0 is ISO-8859-1, unless Latin1LooksDoubleByte
// says the bytes are the system code page's double-byte text (Japanese
// taggers stored Shift-JIS there) and they convert exactly.
// False for an unknown encoding or a text that breaks its encoding.
bool DecodeId3v2Text(const unsigned char* data, std::size_t size, std::string* text);
// Whether an encoding-0 text is double-byte text of a code page with these
// lead bytes rather than ISO-8859-1: every lead byte has its trail (0x40 or
// above), one double-byte character at least, none from code page 932's
// vendor and user rows, no accented letter (0xC0-0xFF) read as a lead byte
// where a European word has one (before an ASCII letter at a word's start or
// after a letter; two of them between letters); and on code page 932 a byte
// 0x80-0x9F, a C1 control in ISO-8859-1, never a letter.
bool Latin1LooksDoubleByte(const unsigned char* p, std::size_t n, bool (*isLead)(unsigned char), bool codePage932);

#include "library/Id3v2Tag.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/Locale.h"

TPrefetchedTagSource::TPrefetchedTagSource(TTagSource& inner, std::size_t prefetch) : inner_(inner) {
  prefix_.resize(prefetch);
  prefix_.resize(inner_.Read(&prefix_[0], prefetch));
  innerPosition_ = static_cast<std::int64_t>(prefix_.size());
  // A short read of a file is its end.
  whole_ = prefix_.size() < prefetch;
}

std::size_t TPrefetchedTagSource::Read(void* buffer, std::size_t count) {
  if (delegated_) return inner_.Read(buffer, count);
  const std::int64_t held = static_cast<std::int64_t>(prefix_.size());
  std::size_t done = 0;
  if (position_ < held) {
    done = std::min(count, static_cast<std::size_t>(held - position_));
    std::memcpy(buffer, prefix_.data() + position_, done);
    position_ += static_cast<std::int64_t>(done);
  }
  if (done == count || whole_) return done;
  if (innerPosition_ != position_) {
    if (!inner_.Seek(position_, Origin::kBegin)) return done;
    innerPosition_ = position_;
  }
  const std::size_t more = inner_.Read(static_cast<char*>(buffer) + done, count - done);
  position_ += static_cast<std::int64_t>(more);
  innerPosition_ = position_;
  return done + more;
}

bool TPrefetchedTagSource::Seek(std::int64_t offset, Origin origin) {
  if (delegated_) return inner_.Seek(offset, origin);
  std::int64_t base = position_;
  if (origin == Origin::kBegin) {
    base = 0;
  } else if (origin == Origin::kEnd) {
    if (!whole_) {
      // The end is not known here: the source below finds it, and keeps the
      // position from now on.
      if (!inner_.Seek(offset, origin)) return false;
      delegated_ = true;
      return true;
    }
    base = static_cast<std::int64_t>(prefix_.size());
  }
  if (offset < 0 ? base < -offset : base > std::numeric_limits<std::int64_t>::max() - offset) return false;
  position_ = base + offset;
  return true;
}

std::int64_t TPrefetchedTagSource::Position() const { return delegated_ ? inner_.Position() : position_; }

std::int64_t TPrefetchedTagSource::Size() const {
  return whole_ ? static_cast<std::int64_t>(prefix_.size()) : inner_.Size();
}

bool TPrefetchedTagSource::Holds(std::int64_t end) const {
  if (end <= static_cast<std::int64_t>(prefix_.size())) return true;
  return !whole_ && end <= inner_.Size();
}

namespace {

// A text frame this large names nobody: it is passed over, not read.
constexpr std::uint32_t kMaxTextFrame = 1u << 16;

bool Syncsafe(const unsigned char* b, std::uint32_t* value) {
  if ((b[0] | b[1] | b[2] | b[3]) & 0x80) return false;
  *value = (std::uint32_t{b[0]} << 21) | (std::uint32_t{b[1]} << 14) | (std::uint32_t{b[2]} << 7) | b[3];
  return true;
}

std::uint32_t BigEndian(const unsigned char* b, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | b[i];
  return value;
}

// The bytes of the tag after its header, unsynchronisation undone where the
// whole tag is unsynchronised (2.2 and 2.3). Without it, passing over bytes
// is only a move of the position: a picture frame costs no read.
class TTagBody {
 public:
  TTagBody(TPrefetchedTagSource& source, std::int64_t begin, std::int64_t end, bool unsynchronised)
      : source_(source),
        prefixEnd_(static_cast<std::int64_t>(source.Prefix().size())),
        raw_(begin),
        end_(end),
        unsynchronised_(unsynchronised) {}

  // Bytes left in the file's form (an upper bound when unsynchronised).
  std::int64_t Left() const { return end_ - raw_; }

  bool Read(unsigned char* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      if (!Next(&out[i])) return false;
    }
    return true;
  }

  bool Skip(std::uint32_t count) {
    if (!unsynchronised_) {
      if (count > Left()) return false;
      raw_ += count;
      return true;
    }
    unsigned char b;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!Next(&b)) return false;
    }
    return true;
  }

 private:
  bool NextRaw(unsigned char* b) {
    if (raw_ >= end_) return false;
    if (raw_ < chunkStart_ || raw_ >= chunkStart_ + static_cast<std::int64_t>(chunkSize_)) {
      // A chunk within the prefix ends with it: the bytes after it are
      // fetched only when the walk gets there.
      const std::int64_t limit = raw_ < prefixEnd_ ? std::min(end_, prefixEnd_) : end_;
      const std::size_t wanted = static_cast<std::size_t>(std::min<std::int64_t>(sizeof chunk_, limit - raw_));
      if (!source_.Seek(raw_, TTagSource::Origin::kBegin)) return false;
      chunkStart_ = raw_;
      chunkSize_ = source_.Read(chunk_, wanted);
      if (chunkSize_ == 0) return false;
    }
    *b = chunk_[raw_ - chunkStart_];
    ++raw_;
    return true;
  }
  // $FF $00 stands for $FF.
  bool Next(unsigned char* b) {
    if (!NextRaw(b)) return false;
    if (unsynchronised_ && afterFF_ && *b == 0 && !NextRaw(b)) return false;
    afterFF_ = *b == 0xFF;
    return true;
  }

  TTagSource& source_;
  std::int64_t prefixEnd_;
  std::int64_t raw_;
  std::int64_t end_;
  bool unsynchronised_;
  bool afterFF_ = false;
  unsigned char chunk_[4096];
  std::int64_t chunkStart_ = 0;
  std::size_t chunkSize_ = 0;
};

void Resynchronise(std::vector<unsigned char>* data) {
  std::size_t out = 0;
  for (std::size_t i = 0; i < data->size(); ++i) {
    (*data)[out++] = (*data)[i];
    if ((*data)[i] == 0xFF && i + 1 < data->size() && (*data)[i + 1] == 0) ++i;
  }
  data->resize(out);
}

bool IsFrameIdByte(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool IsWellFormedUtf8(const unsigned char* p, std::size_t n) {
  for (std::size_t i = 0; i < n;) {
    char32_t code = 0;
    const std::size_t length = platform::DecodeUtf8(p + i, n - i, &code);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

// Whether the system's lead bytes are code page 932's (0x81-0x9F and
// 0xE0-0xFC, nothing between): then its vendors' and users' ranges are known.
bool SystemIsCodePage932() {
  static const bool is932 = [] {
    for (int b = 0x81; b <= 0xFF; ++b) {
      const bool lead = b <= 0x9F || (b >= 0xE0 && b <= 0xFC);
      if (platform::IsLeadByte(static_cast<unsigned char>(b)) != lead) return false;
    }
    return true;
  }();
  return is932;
}

// NEC row 13, the NEC-selected and IBM extensions and the user-defined rows.
bool IsVendorOrUserLead932(unsigned char lead) { return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xF0; }

}  // namespace

bool Latin1LooksDoubleByte(const unsigned char* p, std::size_t n, bool (*isLead)(unsigned char), bool codePage932) {
  const auto letter = [](unsigned char b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); };
  bool doubleByte = false, c1 = false;
  // The character before: none, an ASCII byte (a letter or not), or another.
  bool afterAscii = true, afterLetter = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] >= 0x80 && p[i] <= 0x9F) c1 = true;
    if (!isLead(p[i])) {
      afterAscii = p[i] < 0x80;
      afterLetter = letter(p[i]);
      continue;
    }
    if (i + 1 >= n || p[i + 1] < 0x40) return false;
    if (codePage932 && IsVendorOrUserLead932(p[i])) return false;
    const unsigned char lead = p[i], trail = p[i + 1];
    if (trail >= 0x80 && trail <= 0x9F) c1 = true;
    // An accented letter of ISO-8859-1 (0xC0-0xFF) before an ASCII letter at
    // a word's start or inside it ("Björk", "Élan", "Los Ángeles"), or two
    // of them (or one and a typographic quote) between letters ("Théâtre",
    // "Beyoncé’s"): a European word, not a double-byte character.
    if (lead >= 0xC0) {
      if (letter(trail) && afterAscii) return false;
      if (trail >= 0x80 && afterLetter && i + 2 < n && letter(p[i + 2])) return false;
    }
    doubleByte = true;
    afterAscii = afterLetter = false;
    ++i;
  }
  // Shift-JIS text nearly always holds a byte 0x80-0x9F (the kana's and the
  // common kanji's lead bytes, many trail bytes), which ISO-8859-1 never
  // uses for a letter: without one, code page 932 reads ISO-8859-1.
  return doubleByte && (!codePage932 || c1);
}

namespace {

// Encoding 0 is ISO-8859-1, but Japanese (and Chinese and Korean) taggers
// wrote the system's double-byte text there. Bytes are taken as that only
// when they can hardly be meant otherwise (Latin1LooksDoubleByte) and the
// whole converts exactly. A single-byte system has no lead bytes: always
// ISO-8859-1.
bool ReadsAsSystemDoubleByteText(const unsigned char* p, std::size_t n) {
  return Latin1LooksDoubleByte(p, n, platform::IsLeadByte, SystemIsCodePage932()) &&
         platform::IsExactSystemText(std::string(reinterpret_cast<const char*>(p), n));
}

std::string Latin1ToUtf8(const unsigned char* p, std::size_t n) {
  std::string out;
  out.reserve(n + n / 2);
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] < 0x80) {
      out += static_cast<char>(p[i]);
    } else {
      out += static_cast<char>(0xC0 | (p[i] >> 6));
      out += static_cast<char>(0x80 | (p[i] & 0x3F));
    }
  }
  return out;
}

}  // namespace

bool DecodeId3v2Text(const unsigned char* data, std::size_t size, std::string* text) {
  text->clear();
  if (size == 0) return true;
  const unsigned char encoding = data[0];
  const unsigned char* p = data + 1;
  std::size_t n = size - 1;
  if (encoding == 0 || encoding == 3) {
    const void* zero = std::memchr(p, 0, n);
    if (zero) n = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - p);
    if (encoding == 0) {
      *text = ReadsAsSystemDoubleByteText(p, n) ? platform::SystemToUtf8(std::string(reinterpret_cast<const char*>(p), n))
                                                : Latin1ToUtf8(p, n);
      return true;
    }
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) p += 3, n -= 3;
    if (!IsWellFormedUtf8(p, n)) return false;
    text->assign(reinterpret_cast<const char*>(p), n);
    return true;
  }
  if (encoding != 1 && encoding != 2) return false;
  bool bigEndian = encoding == 2;
  if (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
    bigEndian = p[0] == 0xFE;
    p += 2, n -= 2;
  } else if (encoding == 1 && n > 0) {
    return false;  // UTF-16 whose byte order is not told
  }
  std::u16string wide;
  // A last odd byte is no character: it is passed over.
  for (std::size_t i = 0; i + 1 < n; i += 2) {
    const char16_t unit = bigEndian ? static_cast<char16_t>(p[i] << 8 | p[i + 1])
                                    : static_cast<char16_t>(p[i + 1] << 8 | p[i]);
    if (unit == 0) break;
    wide.push_back(unit);
  }
  *text = platform::Utf16ToUtf8(wide);
  return true;
}

namespace {

bool HasNonBlank(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 32; });
}

bool IsAlbumArtistDescription(const std::string& description) {
  std::string upper;
  for (const char c : description) upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  return upper == "ALBUM ARTIST" || upper == "ALBUMARTIST";
}

// A TXXX frame: its encoding byte, a description ended in that encoding, the
// value. False when either breaks its encoding.
bool DecodeUserText(const std::vector<unsigned char>& data, std::string* description, std::string* value) {
  description->clear();
  value->clear();
  if (data.empty()) return true;
  const unsigned char encoding = data[0];
  const bool wide = encoding == 1 || encoding == 2;
  std::size_t end = 1;
  while (end < data.size()) {
    if (!wide && data[end] == 0) break;
    if (wide && end + 1 < data.size() && data[end] == 0 && data[end + 1] == 0) break;
    end += wide ? 2 : 1;
  }
  if (!DecodeId3v2Text(data.data(), std::min(end, data.size()), description)) return false;
  const std::size_t valueAt = std::min(data.size(), end + (wide ? 2 : 1));
  std::vector<unsigned char> rest{encoding};
  rest.insert(rest.end(), data.begin() + static_cast<std::ptrdiff_t>(valueAt), data.end());
  return DecodeId3v2Text(rest.data(), rest.size(), value);
}

}  // namespace

bool ReadId3v2Text(TPrefetchedTagSource& source, TId3v2Text* text, bool albumArtist) {
  *text = TId3v2Text();
  unsigned char header[10];
  if (!source.Seek(0, TTagSource::Origin::kBegin) || source.Read(header, sizeof header) != sizeof header) return false;
  if (std::memcmp(header, "ID3", 3) != 0) return false;
  const int version = header[3];
  const unsigned char flags = header[5];
  std::uint32_t size = 0;
  if (version < 2 || version > 4 || header[4] == 0xFF || !Syncsafe(header + 6, &size)) return false;
  // No compression of a 2.2 tag was ever defined: nothing in it can be read.
  if (version == 2 && (flags & 0x40)) return false;
  const std::int64_t end = 10 + static_cast<std::int64_t>(size);
  if (!source.Holds(end)) return false;

  TTagBody body(source, 10, end, version < 4 && (flags & 0x80));
  if (version >= 3 && (flags & 0x40)) {
    unsigned char sizeBytes[4];
    if (!body.Read(sizeBytes, 4)) return false;
    std::uint32_t extended = 0;
    if (version == 3) {
      extended = BigEndian(sizeBytes, 4);  // the bytes after the size
    } else {
      if (!Syncsafe(sizeBytes, &extended) || extended < 6) return false;  // the size counts itself
      extended -= 4;
    }
    if (!body.Skip(extended)) return false;
  }

  const int headerSize = version == 2 ? 6 : 10;
  const int idSize = version == 2 ? 3 : 4;
  const char* const artistId = version == 2 ? "TP1" : "TPE1";
  const char* const albumId = version == 2 ? "TAL" : "TALB";
  const char* const bandId = version == 2 ? "TP2" : "TPE2";
  const char* const userTextId = version == 2 ? "TXX" : "TXXX";
  const char* const compilationId = version == 2 ? "TCP" : "TCMP";
  bool artistFound = false, albumFound = false;
  // The album artist's frames count only when asked for; a blank TPE2 lets
  // a TXXX speak, so the walk goes on past it.
  bool bandFound = !albumArtist, userTextFound = !albumArtist, compilationFound = !albumArtist;
  // A text found before the damage does not count either; but damage met
  // only because the album artist's frames were looked for changes nothing
  // that the walk without them gives.
  const auto fail = [&] {
    if (albumArtist && artistFound && albumFound) return true;
    *text = TId3v2Text();
    return false;
  };
  std::vector<unsigned char> data;
  while (!(artistFound && albumFound && bandFound) && body.Left() >= headerSize) {
    unsigned char frame[10];
    if (!body.Read(frame, static_cast<std::size_t>(headerSize))) return fail();
    // Zero bytes are the padding; anything else that is no frame id is
    // taken as padding too (taggers have left junk there).
    if (!std::all_of(frame, frame + idSize, IsFrameIdByte)) break;
    std::uint32_t frameSize = 0;
    if (version == 2) {
      frameSize = BigEndian(frame + 3, 3);
    } else if (version == 3) {
      frameSize = BigEndian(frame + 4, 4);
    } else if (!Syncsafe(frame + 4, &frameSize)) {
      return fail();
    }
    if (frameSize > body.Left()) return fail();
    const unsigned char format = version == 2 ? 0 : frame[9];
    const bool isArtist = std::memcmp(frame, artistId, idSize) == 0 && !artistFound;
    const bool isAlbum = std::memcmp(frame, albumId, idSize) == 0 && !albumFound;
    const bool isBand = std::memcmp(frame, bandId, idSize) == 0 && !bandFound;
    const bool isUserText = std::memcmp(frame, userTextId, idSize) == 0 && !userTextFound;
    const bool isCompilation = std::memcmp(frame, compilationId, idSize) == 0 && !compilationFound;
    const bool compressedOrEncrypted = version == 3 ? (format & 0xC0) != 0 : version == 4 && (format & 0x0C) != 0;
    if (!(isArtist || isAlbum || isBand || isUserText || isCompilation) || compressedOrEncrypted ||
        frameSize > kMaxTextFrame) {
      if (!body.Skip(frameSize)) return fail();
      continue;
    }
    data.resize(frameSize);
    if (frameSize > 0 && !body.Read(data.data(), frameSize)) return fail();
    // What the format flags put before the text: a group id (2.3 and 2.4),
    // and in 2.4 the data length, after which the frame may be
    // unsynchronised on its own.
    std::size_t skip = 0;
    if (version == 3 && (format & 0x20)) skip += 1;
    if (version == 4 && (format & 0x40)) skip += 1;
    if (version == 4 && (format & 0x01)) skip += 4;
    if (skip > data.size()) {
      if (isArtist || isAlbum) return fail();
      continue;  // an extra frame of the album artist's: passed over, as without them
    }
    data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(skip));
    if (version == 4 && ((format & 0x02) || (flags & 0x80))) Resynchronise(&data);
    std::string decoded;
    if (isUserText) {
      std::string description;
      // Other TXXX frames are someone else's, and so is one that breaks its
      // encoding: the walk looks on.
      if (DecodeUserText(data, &description, &decoded) && IsAlbumArtistDescription(description) &&
          HasNonBlank(decoded)) {
        text->AlbumArtistByName = std::move(decoded);
        userTextFound = true;
      }
      continue;
    }
    if (!DecodeId3v2Text(data.data(), data.size(), &decoded)) {
      if (isArtist || isAlbum) return fail();
      // The album artist's frames are extras: a broken one is passed over
      // and leaves the artist and the album as they are.
      continue;
    }
    if (isBand) {
      // A blank one is none: a TXXX may still name the album artist.
      if (HasNonBlank(decoded)) {
        text->Band = std::move(decoded);
        bandFound = true;
      }
    } else if (isCompilation) {
      const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
      decoded.erase(decoded.begin(), std::find_if_not(decoded.begin(), decoded.end(), blank));
      while (!decoded.empty() && blank(decoded.back())) decoded.pop_back();
      text->Compilation = decoded == "1";
      compilationFound = true;
    } else if (isArtist) {
      text->Artist = std::move(decoded);
      artistFound = true;
    } else {
      text->Album = std::move(decoded);
      albumFound = true;
    }
  }
  return true;
}

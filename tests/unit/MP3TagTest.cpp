// The tag reader on every layout it knows, on damaged files and on the corpus.
#include "library/MP3Tag.h"

#include <filesystem>

#include "LibraryTestSupport.h"
#include "platform/Error.h"

namespace {

using libtest::Chunk;
using libtest::Le32;
using libtest::Rmp3;

class MP3TagTest : public libtest::LibraryFixture {
 protected:
  TTag Read(const std::string& bytes, const std::string& name = "D:\\Music\\t.mp3") {
    Put(name, bytes);
    TTag tag;
    reader.ReadTag(name, &tag);
    return tag;
  }
  static std::string Block(const TTag& tag) { return std::string(reinterpret_cast<const char*>(&tag.Id3), 128); }
  TMP3Tag reader;
};

TEST_F(MP3TagTest, TrailerOfAPlainFileIsTheLast128Bytes) {
  const std::string block = libtest::Id3v1("Band A", "First", "Song");
  const TTag tag = Read(std::string(500, 'x') + block);
  EXPECT_FALSE(tag.IsRiff);
  EXPECT_TRUE(tag.HasTag);
  EXPECT_EQ(Block(tag), block);
  EXPECT_EQ(Id3FieldText(tag.Id3.Artist, 30), "Band A");
  EXPECT_TRUE(tag.Artist.empty());
  EXPECT_TRUE(tag.Product.empty());
  EXPECT_EQ(reader.FileName, "D:\\Music\\t.mp3");
}

TEST_F(MP3TagTest, WithoutTrailerTheLastBytesAreStillKept) {
  std::string block(128, 'q');
  const TTag tag = Read(std::string(300, 'x') + block);
  EXPECT_FALSE(tag.HasTag);
  EXPECT_EQ(Block(tag), block);
  // RIFF of another form (a wave file) is any other file.
  const std::string wave = "RIFF" + Le32(400) + "WAVE" + std::string(300, '\0') + libtest::Id3v1("W", "V");
  const TTag waveTag = Read(wave);
  EXPECT_FALSE(waveTag.IsRiff);
  EXPECT_TRUE(waveTag.HasTag);
}

TEST_F(MP3TagTest, InfoSubChunksFollowTheirSizesAndPadBytes) {
  struct Case {
    const char* what;
    std::string subChunks;
    std::string artist;
    std::string product;
  } cases[] = {
      {"odd size with its zero: text and pad skipped", "IART" + Le32(5) + std::string("ABCD\0\0", 6) + Chunk("IPRD", std::string("Alb\0", 4)), "ABCD", "Alb"},
      {"even size without a zero: last byte dropped", Chunk("IART", "ABCD") + Chunk("IPRD", std::string("X\0", 2)), "ABC", "X"},
      {"unknown id between two is skipped", Chunk("IART", std::string("A\0", 2)) + Chunk("JUNK", "12345") + Chunk("IPRD", std::string("P\0", 2)), "A", "P"},
      {"size 0 reads nothing, size 1 eats its pad", Chunk("IART", "") + Chunk("IPRD", "Z") + Chunk("ICMT", std::string("c\0", 2)), "", ""},
      {"a later sub-chunk of the same id wins", Chunk("IART", std::string("one\0", 4)) + Chunk("IART", std::string("two\0", 4)), "two", ""},
      {"zero bytes inside the text stay", Chunk("IART", std::string("a\0b\0", 4)), std::string("a\0b", 3), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TTag tag = Read(Rmp3(c.subChunks));
    EXPECT_TRUE(tag.IsRiff);
    EXPECT_FALSE(tag.HasTag);
    EXPECT_EQ(tag.Artist, c.artist);
    EXPECT_EQ(tag.Product, c.product);
  }
  const TTag sizes = Read(Rmp3(Chunk("IPRD", "Z") + Chunk("ICMT", std::string("c\0", 2))));
  EXPECT_EQ(sizes.Comment, "c");
}

TEST_F(MP3TagTest, EveryTextIdFillsItsField) {
  const char* ids[] = {"INAM", "IART", "IPRD", "ICMT", "ICRD", "IGNR", "ICOP", "IENG", "ISRC",
                       "ISFT", "IKEY", "ITCH", "ILYC", "ICMS", "IMED", "ISBJ", "IMP3"};
  std::string subChunks;
  for (const char* id : ids) subChunks += Chunk(id, std::string(id) + "!" + std::string(1, '\0'));
  const TTag tag = Read(Rmp3(subChunks));
  const std::string* fields[] = {&tag.Name, &tag.Artist, &tag.Product, &tag.Comment, &tag.CreationDate,
                                 &tag.Genre, &tag.Copyright, &tag.Engineer, &tag.Source, &tag.Software,
                                 &tag.Keywords, &tag.Technician, &tag.Lyrics, &tag.Commissioned,
                                 &tag.Medium, &tag.Subject, &tag.Mp3Info};
  for (std::size_t i = 0; i < 17; ++i) EXPECT_EQ(*fields[i], std::string(ids[i]) + "!");
}

TEST_F(MP3TagTest, Id3SubChunkGivesTheBlockAndTrailingBlockIsNotRead) {
  const std::string block = libtest::Id3v1("Riff Artist", "Riff Album");
  const TTag inner = Read(Rmp3(Chunk("IID3", block)));
  EXPECT_TRUE(inner.IsRiff);
  EXPECT_TRUE(inner.HasTag);
  EXPECT_EQ(Block(inner), block);
  // An ID3v1 block after the LIST is walked as a sub-chunk, never as a tag.
  const TTag trailing = Read(Rmp3(Chunk("IART", std::string("A\0", 2))) + libtest::Id3v1("X", "Y"));
  EXPECT_TRUE(trailing.IsRiff);
  EXPECT_FALSE(trailing.HasTag);
  EXPECT_EQ(trailing.Artist, "A");
  EXPECT_EQ(Block(trailing), std::string(128, '\0'));
}

TEST_F(MP3TagTest, MissingListSendsTheNoticeThenGivesTheEmptyRecord) {
  std::vector<std::string> notices;
  reader.OnNotice = [&](const platform::Message& notice) { notices.push_back(notice.Utf8()); };
  std::string noList = "RIFF" + Le32(200) + "RMP3" + "data" + Le32(10) + std::string(10, '\0') + "JUNK" + std::string(8, '\0') +
                       libtest::Id3v1("A", "B");
  const TTag tag = Read(noList, "D:\\Music\\nolist.rmp");
  EXPECT_FALSE(tag.IsRiff);
  EXPECT_FALSE(tag.HasTag);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "LISTチャンクを識別できません。スキップします。\r\nD:\\Music\\nolist.rmp");
  // An audio chunk whose size points past the end: the same notice.
  const TTag past = Read("RIFF" + Le32(200) + "RMP3" + "data" + Le32(0xFFFFFFFFu) + std::string(40, '\0'));
  EXPECT_FALSE(past.IsRiff);
  EXPECT_EQ(notices.size(), 2u);
  // The library itself shows nothing.
  EXPECT_TRUE(sim::JournalLines("msgbox").empty());
}

TEST_F(MP3TagTest, SizesPastTheEndNeverReadOrAllocateBeyondTheFile) {
  // A text sub-chunk claiming 4 GiB: its text is the bytes that are there.
  const TTag text = Read(Rmp3("IART" + Le32(0xFFFFFFFFu) + "tail") + "");
  EXPECT_TRUE(text.IsRiff);
  EXPECT_EQ(text.Artist, "tail");
  // size + 1 would wrap to 0 in 32 bits: the skip must not stay in place.
  const TTag skip = Read(Rmp3("JUNK" + Le32(0xFFFFFFFFu) + Chunk("IART", std::string("no\0", 3))));
  EXPECT_TRUE(skip.IsRiff);
  EXPECT_EQ(skip.Artist, "");
  // A sub-chunk header cut short ends the walk.
  const TTag cut = Read(Rmp3(Chunk("IART", std::string("ok\0", 3)) + "IPR"));
  EXPECT_EQ(cut.Artist, "ok");
  EXPECT_EQ(sim::JournalLines("msgbox").size(), 0u);
}

TEST_F(MP3TagTest, ShortFilesAreNeverRiffAndFillTheBlockFromWhereTheHeaderStopped) {
  Read(Rmp3(Chunk("IART", std::string("A\0", 2))));
  const TTag tiny = Read("RIFF");
  EXPECT_FALSE(tiny.IsRiff);
  EXPECT_EQ(Block(tiny), std::string(128, '\0'));
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += static_cast<char>('A' + i % 26);
  const TTag shortTag = Read(fifty);
  EXPECT_EQ(Block(shortTag), fifty.substr(12) + std::string(128 - 38, '\0'));
  const TTag exactly = Read(std::string("TAG") + std::string(125, 'z'));
  EXPECT_TRUE(exactly.HasTag);
}

TEST_F(MP3TagTest, NoFileOrAFolderGivesTheEmptyRecordQuietly) {
  TTag tag;
  tag.Artist = "stale";
  reader.ReadTag("D:\\Music\\none.mp3", &tag);
  EXPECT_TRUE(tag.Artist.empty());
  EXPECT_FALSE(tag.HasTag);
  reader.ReadTag("D:\\Music", &tag);
  EXPECT_FALSE(tag.IsRiff);
  EXPECT_TRUE(sim::Journal().empty());
}

TEST_F(MP3TagTest, AFileThatCannotBeOpenedRaisesAndLeavesTheCallersRecord) {
  Read(libtest::Mp3WithTag("A", "B"));
  sim::LockFile("D:\\Music\\t.mp3");
  TTag tag;
  tag.Artist = "mine";
  EXPECT_THROW(reader.ReadTag("D:\\Music\\t.mp3", &tag), platform::Error);
  EXPECT_EQ(tag.Artist, "mine");
  EXPECT_FALSE(reader.Tag.HasTag);
}

TEST_F(MP3TagTest, MemorySourceGivesTheSameRecordAsTheFile) {
  const std::string bytes = Rmp3(Chunk("IART", std::string("Mem\0", 4)) + Chunk("IID3", libtest::Id3v1("a", "b")));
  const TTag fromFile = Read(bytes);
  TMemoryTagSource source(bytes.data(), bytes.size());
  TTag fromMemory;
  reader.ReadTagFrom(source, "mem", &fromMemory);
  EXPECT_EQ(fromMemory.Artist, fromFile.Artist);
  EXPECT_EQ(Block(fromMemory), Block(fromFile));
}

// The corpus: no crash, no hang, and for every file that is not RIFF "RMP3"
// the block is the file's last 128 bytes as a plain stream read gives them.
TEST_F(MP3TagTest, CorpusFilesReadLikeAnIndependentReader) {
  int withTrailer = 0;
  for (const auto& e : std::filesystem::directory_iterator(KELVANE_CORPUS)) {
    if (!e.is_regular_file()) continue;
    SCOPED_TRACE(e.path().string());
    std::ifstream in(e.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // Through the file system, as the library reads tracks.
    const std::string name = "D:\\Corpus\\" + e.path().filename().string();
    Put(name, bytes);
    TTag tag;
    reader.ReadTag(name, &tag);
    const bool rmp3 = bytes.size() >= 12 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "RMP3") == 0;
    if (rmp3 || bytes.size() < 128) continue;
    const std::string last = bytes.substr(bytes.size() - 128);
    EXPECT_EQ(Block(tag), last);
    EXPECT_EQ(tag.HasTag, last.compare(0, 3, "TAG") == 0);
    if (tag.HasTag) {
      ++withTrailer;
      EXPECT_EQ(Id3FieldText(tag.Id3.Artist, 30), std::string(last.data() + 33, strnlen(last.data() + 33, 30)));
    }
  }
  EXPECT_GT(withTrailer, 0);
}

}  // namespace

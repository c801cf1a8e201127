// The tag reader's notice travels from a running update up to the window
// program, which shows the box the user has always seen.
#include "MainTestSupport.h"
#include "library/LibraryUpdate.h"
#include "library/MP3Tag.h"

namespace kvtest {
namespace {

std::string Le32(std::uint32_t v) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return bytes;
}

// The window program's progress as far as notices go: the dialog owns the box.
class BoxProgress : public TUpdateProgress {
 public:
  BoxProgress(TMain& main, platform::WindowHandle dialog) : main_(main), dialog_(dialog) {}
  void AddOne(TUpdateCounter counter) override { ++counts[static_cast<int>(counter)]; }
  void ShowNotice(const std::string& text) override { main_.ShowLibraryNotice(dialog_, text); }
  int counts[4] = {0, 0, 0, 0};

 private:
  TMain& main_;
  platform::WindowHandle dialog_;
};

class LibraryNoticeTest : public MainFixture {};

TEST_F(LibraryNoticeTest, AnRmp3WithoutItsListIsShownOverTheDialogAndTheUpdateGoesOnAfterOk) {
  TMain& m = Bare();
  const std::string noList = "RIFF" + Le32(40) + "RMP3" + "data" + Le32(4) + "abcd" + "JUNK" + Le32(0);
  WriteFile("D:\\Music\\broken.rmp", noList);
  WriteFile("D:\\Music\\late.mp3", std::string(200, 'x'));
  WriteFile("D:\\Lists\\Mixed.m3u", "D:\\Music\\broken.rmp\r\nD:\\Music\\late.mp3\r\n");
  // Each box answers only once the test has seen what came before it: the
  // update must be waiting on the box, not running past it.
  std::vector<std::string> seenAtBox;
  sim::SetMessageBoxHook([&](const std::string&) {
    seenAtBox.push_back(std::to_string(platform::FileExists("C:\\Kelvane\\playlist.log")));
  });

  TLibraryContext context;
  context.AppDir = m.Info.AppDir;
  BoxProgress progress(m, 4711);
  TLibraryUpdate update(context, progress);
  std::string folder = "D:\\Lists";
  EXPECT_EQ(update.Run(&folder), TLibraryUpdate::Outcome::Done);

  EXPECT_EQ(sim::JournalLines("msgbox"),
            (std::vector<std::string>{std::string("msgbox 4711 0 Kelvane|") + kListChunkMissing +
                                      "\r\nD:\\Music\\broken.rmp"}));
  EXPECT_EQ(seenAtBox, (std::vector<std::string>{"0"}));
  EXPECT_EQ(progress.counts[static_cast<int>(TUpdateCounter::Added)], 1);
}

}  // namespace
}  // namespace kvtest

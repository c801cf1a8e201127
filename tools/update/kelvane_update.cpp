// kelvane-update [--check-mp3] [--id3v2 [--album-artist]] [--utf8] <AppDir> <PlayListPath>
// Runs one whole library update (--check-mp3, --id3v2, --album-artist and
// --utf8 as the settings CheckMP3OnUpdate, ReadID3v2, GroupByAlbumArtist and
// UnicodeLibrary) and prints the four counters and the time taken. Exit
// status: 0 done, 1 done with failures (listed on stderr), 2 the arguments
// are wrong (AppDir empty or relative, --album-artist without --id3v2), or the playlist folder is
// missing or is the library's own cache folder. On POSIX the paths are
// Windows paths mapped under $KELVANE_FS_ROOT.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "library/LibraryUpdate.h"
#include "library/PathText.h"
#include "platform/Console.h"
#include "platform/Locale.h"

namespace {

void PrintText(std::FILE* out, const std::string& utf8) { platform::WriteConsoleText(out, utf8); }

void PrintMessage(std::FILE* out, const platform::Message& message) {
  PrintText(out, message.Utf8() + "\n");
}

// The counters are printed at the end; failures are kept to be listed after
// the run, not interleaved with it.
class TConsoleProgress : public TUpdateProgress {
 public:
  void AddOne(TUpdateCounter counter) override { ++counts_[static_cast<int>(counter)]; }
  void ReportFailure(const platform::Message& failure) override { Failures.push_back(failure); }
  // A scheduled task has nobody to close a box: the notice is printed and the
  // update goes on, as after "OK".
  void ShowNotice(const platform::Message& notice) override { PrintMessage(stderr, notice); }
  int Count(TUpdateCounter counter) const { return counts_[static_cast<int>(counter)]; }

  std::vector<platform::Message> Failures;

 private:
  int counts_[4] = {0, 0, 0, 0};
};

int Usage() {
  std::fprintf(stderr,
               "usage: kelvane-update [--check-mp3] [--id3v2 [--album-artist]] [--utf8] <AppDir> <PlayListPath>\n");
  return 2;
}

int RunUpdate(const std::vector<std::string>& argv) {
  const int argc = static_cast<int>(argv.size());
  bool checkMp3 = false, id3v2 = false, albumArtist = false, utf8 = false;
  int first = 1;
  for (; first < argc && argv[first].rfind("--", 0) == 0; ++first) {
    if (argv[first] == "--check-mp3") {
      checkMp3 = true;
    } else if (argv[first] == "--id3v2") {
      id3v2 = true;
    } else if (argv[first] == "--album-artist") {
      albumArtist = true;
    } else if (argv[first] == "--utf8") {
      utf8 = true;
    } else {
      return Usage();
    }
  }
  if (argc - first != 2) return Usage();
  // The album artist is read from ID3v2 tags: without them the option would
  // silently do nothing.
  if (albumArtist && !id3v2) {
    PrintText(stderr, "--album-artist needs --id3v2: the album artist is read from ID3v2 tags\n");
    return Usage();
  }
  const std::string appDir = argv[first];
  // The library files go under AppDir: a relative one would put them
  // wherever the process happens to stand ("" even at a drive's root).
  if (!IsAbsolutePath(appDir)) {
    PrintText(stderr, "AppDir must be an absolute path: '" + appDir + "'\n");
    return Usage();
  }

  TLibraryContext context;
  context.AppDir = appDir;
  if (context.AppDir.empty() || context.AppDir.back() != '\\') context.AppDir += '\\';
  context.CheckMP3OnUpdate = checkMp3;
  context.ReadID3v2 = id3v2;
  context.GroupByAlbumArtist = albumArtist;
  context.UnicodeLibrary = utf8;
  std::string playListPath = argv[first + 1];

  TConsoleProgress progress;
  TLibraryUpdate update(context, progress);
  const auto start = std::chrono::steady_clock::now();
  const TLibraryUpdate::Outcome outcome = update.Run(&playListPath);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  if (outcome == TLibraryUpdate::Outcome::FolderMissing) {
    PrintText(stderr, "playlist folder not found: " + playListPath + "\n");
    return 2;
  }
  if (outcome == TLibraryUpdate::Outcome::FolderIsCache) {
    PrintText(stderr, "the playlist folder is the library's own cache folder (" + context.AppDir +
                          "playlist): choose another\n");
    return 2;
  }
  for (const platform::Message& failure : progress.Failures) PrintMessage(stderr, failure);
  std::printf("skipped %d\nupdated %d\nadded %d\ndeleted %d\ntime %.3f s\n",
              progress.Count(TUpdateCounter::Skipped), progress.Count(TUpdateCounter::Updated),
              progress.Count(TUpdateCounter::Added), progress.Count(TUpdateCounter::Deleted), seconds);
  return outcome == TLibraryUpdate::Outcome::Done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return RunUpdate(platform::CommandLineArguments(argc, argv));
  } catch (const std::exception& e) {
    // Whatever the update did not survive is named, not left to the runtime.
    PrintText(stderr, std::string("kelvane-update: the update stopped: ") + e.what() + "\n");
    return 1;
  }
}

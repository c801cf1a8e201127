// kelvane-bench [--smoke] [--targets-only] [--rounds n] [--dir <folder>] [--id3v2 tracks] [--id3v2-only]
//               [tracks...]
// Generates a library (200 playlists over N tracks of a few KiB with ID3v1
// trailers, plus one playlist of all N tracks with 2,000 artists and 4,000
// albums) and times, in the same run, each library operation beside its
// floor: a bare loop of the file calls that cannot be avoided, made in the
// system's own calls (BenchSystem_*.cpp). Every figure and its floor are
// taken three times (the unchanged update at least five), alternating, and
// the best of each kept.
// Then the ID3v2 option, on and off, on a library of the first size (or
// --id3v2's) whose tracks carry ID3v2 tags; --id3v2-only runs only that.
// Last the Unicode library (UTF-8, ".m3u8") beside the same library in the
// code page, on a library of the first size.
// --targets-only: only the figures that have targets (for long runs).
// --smoke: one small library of 10 playlists, one round, targets not judged
// (for the tests).
// Exit status: 0 targets met, 1 a target missed, 2 the library gave wrong
// counts (a fault, not a matter of speed).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSystem.h"
#include "library/LibraryUpdate.h"
#include "library/MP3Tag.h"
#include "library/PlaylistIndex.h"
#include "platform/FileSystem.h"

namespace {

using bench::Id3;
using bench::Now;

int gRounds = 3;
int gPlaylists = 200;
bool gExtras = true;  // the rebuild figures and the call counts beside the targets
bool gJudge = true;
bool gWrong = false;

class Counters : public TUpdateProgress {
 public:
  void AddOne(TUpdateCounter counter) override { ++counts_[static_cast<int>(counter)]; }
  void ReportFailure(const platform::Message& failure) override {
    std::printf("  failure: %s\n", failure.Utf8().c_str());
    gWrong = true;
  }
  void Expect(TUpdateCounter counter, int wanted, const char* what) const {
    const int got = counts_[static_cast<int>(counter)];
    if (got == wanted) return;
    std::printf("  WRONG: %s counted %d, not %d\n", what, got, wanted);
    gWrong = true;
  }

 private:
  int counts_[4] = {0, 0, 0, 0};
};

struct Library {
  std::string root, app, cache, lists;
  std::vector<std::string> playlists, mp3logs;   // Windows paths, in playlist order
  std::vector<std::vector<std::string>> tracks;  // per playlist, in order
  std::size_t Listed() const {
    std::size_t n = 0;
    for (const auto& t : tracks) n += t.size();
    return n;
  }
};

std::string Syncsafe(std::size_t v) {
  return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F), static_cast<char>((v >> 7) & 0x7F),
          static_cast<char>(v & 0x7F)};
}

std::string Frame3(const char* id, const std::string& data) {
  const auto n = static_cast<std::uint32_t>(data.size());
  return std::string(id) + static_cast<char>(n >> 24) + static_cast<char>((n >> 16) & 0xFF) +
         static_cast<char>((n >> 8) & 0xFF) + static_cast<char>(n & 0xFF) + std::string(2, '\0') + data;
}

// An ID3v2.3 tag as a tagger leaves it: title, artist, album, track, year,
// genre, a comment and 1 KiB of padding; with `picture`, a 100 KB cover
// before the text frames.
std::string Id3v2(int i, const std::string& artist, const std::string& album, bool picture) {
  std::string frames;
  if (picture) frames += Frame3("APIC", std::string("\0image/jpeg\0\x03\0", 14) + std::string(100000, '\xA5'));
  frames += Frame3("TIT2", '\0' + ("Title " + std::to_string(i)));
  frames += Frame3("TPE1", '\0' + artist);
  frames += Frame3("TALB", '\0' + album);
  frames += Frame3("TRCK", '\0' + std::to_string(i % 12 + 1) + "/12");
  frames += Frame3("TYER", std::string("\0" "2001", 5));
  frames += Frame3("TCON", std::string("\0(17)Rock", 10));
  frames += Frame3("COMM", std::string("\0eng\0", 5) + "Ripped and tagged with a common tagger, 2009");
  frames += std::string(1024, '\0');
  return "ID3" + std::string("\x03\0\0", 3) + Syncsafe(frames.size()) + frames;
}

// `id3v2`: every track also begins with an ID3v2 tag naming the same
// artist and album as its trailer, a third of them with a cover first.
Library Generate(const std::string& root, int trackCount, bool id3v2 = false) {
  Library lib;
  lib.root = root;
  lib.app = root + "App\\";
  lib.cache = lib.app + "playlist";
  lib.lists = root + "Lists";
  const std::string music = root + "Music\\";
  bench::MakeFolder(root + "Music");
  bench::MakeFolder(lib.lists);
  bench::MakeFolder(root + "App");
  const std::string audio(3000, '\x55');
  std::vector<std::string> paths;
  for (int i = 0; i < trackCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "t%06d.mp3", i);
    paths.push_back(music + name);
    const std::string artist = "Artist " + std::to_string(i % 2000), album = "Album " + std::to_string(i % 4000);
    bench::WriteNew(paths.back(), (id3v2 ? Id3v2(i, artist, album, i % 3 == 0) : std::string()) + audio +
                                      Id3(artist, album));
  }
  const int perList = trackCount / gPlaylists;
  for (int p = 0; p <= gPlaylists; ++p) {
    const bool big = p == gPlaylists;
    const std::string base = big ? std::string("big") : "p" + std::to_string(p);
    std::string text;
    std::vector<std::string> listed;
    const int from = big ? 0 : p * perList, to = big ? trackCount : (p + 1) * perList;
    for (int i = from; i < to; ++i) {
      text += paths[i] + "\r\n";
      listed.push_back(paths[i]);
    }
    bench::WriteNew(lib.lists + "\\" + base + ".m3u", text);
    lib.playlists.push_back(lib.lists + "\\" + base + ".m3u");
    lib.mp3logs.push_back(lib.cache + "\\" + base + ".mp3log");
    lib.tracks.push_back(listed);
  }
  return lib;
}

bool Report(const char* what, double seconds, double floor, double limit) {
  const double ratio = seconds / floor;
  const bool ok = !gJudge || limit <= 0 || ratio <= limit;
  if (limit > 0) {
    std::printf("  %-46s %8.3f s   floor %8.3f s   %5.2fx (target <= %.1fx) %s\n", what, seconds, floor, ratio,
                limit, gJudge ? (ratio <= limit ? "ok" : "OVER") : "not judged");
  } else {
    std::printf("  %-46s %8.3f s   floor %8.3f s   %5.2fx\n", what, seconds, floor, ratio);
  }
  return ok;
}

std::uint64_t Sum(const std::vector<std::pair<std::string, std::uint64_t>>& counts) {
  std::uint64_t n = 0;
  for (const auto& c : counts) n += c.second;
  return n;
}

std::string Breakdown(const std::vector<std::pair<std::string, std::uint64_t>>& counts) {
  std::string text;
  for (const auto& c : counts) text += " " + c.first + " " + std::to_string(c.second);
  return text;
}

void ClearCache(const Library& lib) {
  bench::RemoveTree(lib.cache);
  platform::RemoveFile(lib.app + "playlist.log");
}

// A run of the whole update; `counts` (where the system counts) gets its
// file calls.
double TimedUpdate(const Library& lib, TLibraryContext& context, Counters& progress,
                   std::vector<std::pair<std::string, std::uint64_t>>* counts) {
  TLibraryUpdate update(context, progress);
  std::string folder = lib.lists;
  if (counts) bench::StartCounting();
  const double start = Now();
  update.Run(&folder);
  const double seconds = Now() - start;
  if (counts) *counts = bench::StopCounting();
  return seconds;
}

bool RunSize(const std::string& dir, int trackCount, bool judgeGrouping, double* bigBuild) {
  const std::string root = bench::MakeRoot(dir);
  std::printf("%d tracks: %d playlists of %d + one of %d (2,000 artists, 4,000 albums)\n", trackCount, gPlaylists,
              trackCount / gPlaylists, trackCount);
  const Library lib = Generate(root, trackCount);
  const int playlists = static_cast<int>(lib.playlists.size());
  TLibraryContext context{lib.app, true};
  const bool counting = bench::CanCountCalls();
  bool ok = true;

  // Cold build. Before each build and each floor the other side's files are
  // deleted, so both write where files were just freed.
  double cold = 1e9;
  bench::Floor coldFloor{1e9, 0};
  std::vector<std::pair<std::string, std::string>> derived;
  std::vector<std::pair<std::string, std::uint64_t>> coldCalls;
  for (int round = 0; round < gRounds; ++round) {
    ClearCache(lib);
    Counters progress;
    cold = std::min(cold, TimedUpdate(lib, context, progress, round == 0 && counting ? &coldCalls : nullptr));
    progress.Expect(TUpdateCounter::Added, playlists, "cold build: added");
    if (derived.empty()) derived = bench::FilesOf(lib.cache);
    ClearCache(lib);
    const bench::Floor floor = bench::BuildFloor(lib.tracks, lib.app + "floor", derived);
    bench::RemoveTree(lib.app + "floor");
    if (floor.seconds < coldFloor.seconds) coldFloor = floor;
  }
  ok &= Report("cold build of the whole library", cold, coldFloor.seconds, 1.5);

  // The library that the update below finds unchanged.
  {
    Counters progress;
    TimedUpdate(lib, context, progress, nullptr);
  }
  double unchanged = 1e9;
  bench::Floor unchangedFloor{1e9, 0};
  std::vector<std::pair<std::string, std::uint64_t>> unchangedCalls;
  // Short beside a cold build, and so the most swayed by other work on the
  // machine: taken at least five times even in a one-round run.
  const int unchangedRounds = gJudge ? std::max(gRounds, 5) : gRounds;
  for (int round = 0; round < unchangedRounds; ++round) {
    Counters progress;
    unchanged = std::min(unchanged,
                         TimedUpdate(lib, context, progress, round == 0 && counting ? &unchangedCalls : nullptr));
    progress.Expect(TUpdateCounter::Skipped, playlists, "unchanged update: skipped");
    const bench::Floor floor = bench::NoChangeFloor(lib.playlists, lib.mp3logs, lib.tracks);
    if (floor.seconds < unchangedFloor.seconds) unchangedFloor = floor;
  }
  ok &= Report("update, nothing changed, track check on", unchanged, unchangedFloor.seconds, 1.5);

  // Every playlist rebuilt: first as after a change of each playlist (the old
  // derived files deleted through their ".log", then written anew), then over
  // derived files that are still there (their ".log" files lost), where each
  // file is replaced through a new file beside it.
  double changedAll = 1e9, overOld = 1e9;
  std::vector<std::pair<std::string, std::uint64_t>> overOldCalls;
  for (int round = 0; round < (gExtras ? gRounds : 0); ++round) {
    platform::RemoveFile(lib.app + "playlist.log");
    Counters changed;
    changedAll = std::min(changedAll, TimedUpdate(lib, context, changed, nullptr));
    changed.Expect(TUpdateCounter::Added, playlists, "every playlist rebuilt: added");
    platform::RemoveFile(lib.app + "playlist.log");
    for (const platform::FoundEntry& e : platform::FindEntries(lib.cache + "\\*.log")) {
      platform::RemoveFile(lib.cache + "\\" + e.name);
    }
    Counters over;
    overOld = std::min(overOld, TimedUpdate(lib, context, over, round == 0 && counting ? &overOldCalls : nullptr));
    over.Expect(TUpdateCounter::Added, playlists, "rebuilt over old files: added");
  }
  if (gExtras) {
    Report("every playlist rebuilt (old files deleted)", changedAll, coldFloor.seconds, 0);
    Report("every playlist rebuilt over its old files", overOld, coldFloor.seconds, 0);
  }

  // The one big playlist alone, and its grouping against its tag pass.
  double start = Now();
  BuildPlaylistIndex(context, lib.playlists.back());
  *bigBuild = Now() - start;
  std::printf("  %-46s %8.3f s\n", "build of the big playlist alone", *bigBuild);
  TMP3Tag reader;
  std::vector<std::pair<std::string, std::string>> keys;
  std::vector<std::pair<std::string, std::uint64_t>> trackCalls;
  double tagPass = 1e9, grouping = 1e9;
  const std::vector<std::string>& bigTracks = lib.tracks.back();
  for (int round = 0; round < gRounds; ++round) {
    keys.clear();
    if (round == 0 && counting) bench::StartCounting();
    start = Now();
    for (const std::string& track : bigTracks) {
      // As a build reads it: the tag, and the stamp from the same open.
      TTag tag;
      platform::FoundEntry entry;
      bool found = false;
      reader.ReadTag(track, &tag, &entry, &found);
      keys.emplace_back(Id3FieldText(tag.Id3.Artist, 30), Id3FieldText(tag.Id3.Album, 30));
    }
    tagPass = std::min(tagPass, Now() - start);
    if (round == 0 && counting) trackCalls = bench::StopCounting();
    TGroupList artists, albums;
    start = Now();
    for (std::size_t i = 0; i < keys.size(); ++i) {
      AddToGroup(artists, keys[i].first, bigTracks[i]);
      AddToGroup(albums, keys[i].second, bigTracks[i]);
    }
    grouping = std::min(grouping, Now() - start);
  }
  std::printf("  %-46s %8.3f s   tag pass %8.3f s   %5.1f%%\n", "grouping of the big playlist", grouping, tagPass,
              100.0 * grouping / tagPass);
  if (judgeGrouping && gJudge) {
    const bool groupOk = grouping <= 0.10 * tagPass;
    std::printf("  grouping under 10%% of the tag pass: %s\n", groupOk ? "ok" : "OVER");
    ok &= groupOk;
  }

  if (counting && gExtras) {
    // The derived files of one build written as the build writes them,
    // first new, then over themselves.
    std::vector<std::pair<std::string, std::uint64_t>> newCalls, overCalls;
    const std::string out = lib.app + "calls";
    bench::MakeFolder(out);
    for (auto* calls : {&newCalls, &overCalls}) {
      bench::StartCounting();
      for (const auto& file : derived) platform::WriteRebuildableFile(out + "\\" + file.first, file.second);
      *calls = bench::StopCounting();
    }
    bench::RemoveTree(out);
    const double files = static_cast<double>(derived.size());
    std::printf("  Win32 file calls                               this code       floor\n");
    std::printf("  %-46s %9.2f %11d\n", "per listed track (tag and stamp)",
                static_cast<double>(Sum(trackCalls)) / bigTracks.size(), 6);
    std::printf("  %-46s %9.2f %11d\n", "per new derived file", Sum(newCalls) / files, 3);
    std::printf("  %-46s %9.2f %11s\n", "per derived file written over an old one", Sum(overCalls) / files, "-");
    std::printf("  %-46s %9llu %11llu\n", "cold build, in all", static_cast<unsigned long long>(Sum(coldCalls)),
                static_cast<unsigned long long>(coldFloor.calls));
    std::printf("  %-46s %9llu %11llu\n", "update, nothing changed, in all",
                static_cast<unsigned long long>(Sum(unchangedCalls)),
                static_cast<unsigned long long>(unchangedFloor.calls));
    std::printf("  %-46s %9llu\n", "rebuild over old files, in all",
                static_cast<unsigned long long>(Sum(overOldCalls)));
    std::printf("    per track:%s\n", Breakdown(trackCalls).c_str());
    std::printf("    per new derived files:%s\n", Breakdown(newCalls).c_str());
    std::printf("    over old derived files:%s\n", Breakdown(overCalls).c_str());
    std::printf("    cold build:%s\n", Breakdown(coldCalls).c_str());
    std::printf("    nothing changed:%s\n", Breakdown(unchangedCalls).c_str());
    std::printf("    rebuild over old files:%s\n", Breakdown(overOldCalls).c_str());
    std::printf("  (%zu derived files, %zu listed tracks)\n", derived.size(), lib.Listed());
  }
  bench::RemoveTree(root);
  return ok;
}

// The ID3v2 option against itself off, on the same tracks (each with an
// ID3v2 tag and a trailer naming the same artist and album, so that both
// builds write the same files): cold builds in alternation, best of each.
bool RunId3v2(const std::string& dir, int trackCount) {
  const std::string root = bench::MakeRoot(dir);
  std::printf("%d tracks with ID3v2 tags (a third with a 100 KB cover first) and ID3v1 trailers\n", trackCount);
  const Library lib = Generate(root, trackCount, true);
  const int playlists = static_cast<int>(lib.playlists.size());
  TLibraryContext off{lib.app, true};
  TLibraryContext on{lib.app, true};
  on.ReadID3v2 = true;
  const bool counting = bench::CanCountCalls();
  double offTime = 1e9, onTime = 1e9;
  std::vector<std::pair<std::string, std::uint64_t>> offCalls, onCalls;
  std::vector<std::pair<std::string, std::string>> offFiles, onFiles;
  for (int round = 0; round < gRounds; ++round) {
    for (TLibraryContext* context : {&off, &on}) {
      ClearCache(lib);
      Counters progress;
      auto* calls = round == 0 && counting ? (context == &on ? &onCalls : &offCalls) : nullptr;
      const double t = TimedUpdate(lib, *context, progress, calls);
      progress.Expect(TUpdateCounter::Added, playlists, "ID3v2 cold build: added");
      (context == &on ? onTime : offTime) = std::min(context == &on ? onTime : offTime, t);
      if (round == 0) (context == &on ? onFiles : offFiles) = bench::FilesOf(lib.cache);
    }
  }
  // Both read the same names: the same files, but for the key record.
  const auto withoutRecord = [](std::vector<std::pair<std::string, std::string>> files) {
    files.erase(std::remove_if(files.begin(), files.end(), [](const auto& f) { return f.first == kKeyRecordName; }),
                files.end());
    return files;
  };
  if (withoutRecord(offFiles) != withoutRecord(onFiles)) {
    std::printf("  WRONG: the option on wrote other files than off\n");
    gWrong = true;
  }
  const bool ok = Report("cold build, ID3v2 on (floor: the same, off)", onTime, offTime, 1.3);
  bool callsOk = true;
  if (counting) {
    const double listed = static_cast<double>(lib.Listed());
    const double extra = (static_cast<double>(Sum(onCalls)) - static_cast<double>(Sum(offCalls))) / listed;
    callsOk = !gJudge || extra <= 1.0;
    std::printf("  %-46s %9.2f  (target <= 1) %s\n", "Win32 calls per listed track, on minus off", extra,
                gJudge ? (callsOk ? "ok" : "OVER") : "not judged");
    std::printf("    off:%s\n    on:%s\n", Breakdown(offCalls).c_str(), Breakdown(onCalls).c_str());
  }
  bench::RemoveTree(root);
  return ok && callsOk;
}

// The Unicode library against the same library in the code page, on the same
// tracks: a cold build and an update that finds nothing changed, each side in
// alternation, best of each.
bool RunUnicodeLibrary(const std::string& dir, int trackCount) {
  const std::string root = bench::MakeRoot(dir);
  std::printf("%d tracks, the library in the code page and in UTF-8 (.m3u8)\n", trackCount);
  const Library lib = Generate(root, trackCount);
  const int playlists = static_cast<int>(lib.playlists.size());
  TLibraryContext off{lib.app, true};
  TLibraryContext on{lib.app, true};
  on.UnicodeLibrary = true;
  double cold[2] = {1e9, 1e9}, unchanged[2] = {1e9, 1e9};
  for (int round = 0; round < std::max(gRounds, gJudge ? 5 : 1); ++round) {
    for (TLibraryContext* context : {&off, &on}) {
      const int side = context == &on ? 1 : 0;
      ClearCache(lib);
      Counters built, checked;
      cold[side] = std::min(cold[side], TimedUpdate(lib, *context, built, nullptr));
      built.Expect(TUpdateCounter::Added, playlists, "Unicode library cold build: added");
      unchanged[side] = std::min(unchanged[side], TimedUpdate(lib, *context, checked, nullptr));
      checked.Expect(TUpdateCounter::Skipped, playlists, "Unicode library unchanged update: skipped");
    }
  }
  bool ok = Report("cold build, UTF-8 (floor: the same, code page)", cold[1], cold[0], 1.2);
  ok &= Report("unchanged update, UTF-8 (floor: code page)", unchanged[1], unchanged[0], 1.2);
  bench::RemoveTree(root);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  std::string dir;
  bool smoke = false, id3v2Only = false;
  int id3v2Tracks = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      smoke = true;
    } else if (std::strcmp(argv[i], "--id3v2") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) >= 200) {
      id3v2Tracks = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--id3v2-only") == 0) {
      id3v2Only = true;
    } else if (std::strcmp(argv[i], "--targets-only") == 0) {
      gExtras = false;
    } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
      gRounds = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
      dir = argv[++i];
    } else if (std::atoi(argv[i]) >= 200) {
      sizes.push_back(std::atoi(argv[i]));
    } else {
      std::fprintf(stderr,
                   "usage: kelvane-bench [--smoke] [--targets-only] [--rounds n] [--dir <folder>] [--id3v2 tracks] "
                   "[--id3v2-only] [tracks...]\n");
      return 2;
    }
  }
  if (smoke) {
    gRounds = 1;
    gPlaylists = 10;
    gJudge = false;
    if (sizes.empty()) sizes = {400};
  }
  if (sizes.empty()) sizes = bench::DefaultSizes();
  if (id3v2Tracks == 0) id3v2Tracks = sizes[0];
  setvbuf(stdout, nullptr, _IONBF, 0);  // line buffering is full buffering on Windows
  std::printf("kelvane-bench on %s, best of %d\n", bench::SystemName(), gRounds);
  bool allOk = true;
  std::vector<double> bigBuilds;
  for (std::size_t s = 0; s < (id3v2Only ? 0 : sizes.size()); ++s) {
    double big = 0;
    allOk &= RunSize(dir, sizes[s], s == 1, &big);
    bigBuilds.push_back(big);
  }
  if (bigBuilds.size() >= 2 && bigBuilds[0] > 0) {
    const double ratio = bigBuilds[1] / bigBuilds[0];
    const double growth = static_cast<double>(sizes[1]) / sizes[0];
    const bool ok = !gJudge || ratio <= 1.25 * growth;
    std::printf("big playlist %d -> %d tracks: %.2fx the time (target <= %.2fx) %s\n", sizes[0], sizes[1], ratio,
                1.25 * growth, gJudge ? (ok ? "ok" : "OVER") : "not judged");
    allOk &= ok;
  }
  allOk &= RunId3v2(dir, id3v2Tracks);
  if (!id3v2Only) allOk &= RunUnicodeLibrary(dir, sizes[0]);
  if (gWrong) return 2;
  return allOk ? 0 : 1;
}

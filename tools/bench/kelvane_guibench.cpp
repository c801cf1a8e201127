// kelvane-guibench [--smoke] [--update-only] [--rounds n] [--dir <folder>] [--playlists n] [--tracks n]
// The playlist window timed beside floors taken in the same run (Windows
// build, run under Wine, where only the ratios and the absolute click and
// show times mean anything):
//  - a playlist clicked whose artist and album indexes hold 10,000 names
//    each (both trees filled), then one whose indexes hold one (the 20,000
//    nodes cleared), against a bare program filling and clearing two tree
//    views of the same nodes with redraw off;
//  - a click, a double-click that plays and a pop-up play in a tree of 100
//    and of 100,000 nodes;
//  - the window shown again with nothing changed;
//  - the library update run from the window (its dialog, its repaints) against
//    the same update without a window, as kelvane-update runs it, over 200
//    playlists with every playlist built.
// Each figure is the median of its rounds (at least five); a ratio is the
// median of the rounds' own ratios.
// --smoke: small sizes, one round, times not judged; the counts still are
// (for the tests).
// Exit status: 0 targets met, 1 a target missed, 2 wrong counts.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchSystem.h"
#include "app/MainUnit.h"
#include "library/LibraryUpdate.h"
#include "platform/Application.h"
#include "ui/FrameUnit.h"
#include "ui/UpdateInfoUnit.h"

namespace {

using bench::Id3;
using bench::Now;

int gRounds = 5;
bool gJudge = true;
bool gWrong = false;
int gNames = 10000;      // artists and albums of the playlist whose trees fill
int gHugeTree = 100000;  // nodes of the tree clicked in
int gPlaylists = 200;
int gTracksPerList = 100;
bool gWindowFigures = true;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Everything waiting (paints, posted messages) handled, outside any timing.
void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Expect(bool ok, const std::string& what) {
  if (ok) return;
  std::printf("  WRONG: %s\n", what.c_str());
  gWrong = true;
}

void Write(const std::string& path, const std::string& bytes) { bench::WriteNew(path, bytes); }

std::string Lines(const char* prefix, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(prefix) + std::to_string(i) + "\r\n";
  return text;
}

// Each round's figure and floor are taken one after the other, so the ratio
// judged is the median of the rounds' own ratios: a machine busy with other
// work for a while slows both sides of a round alike.
bool Report(const char* what, const std::vector<double>& times, const std::vector<double>& floors, double limit) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < times.size(); ++i) ratios.push_back(times[i] / floors[i]);
  const double seconds = Median(times);
  const double floor = Median(floors);
  const double ratio = Median(ratios);
  const bool ok = !gJudge || ratio <= limit;
  std::printf("  %-44s %9.1f ms   floor %9.1f ms   %5.2fx (median of the rounds' ratios; target <= %.1fx) %s\n", what, seconds * 1e3,
              floor * 1e3, ratio, limit, gJudge ? (ok ? "ok" : "OVER") : "not judged");
  return ok;
}

bool ReportAbsolute(const char* what, double seconds, double limitMs) {
  const bool ok = !gJudge || limitMs <= 0 || seconds * 1e3 <= limitMs;
  if (limitMs <= 0) {
    std::printf("  %-44s %9.1f ms\n", what, seconds * 1e3);
  } else {
    std::printf("  %-44s %9.1f ms   (target <= %.0f ms) %s\n", what, seconds * 1e3, limitMs,
                gJudge ? (ok ? "ok" : "OVER") : "not judged");
  }
  return ok;
}

// A click as the mouse makes it. A tree watches the queue for the release
// after a press (a drag may begin), so the release is there before the press.
void PressAndRelease(HWND tree, LPARAM point, WPARAM keys) {
  PostMessageA(tree, WM_LBUTTONUP, keys, point);
  SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON | keys, point);
}

// The middle of a node's row, a little in from its label's left.
LPARAM PointOf(HWND tree, HTREEITEM node) {
  RECT r{};
  std::memcpy(&r, &node, sizeof(node));
  SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
  return MAKELPARAM(r.left + 2, (r.top + r.bottom) / 2);
}

// ---- the floor: two bare tree views in a window that handles nothing ----

class FloorTrees {
 public:
  FloorTrees() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KelvaneBenchFloor";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 410, 348,
                              nullptr, nullptr, wc.hInstance, nullptr);
    images_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    for (int i = 0; i < 2; ++i) {
      trees_[i] = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_TRACKSELECT, 0,
                                  i * 150, 200, 150, window_, nullptr, wc.hInstance, nullptr);
      SendMessageA(trees_[i], TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    }
  }
  ~FloorTrees() {
    DestroyWindow(window_);
    ImageList_Destroy(images_);
  }
  void Fill(const std::vector<std::string>& texts, int trees = 2) {
    for (HWND tree : trees_) {
      if (trees-- <= 0) break;
      SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
      for (const std::string& text : texts) {
        TVINSERTSTRUCTA ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = const_cast<char*>(text.c_str());
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins));
      }
      SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(tree, nullptr, TRUE);
    }
  }
  void Clear() {
    for (HWND tree : trees_) {
      SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
      SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
      SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(tree, nullptr, TRUE);
    }
  }
  int Count() const { return static_cast<int>(SendMessageA(trees_[0], TVM_GETCOUNT, 0, 0)); }
  // The selected mark set on the second node of the first tree and taken off
  // again, as a hand-built multi-selection draws its marks.
  double Mark() {
    HWND tree = trees_[0];
    HTREEITEM node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
    TVITEMA item{};
    item.mask = TVIF_STATE;
    item.hItem = node;
    item.stateMask = TVIS_SELECTED;
    Pump();
    const double start = Now();
    item.state = TVIS_SELECTED;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.state = 0;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const double seconds = Now() - start;
    Pump();
    return seconds / 2;
  }
  // Hidden, then shown, brought forward and a tree given the focus, as the
  // playlist window is shown.
  double Show() {
    ShowWindow(window_, SW_HIDE);
    Pump();
    const double start = Now();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(trees_[0]);
    const double seconds = Now() - start;
    Pump();
    return seconds;
  }
  // A plain click on the first two nodes of the first tree in turn, as the
  // tree's own handling of it costs.
  double Click(int round) {
    HWND tree = trees_[0];
    HTREEITEM node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (round % 2) node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
    const LPARAM point = PointOf(tree, node);
    Pump();
    const double start = Now();
    PressAndRelease(tree, point, 0);
    const double seconds = Now() - start;
    Pump();
    return seconds;
  }

 private:
  HWND window_ = nullptr;
  HWND trees_[2] = {};
  HIMAGELIST images_ = nullptr;
};

// ---- the playlist window ----

gui::TreeView::Node NodeNamed(gui::TreeView& tree, const std::string& text) {
  for (auto n : tree.Nodes()) {
    if (tree.NodeText(n) == text) return n;
  }
  return nullptr;
}

LPARAM PointOf(gui::TreeView& tree, gui::TreeView::Node n) { return PointOf(tree.Handle(), n); }

void ClickAt(gui::TreeView& tree, LPARAM point, WPARAM keys = 0) { PressAndRelease(tree.Handle(), point, keys); }

double Timed(const std::function<void()>& action) {
  Pump();
  const double start = Now();
  action();
  const double seconds = Now() - start;
  Pump();
  return seconds;
}

struct ClickFigures {
  double click = 0, doubleClick = 0, popup = 0, floor = 0, mark = 0;
};

// A click, a double-click and a pop-up play on the first nodes of a tree of
// `nodes` nodes (the playlist `playlist`'s artists).
ClickFigures TimeClicks(TFrame& f, const std::string& playlist, int nodes, int* started) {
  ClickAt(f.TreePlaylist, PointOf(f.TreePlaylist, NodeNamed(f.TreePlaylist, playlist)));
  Pump();
  Expect(f.TreeArtist.Nodes().size() == static_cast<std::size_t>(nodes),
         playlist + ": the artist tree holds " + std::to_string(f.TreeArtist.Nodes().size()) + " nodes, not " +
             std::to_string(nodes));
  gui::TreeView& tree = f.TreeArtist;
  const auto first = tree.Nodes();
  const LPARAM a = PointOf(tree, first[0]);
  const LPARAM b = PointOf(tree, first[1]);
  std::vector<double> clicks, doubles, popups;
  for (int round = 0; round < gRounds; ++round) {
    clicks.push_back(Timed([&] { ClickAt(tree, round % 2 ? a : b); }));
    clicks.push_back(Timed([&] { ClickAt(tree, round % 2 ? b : a, MK_CONTROL); }));
    Expect(tree.SelectedCount() == 2, "a control-click adds a second node");
    const int before = *started;
    doubles.push_back(Timed([&] { SendMessageA(tree.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, a); }));
    Expect(*started == before + 1, "a double-click plays one node");
    popups.push_back(Timed([&] {
      SendMessageA(tree.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, b);
      f.N2Click();
    }));
    Expect(*started == before + 2, "a pop-up play after a right click plays one node");
  }
  // The same click in a bare tree of as many nodes.
  std::vector<std::string> names;
  for (int i = 0; i < nodes; ++i) names.push_back("Artist " + std::to_string(i));
  FloorTrees bare;
  bare.Fill(names, 1);
  std::vector<double> floors, marks;
  for (int round = 0; round < 2 * gRounds; ++round) floors.push_back(bare.Click(round));
  for (int round = 0; round < 2 * gRounds; ++round) marks.push_back(bare.Mark());
  return {Median(clicks), Median(doubles), Median(popups), Median(floors), Median(marks)};
}

// ---- the library update ----

// Playlists of their own tracks, ten artists and ten albums in each.
void MakeLibrary(const std::string& root) {
  bench::MakeFolder(root);
  bench::MakeFolder(root + "Music");
  bench::MakeFolder(root + "Lists");
  bench::MakeFolder(root + "App");
  const std::string audio(3000, '\x55');
  for (int p = 0; p < gPlaylists; ++p) {
    std::string list;
    for (int i = 0; i < gTracksPerList; ++i) {
      const std::string track = root + "Music\\p" + std::to_string(p) + "-" + std::to_string(i) + ".mp3";
      Write(track, audio + Id3("Artist " + std::to_string(i % 10), "Album " + std::to_string(i % 10)));
      list += track + "\r\n";
    }
    Write(root + "Lists\\List " + std::to_string(p) + ".m3u", list);
  }
}

void ClearCache(const std::string& app) {
  bench::RemoveTree(app + "playlist");
  DeleteFileA((app + "playlist.log").c_str());
}

class Counts : public TUpdateProgress {
 public:
  void AddOne(TUpdateCounter counter) override { ++counts[static_cast<int>(counter)]; }
  void ReportFailure(const platform::Message& failure) override { Expect(false, "update failure: " + failure.Utf8()); }
  int counts[4] = {0, 0, 0, 0};
};

bool TimeUpdates(TMain& main, TFrame& f, const std::string& root) {
  MakeLibrary(root);
  const std::string app = root + "App\\";
  const std::string lists = root + "Lists";
  main.Info.AppDir = app;
  main.Info.PlayListPath = lists;
  main.Info.CheckMP3OnUpdate = true;
  f.LoadPlaylistTree();
  std::vector<double> window, console;
  // Round 0 of each side is a warm-up (the dialog's first creation, the
  // files first read), not counted; the rounds after it are the longest
  // figures here, and the most swayed by other work: at least seven.
  const int rounds = gJudge ? std::max(gRounds, 7) : gRounds;
  for (int round = gJudge ? -1 : 0; round < rounds; ++round) {
    for (int side = 0; side < 2; ++side) {
      // Each side first in turn.
      const bool fromWindow = (side == 0) == (round % 2 == 0);
      ClearCache(app);
      Pump();
      if (fromWindow) {
        const double start = Now();
        f.menuClick("menuUpdate");
        if (round >= 0) window.push_back(Now() - start);
        TUpdateInfo* dialog = f.CurrentUpdateInfo();
        Expect(dialog != nullptr, "the update dialog is open");
        if (dialog) {
          Expect(dialog->lblAdded.Text() == std::to_string(gPlaylists),
                 "the dialog counts " + dialog->lblAdded.Text() + " added");
          dialog->btnOK.Click();
        }
        Expect(f.Enabled(), "OK gives the playlist window back");
      } else {
        TLibraryContext context{app, true};
        Counts progress;
        TLibraryUpdate update(context, progress);
        std::string folder = lists;
        const double start = Now();
        update.Run(&folder);
        if (round >= 0) console.push_back(Now() - start);
        Expect(progress.counts[static_cast<int>(TUpdateCounter::Added)] == gPlaylists,
               "the console update adds every playlist");
      }
      Pump();
    }
  }
  std::printf("  (each round, window / without: ");
  for (std::size_t i = 0; i < window.size(); ++i) std::printf("%s%.0f / %.0f ms", i ? ", " : "", window[i] * 1e3, console[i] * 1e3);
  std::printf(")\n");
  char what[96];
  std::snprintf(what, sizeof what, "update from the window, %d playlists", gPlaylists);
  return Report(what, window, console, 1.1);
}

bool TimeWindow(TFrame& f, int& started);

int Run(const std::string& dir) {
  const std::string root = bench::MakeRoot(dir);
  const std::string app = root + "Frame\\";
  bench::MakeFolder(root + "Frame");
  bench::MakeFolder(app + "playlist");
  bench::MakeFolder(app + "Lists");
  const std::vector<std::pair<std::string, int>> playlists = {
      {"Big", gNames}, {"Small", 1}, {"Hundred", 100}, {"Huge", gHugeTree}};
  for (const auto& p : playlists) {
    Write(app + "Lists\\" + p.first + ".m3u", "");
    Write(app + "playlist\\'" + p.first + "' Artist.dat", Lines("Artist ", p.second));
    Write(app + "playlist\\'" + p.first + "' Album.dat", Lines("Album ", std::min(p.second, 100)));
    // The nodes the clicks play: the window refuses to play a generated
    // playlist that is not there.
    for (const char* artist : {"Artist 0", "Artist 1"}) {
      Write(app + "playlist\\'" + p.first + "' Artist '" + artist + "'.m3u", "");
    }
  }
  Write(app + "playlist\\'Big' Album.dat", Lines("Album ", gNames));

  auto main = std::make_unique<TMain>();
  platform::app::CreateMainWindow(main.get());
  main->InitCommandTable();
  main->InitDefaults();
  main->Info.AppDir = app;
  main->Info.PlayListPath = app + "Lists";
  main->Info.AutoHide = false;
  main->Info.PlayerPath = "C:\\Player\\winamp.exe";
  main->Info.CorrectPath = true;
  main->CreatePlaylistWindow();
  TFrame& f = *dynamic_cast<TFrame*>(Frame);
  int started = 0;
  f.StartCommand = [&started](const std::string&) { ++started; };
  f.LoadPlaylistTree();
  f.ShowFrame();
  Pump();
  bool ok = true;
  if (gWindowFigures) ok &= TimeWindow(f, started);
  ok &= TimeUpdates(*main, f, root + "Update\\");

  f.HideFrame();
  main.reset();
  bench::RemoveTree(root);
  return ok;
}

bool TimeWindow(TFrame& f, int& started) {
  bool ok = true;
  // Both trees filled, then cleared, beside the floor.
  std::vector<std::string> names;
  for (int i = 0; i < gNames; ++i) names.push_back("Artist " + std::to_string(i));
  const LPARAM big = PointOf(f.TreePlaylist, NodeNamed(f.TreePlaylist, "Big"));
  const LPARAM small = PointOf(f.TreePlaylist, NodeNamed(f.TreePlaylist, "Small"));
  ClickAt(f.TreePlaylist, small);
  FloorTrees floor;
  std::vector<double> fill, clear, fillFloor, clearFloor;
  for (int round = 0; round < gRounds; ++round) {
    fill.push_back(Timed([&] { ClickAt(f.TreePlaylist, big); }));
    Expect(f.TreeAlbum.Nodes().size() == static_cast<std::size_t>(gNames), "Big fills the album tree");
    clear.push_back(Timed([&] { ClickAt(f.TreePlaylist, small); }));
    Expect(f.TreeArtist.Nodes().size() == 1, "Small leaves one artist");
    fillFloor.push_back(Timed([&] { floor.Fill(names); }));
    Expect(floor.Count() == gNames, "the floor fills its trees");
    clearFloor.push_back(Timed([&] { floor.Clear(); }));
  }
  std::printf("the playlist window (median of %d)\n", gRounds);
  char what[96];
  std::snprintf(what, sizeof what, "click a playlist: 2 x %d nodes filled", gNames);
  ok &= Report(what, fill, fillFloor, 1.5);
  std::snprintf(what, sizeof what, "click another: 2 x %d nodes cleared", gNames);
  ok &= Report(what, clear, clearFloor, 2.0);

  // Shown again with the big playlist's trees unchanged.
  ClickAt(f.TreePlaylist, big);
  Pump();
  std::vector<double> show;
  for (int round = 0; round < gRounds; ++round) {
    f.HideFrame();
    Pump();
    show.push_back(Timed([&] { f.ShowFrame(); }));
  }
  Expect(f.TreeArtist.Nodes().size() == static_cast<std::size_t>(gNames), "shown again, the trees are kept");
  ok &= ReportAbsolute("shown again, nothing changed", Median(show), 50);
  f.HideFrame();
  floor.Fill(names);
  std::vector<double> showFloor;
  for (int round = 0; round < gRounds; ++round) showFloor.push_back(floor.Show());
  ReportAbsolute("a bare window of two such trees shown", Median(showFloor), 0);
  floor.Clear();
  f.ShowFrame();
  Pump();

  for (const auto& size : {std::make_pair(std::string("Hundred"), 100), std::make_pair(std::string("Huge"), gHugeTree)}) {
    const ClickFigures c = TimeClicks(f, size.first, size.second, &started);
    const bool judged = size.second >= 100000;
    std::snprintf(what, sizeof what, "tree of %d nodes: click", size.second);
    ok &= ReportAbsolute(what, c.click, judged ? 50 : 0);
    std::snprintf(what, sizeof what, "tree of %d nodes: click in a bare tree", size.second);
    ReportAbsolute(what, c.floor, 0);
    std::snprintf(what, sizeof what, "tree of %d nodes: one mark in a bare tree", size.second);
    ReportAbsolute(what, c.mark, 0);
    std::snprintf(what, sizeof what, "tree of %d nodes: double-click and play", size.second);
    ok &= ReportAbsolute(what, c.doubleClick, judged ? 50 : 0);
    std::snprintf(what, sizeof what, "tree of %d nodes: right click and pop-up play", size.second);
    ok &= ReportAbsolute(what, c.popup, judged ? 50 : 0);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir;
  bool smoke = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      smoke = true;
    } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
      gRounds = std::max(5, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--tracks") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) >= gPlaylists) {
      gTracksPerList = std::atoi(argv[++i]) / gPlaylists;
    } else if (std::strcmp(argv[i], "--playlists") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
      gPlaylists = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--update-only") == 0) {
      gWindowFigures = false;
    } else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
      dir = argv[++i];
    } else {
      std::fprintf(stderr, "usage: kelvane-guibench [--smoke] [--update-only] [--rounds n] [--dir <folder>] [--playlists n] [--tracks n]\n");
      return 2;
    }
  }
  if (smoke) {
    gRounds = 1;
    gJudge = false;
    gNames = 200;
    gHugeTree = 1000;
    gPlaylists = 10;
    gTracksPerList = 5;
  }
  setvbuf(stdout, nullptr, _IONBF, 0);
  platform::app::Initialize();
  platform::app::SetTitle("Kelvane");
  std::printf("kelvane-guibench on %s\n", bench::SystemName());
  const bool ok = Run(dir);
  if (gWrong) return 2;
  return ok ? 0 : 1;
}

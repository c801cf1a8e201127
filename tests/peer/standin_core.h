// The stand-in player's model, free of Win32 so its rules can be checked on their own:
// play state, play list, and how command lines and play list files are read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace standin {

// WM_COMMAND identifiers of the player.
constexpr unsigned kCmdPrev = 40044;
constexpr unsigned kCmdPlay = 40045;
constexpr unsigned kCmdPause = 40046;
constexpr unsigned kCmdStop = 40047;
constexpr unsigned kCmdNext = 40048;
constexpr unsigned kCmdFadeoutStop = 40147;
constexpr unsigned kCmdClose = 40001;
// WM_USER lParam values: the play state; the list position (0-based); the
// title of the entry in wParam, as a pointer into the player's own memory to
// its text in the system code page or in UTF-16.
constexpr long kIpcIsPlaying = 104;
constexpr long kIpcGetListPos = 125;
constexpr long kIpcGetTitle = 212;
constexpr long kIpcGetTitleW = 213;
// WM_COPYDATA kind of the player's wide play/enqueue message: a NUL-ended
// UTF-16 path, added to the play list.
constexpr unsigned long kCopyDataPlayFileW = 1100;
// Virtual-key code that opens the open-file dialog (the letter L).
constexpr unsigned kKeyOpenFile = 76;

constexpr int kFadeMs = 1000;
// Fixed place on the desktop, so screenshots and clicks of e2e tests are repeatable.
constexpr int kWindowX = 300;
constexpr int kWindowY = 120;

enum class State { Stopped, Playing, Paused, Fading };

// Where a player keeps the titles it hands out by WM_USER 212 (code page) and
// 213 (UTF-16): one buffer that each answer overwrites; a new place at every
// answer, the one before overwritten with other text; the playing title in
// UTF-8 whatever the entry asked for, and no 213; the code page only, no 213.
enum class TitleMemory { OneBuffer, NewEachCall, PlayingUtf8, CodePageOnly };

// The players that answer the window interface, each as it answers it: the
// stand-in takes one by name (--profile=NAME) and behaves as that player does.
struct Profile {
  const char* name;
  bool answersPosition;      // WM_USER 125: the list position; otherwise always 0
  TitleMemory titles;
  bool numberedCaption;      // "N. " before the caption's title, N counted from 0
  bool stateInCaption;       // " [Paused]" / " [Stopped]" after it
  bool pauseResumes;         // 40046 on a paused player resumes; otherwise it pauses only
  bool fades;                // 40147 fades out; otherwise it stops at once
  long unknownAnswer;        // the answer to a WM_USER it does not know
  bool announcesSongChange;  // broadcasts "WinampSongChange" when the title changes
};
// nullptr for a name that is none of "winamp", "wacup", "foobar", "mediamonkey".
const Profile* FindProfile(const std::string& name);

const char* StateName(State s);
// The answer to the play-state query: 0 stopped, 1 playing (also while fading), 3 paused.
int PlayStateAnswer(State s);

// What an operation changed, so the window and the journal show exactly that.
struct Changes {
  bool state = false;
  bool track = false;
  bool playlist = false;
  bool volume = false;
};

// One line of a play list file: the track, and the title an "#EXTINF:<seconds>,<title>"
// line before it gives (empty without one); bytes as in the file.
struct ListEntry {
  std::string path;
  std::string title;
};

class Player {
 public:
  Changes play();
  Changes pause(bool resumes = true);  // pauses when playing, resumes when paused (if it does)
  Changes stop();
  Changes previous();
  Changes next();
  Changes beginFade();
  void setVolume(int v) { volume_ = v; }
  Changes endFade();
  // Titles go with the tracks of the same index; a track given none has an
  // empty one.
  Changes replaceAndPlay(const std::vector<std::string>& tracks, const std::vector<std::wstring>& titles = {});
  Changes append(const std::vector<std::string>& tracks, const std::vector<std::wstring>& titles = {});

  State state() const { return state_; }
  int volume() const { return volume_; }
  int current() const { return current_; }
  const std::vector<std::string>& tracks() const { return tracks_; }
  std::string currentTrackName() const;
  // The title of an entry (UTF-16); empty for an index outside the list.
  std::wstring title(int index) const;

 private:
  Changes setState(State s);
  Changes moveTo(int index);

  std::vector<std::string> tracks_;
  std::vector<std::wstring> titles_;
  int current_ = 0;
  State state_ = State::Stopped;
  int volume_ = 100;
};

// What a command line asks for: files to load, replacing the play list or
// appended to it; the profile a first start takes ("--profile=NAME").
struct Request {
  bool append = false;
  std::vector<std::string> files;
  std::string profile;
};

// The window caption the player shows: "title - Winamp" with what the
// profile adds, or `idle` while the list is empty.
std::wstring Caption(const Profile& profile, const Player& player, const std::wstring& idle);

// UTF-16 (a command line, a path the system gave) as UTF-8, the form of the
// journal and of the play list's paths; a lone surrogate becomes U+FFFD.
std::string Utf8(const std::u16string& text);
// UTF-8 back to UTF-16, for the W calls and the window.
std::u16string Utf16(const std::string& text);

// The request of a WM_COPYDATA of kind kCopyDataPlayFileW: the path, appended.
// False for another kind, or data that is no NUL-ended UTF-16 path (an odd
// size, no NUL, nothing before it): the sender gets FALSE and nothing changes.
bool ReadPlayFileW(unsigned long kind, const void* data, std::size_t size, Request* request);

// Reads a full command line, program path included. The program path may be quoted
// or not; unquoted, it may hold blanks (WinExec of "C:\Program Files\...\winamp.exe").
Request ParseCommandLine(const std::string& cmdline);

// The tracks of an .m3u file's bytes: one per line (CR LF, LF or CR), skipping empty
// lines and "#" lines.
std::vector<std::string> ParsePlaylist(const std::string& bytes);
std::vector<ListEntry> ParsePlaylistEntries(const std::string& bytes);
// Whether a play list file is UTF-8 (".m3u8", or a byte-order mark) rather than
// text of the system code page.
bool IsUtf8Playlist(const std::string& path, const std::string& bytes);
// What the player calls a track without a title of its own: its file name
// without folder and extension (the path already read as UTF-16, so that no
// trail byte of the code page is taken for a backslash).
std::wstring FileTitle(const std::wstring& path);

// .m3u and .m3u8
bool IsPlaylistFile(const std::string& path);

// Tests set the journal path from bash: a Unix path is reached through Wine's Z: drive.
std::string UnixPathToWine(const std::string& path);

}  // namespace standin

#include "standin_core.h"

#include <cctype>

#include "platform/Locale.h"

namespace standin {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualsNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// Where the program path ends. Only ASCII bytes are compared: in Shift-JIS neither a
// blank, a quote nor a dot is ever a trail byte, so this is safe on Japanese paths.
size_t ProgramEnd(const std::string& s) {
  if (!s.empty() && s[0] == '"') {
    size_t close = s.find('"', 1);
    return close == std::string::npos ? s.size() : close + 1;
  }
  for (size_t i = 0; i + 4 <= s.size(); ++i) {
    if (EqualsNoCase(s.substr(i, 4), ".exe") && (i + 4 == s.size() || IsBlank(s[i + 4]) || s[i + 4] == '"'))
      return i + 4;
  }
  size_t i = 0;
  while (i < s.size() && !IsBlank(s[i])) ++i;
  return i;
}

bool IsSwitch(const std::string& token) {
  if (token.size() < 2 || token[0] != '/') return false;
  for (size_t i = 1; i < token.size(); ++i) {
    if (!std::isalpha(static_cast<unsigned char>(token[i]))) return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace

// The answers of each player, from their public sources and the trackers of
// tools that talk to them. Where a behaviour is not known, the stand-in does
// not offer it: no program may rely on it.
const Profile kProfiles[] = {
    // name          position  titles                     number  state  resumes fades  unknown song change
    {"winamp",       true,     TitleMemory::OneBuffer,    false,  true,  true,   true,  1,      true},
    {"wacup",        true,     TitleMemory::NewEachCall,  false,  true,  true,   true,  1,      false},
    {"foobar",       false,    TitleMemory::PlayingUtf8,  true,   false, false,  false, 0,      false},
    {"mediamonkey",  true,     TitleMemory::CodePageOnly, false,  true,  true,   true,  0,      false},
};

const Profile* FindProfile(const std::string& name) {
  for (const Profile& p : kProfiles) {
    if (name == p.name) return &p;
  }
  return nullptr;
}

std::wstring Caption(const Profile& profile, const Player& player, const std::wstring& idle) {
  if (player.tracks().empty()) return idle;
  std::wstring caption;
  if (profile.numberedCaption) caption = std::to_wstring(player.current()) + L". ";
  caption += player.title(player.current()) + L" - Winamp";
  if (profile.stateInCaption && player.state() == State::Paused) caption += L" [Paused]";
  if (profile.stateInCaption && player.state() == State::Stopped) caption += L" [Stopped]";
  return caption;
}

const char* StateName(State s) {
  switch (s) {
    case State::Stopped: return "stopped";
    case State::Playing: return "playing";
    case State::Paused: return "paused";
    case State::Fading: return "fading";
  }
  return "stopped";
}

int PlayStateAnswer(State s) {
  switch (s) {
    case State::Playing:
    case State::Fading: return 1;
    case State::Paused: return 3;
    case State::Stopped: return 0;
  }
  return 0;
}

Changes Player::setState(State s) {
  Changes c;
  c.state = state_ != s;
  state_ = s;
  return c;
}

Changes Player::moveTo(int index) {
  Changes c;
  c.track = index != current_;
  current_ = index;
  return c;
}

Changes Player::play() {
  Changes c = setState(State::Playing);
  if (volume_ != 100) {
    volume_ = 100;
    c.volume = true;
  }
  return c;
}

Changes Player::pause(bool resumes) {
  if (state_ == State::Playing || state_ == State::Fading) return setState(State::Paused);
  if (state_ == State::Paused && resumes) return setState(State::Playing);
  return Changes();
}

Changes Player::stop() { return setState(State::Stopped); }

// Both ends wrap, as with the player's repeat on; the play state is kept.
Changes Player::previous() {
  if (tracks_.empty()) return Changes();
  int n = static_cast<int>(tracks_.size());
  return moveTo((current_ + n - 1) % n);
}

Changes Player::next() {
  if (tracks_.empty()) return Changes();
  return moveTo((current_ + 1) % static_cast<int>(tracks_.size()));
}

// Only a playing player has something to fade; a paused one just stops.
Changes Player::beginFade() {
  if (state_ == State::Playing) return setState(State::Fading);
  return setState(State::Stopped);
}

Changes Player::endFade() {
  Changes c = setState(State::Stopped);
  volume_ = 100;
  c.volume = true;
  return c;
}

Changes Player::replaceAndPlay(const std::vector<std::string>& tracks, const std::vector<std::wstring>& titles) {
  tracks_ = tracks;
  titles_ = titles;
  titles_.resize(tracks_.size());
  current_ = 0;
  Changes c = setState(tracks_.empty() ? State::Stopped : State::Playing);
  c.playlist = true;
  c.track = true;
  return c;
}

Changes Player::append(const std::vector<std::string>& tracks, const std::vector<std::wstring>& titles) {
  titles_.resize(tracks_.size());
  titles_.insert(titles_.end(), titles.begin(), titles.end());
  tracks_.insert(tracks_.end(), tracks.begin(), tracks.end());
  titles_.resize(tracks_.size());
  Changes c;
  c.playlist = true;
  return c;
}

std::string Player::currentTrackName() const {
  if (tracks_.empty()) return "(none)";
  return tracks_[static_cast<size_t>(current_)];
}

std::wstring Player::title(int index) const {
  if (index < 0 || index >= static_cast<int>(titles_.size())) return std::wstring();
  return titles_[static_cast<size_t>(index)];
}

Request ParseCommandLine(const std::string& cmdline) {
  Request req;
  size_t i = ProgramEnd(cmdline);
  while (i < cmdline.size()) {
    while (i < cmdline.size() && IsBlank(cmdline[i])) ++i;
    if (i >= cmdline.size()) break;
    std::string token;
    if (cmdline[i] == '"') {
      size_t close = cmdline.find('"', i + 1);
      if (close == std::string::npos) close = cmdline.size();
      token = cmdline.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      size_t b = i;
      while (i < cmdline.size() && !IsBlank(cmdline[i])) ++i;
      token = cmdline.substr(b, i - b);
    }
    if (token.compare(0, 10, "--profile=") == 0) {
      req.profile = token.substr(10);
    } else if (IsSwitch(token)) {
      if (EqualsNoCase(token, "/ADD")) req.append = true;
    } else if (!token.empty()) {
      req.files.push_back(token);
    }
  }
  return req;
}

// The program's own conversions: the stand-in need not differ from it here.
std::string Utf8(const std::u16string& text) { return platform::Utf16ToUtf8(text); }

std::u16string Utf16(const std::string& text) { return platform::Utf8ToUtf16(text); }

bool ReadPlayFileW(unsigned long kind, const void* data, std::size_t size, Request* request) {
  if (kind != kCopyDataPlayFileW || data == nullptr || size % 2 != 0) return false;
  std::u16string path;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const char16_t unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    if (unit == 0) {
      if (path.empty()) return false;
      request->append = true;
      request->files = {Utf8(path)};
      return true;
    }
    path += unit;
  }
  return false;
}

std::vector<ListEntry> ParsePlaylistEntries(const std::string& bytes) {
  std::vector<ListEntry> entries;
  std::string title;
  size_t i = 0;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  while (i < bytes.size()) {
    size_t e = i;
    while (e < bytes.size() && bytes[e] != '\r' && bytes[e] != '\n') ++e;
    std::string line = Trim(bytes.substr(i, e - i));
    if (line.compare(0, 8, "#EXTINF:") == 0) {
      const size_t comma = line.find(',');
      title = comma == std::string::npos ? std::string() : line.substr(comma + 1);
    } else if (!line.empty() && line[0] != '#') {
      entries.push_back({line, title});
      title.clear();
    }
    if (e < bytes.size() && bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ++e;
    i = e + 1;
  }
  return entries;
}

std::vector<std::string> ParsePlaylist(const std::string& bytes) {
  std::vector<std::string> tracks;
  for (ListEntry& entry : ParsePlaylistEntries(bytes)) tracks.push_back(std::move(entry.path));
  return tracks;
}

bool IsUtf8Playlist(const std::string& path, const std::string& bytes) {
  return bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ||
         (path.size() >= 5 && EqualsNoCase(path.substr(path.size() - 5), ".m3u8"));
}

std::wstring FileTitle(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

bool IsPlaylistFile(const std::string& path) {
  return (path.size() >= 4 && EqualsNoCase(path.substr(path.size() - 4), ".m3u")) ||
         (path.size() >= 5 && EqualsNoCase(path.substr(path.size() - 5), ".m3u8"));
}

std::string UnixPathToWine(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

}  // namespace standin

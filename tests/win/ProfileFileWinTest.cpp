// Our profile file against the real GetPrivateProfileStringA and
// WritePrivateProfileStringA, on the same files. Where Wine is known to differ
// from Windows, the case is left out of the comparison and the test that
// pins our (Windows) behaviour is named WindowsNotWine_ in the native tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Locale.h"
#include "platform/ProfileFile.h"
#include "tests/win/WinTestSupport.h"

namespace {

const std::string kZo = "\x83\x5D";  // "ゾ": trail byte "]"
const std::string kSo = "\x83\x5C";  // "ソ": trail byte "\"
const std::string kA = "\x83\x41";   // "ア": trail byte "A"
const std::string kTsu = "\x83\x61"; // trail byte "a"

void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string GetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Ours takes and gives UTF-8; the A functions the code page's text.
std::string U(const std::string& ansi) { return platform::SystemToUtf8(ansi); }

std::string RealRead(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& def) {
  char buffer[2048];
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                           sizeof buffer, path.c_str());
  return std::string(buffer, n);
}

std::string Shown(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      char hex[8];
      wsprintfA(hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

class ProfileFileWinTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = wintest::TempFolder("kv-profile"); }
  void TearDown() override {
    for (const std::string& path : made_) DeleteFileA(path.c_str());
  }
  // A new name for every file, even across runs of the suite: the profile
  // functions cache files they have seen.
  std::string NewPath() {
    static int count = 0;
    const std::string path = folder_ + "p" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++count) + ".ini";
    DeleteFileA(path.c_str());
    made_.push_back(path);
    return path;
  }

  std::string folder_;
  std::vector<std::string> made_;
};

TEST_F(ProfileFileWinTest, ReadsHandTypedFormsAsTheRealFunction) {
  struct Case {
    std::string file;
    std::string section;
    std::string key;
  };
  const std::string longValue = std::string(2100, 'a');
  const std::vector<Case> cases = {
      {"[S]\r\nk=v\r\n", "S", "k"},
      {"[S]\nk=v\n", "S", "k"},
      {"[S]\rk=v\r", "S", "k"},
      {"[T]\r\n[S]\rj=1\nk=v\r\n", "S", "k"},
      {"[S]\r\nk=v", "S", "k"},
      {"[S]\r\n \t k \t= \t v w \t\r\n", "S", "k"},
      {"  [ S ]  \r\nk=v\r\n", "S", "k"},
      {"[S] ; note\r\nk=v\r\n", "S", "k"},
      {"[sEtTiNg]\r\nPLAYERPATH=v\r\n", "Setting", "PlayerPath"},
      {"[S]\r\nk=\"v\"\r\n", "S", "k"},
      {"[S]\r\nk='v'\r\n", "S", "k"},
      {"[S]\r\nk=\" v \"\r\n", "S", "k"},
      {"[S]\r\nk=\"\"v\"\"\r\n", "S", "k"},
      {"[S]\r\nk=\"v'\r\n", "S", "k"},
      {"[S]\r\nk=\"v\r\n", "S", "k"},
      {"[S]\r\nk=\"\r\n", "S", "k"},
      {"[S]\r\nk=\"\"\r\n", "S", "k"},
      {"[S]\r\nk=\r\n", "S", "k"},
      {"[S]\r\nk = a = b\r\n", "S", "k"},
      {"[S]\r\nk=1\r\nk=2\r\n", "S", "k"},
      {"[S]\r\nk=1\r\n[s]\r\nk=2\r\n", "S", "k"},
      {"[S]\r\nk=1\r\n[S]\r\nj=2\r\n", "S", "j"},
      {"[S]\r\nk\r\n", "S", "k"},
      {"[S]\r\n k \r\nk=1\r\n", "S", "k"},
      {"[S]\r\n \t\r\n\r\nk=1\r\n", "S", "k"},
      {"[S]\r\n;k=1\r\n", "S", "k"},
      {"[T]\r\nk=1\r\n[S]\r\n", "S", "k"},
      {"k=1\r\n[S]\r\n", "S", "k"},
      {"[S\r\nk=1\r\n", "S", "k"},
      {"[S]]\r\nk=1\r\n", "S]", "k"},
      {"[T]\r\nk=1\r\n", "S", "k"},
      {"", "S", "k"},
      {std::string("[S]\r\nk=a\0b\r\n", 12), "S", "k"},
      {"[" + kZo + "]\r\nk=v\r\n", kZo, "k"},
      {"[S]\r\n[" + kZo + "\r\nk=v\r\n", "S", "k"},
      {"[S]\r\nk=C:\\" + kSo + "\\a.exe\r\n", "S", "k"},
      {"[S]\r\n" + kA + "=v\r\n", "S", kTsu},
      {"[S]\r\n" + kA + "=v\r\n", "S", kA},
      {"[S]\r\nk=" + longValue + "\r\n", "S", "k"},
      {"[S]\r\nk=\"" + longValue + "\"\r\n", "S", "k"},
      {"[Setting]\r\nPlaylistPos= 0x2 \r\nCloseOnStop=yes\r\n", "Setting", "PlaylistPos"},
  };
  for (const Case& c : cases) {
    const std::string path = NewPath();
    PutFile(path, c.file);
    const platform::ProfileFile ours(path);
    EXPECT_EQ(U(RealRead(path, c.section, c.key, "DEF")), ours.ReadString(U(c.section), U(c.key), "DEF"))
        << "[" << Shown(c.section) << "] " << Shown(c.key) << " in \"" << Shown(c.file) << "\"";
  }
}

TEST_F(ProfileFileWinTest, DefaultsAsTheRealFunction) {
  const std::string path = NewPath();
  PutFile(path, "[S]\r\n");
  const platform::ProfileFile ours(path);
  for (const std::string& def : std::vector<std::string>{"", "dflt", "dflt  ", "C:\\" + kSo + "\\"}) {
    EXPECT_EQ(U(RealRead(path, "S", "k", def)), ours.ReadString("S", "k", U(def))) << "'" << def << "'";
  }
  const std::string missing = folder_ + "missing.ini";
  EXPECT_EQ(RealRead(missing, "S", "k", "d"), platform::ProfileFile(missing).ReadString("S", "k", "d"));
}

// The same writes through the real function and through ours, from the same
// starting file, give the same bytes. The starting files are ones whose lines
// are already in the form Wine writes back: Wine rewrites every line of a
// file it saves, where Windows and we edit only the line concerned.
TEST_F(ProfileFileWinTest, WritesTheSameBytesAsTheRealFunction) {
  struct Write {
    const char* section;
    const char* key;
    std::string value;
  };
  const std::vector<Write> settings = {
      {"Info", "ApplicationName", "Kelvane"},
      {"Info", "Version", "0.30.03.01"},
      {"Info", "Path", "C:\\" + kSo + "\\Kelvane\\"},
      {"Setting", "PlayerPath", "C:\\Program Files\\Winamp\\winamp.exe"},
      {"Setting", "CorrectPath", "1"},
      {"Setting", "Width", "410"},
      {"Setting", "Height", "348"},
      {"Setting", "PlaylistTreeWidth", "200"},
      {"Setting", "ArtistTreeHeight", "150"},
      {"Setting", "ShowPrevIcon", "1"},
      {"Setting", "ShowPlayIcon", "1"},
      {"Setting", "ShowPauseIcon", "1"},
      {"Setting", "ShowStopIcon", "1"},
      {"Setting", "ShowNextIcon", "1"},
      {"Setting", "ShowEjectIcon", "1"},
      {"Setting", "PlayOnStartup", "0"},
      {"Setting", "PlayChangePause", "0"},
      {"Setting", "CloseOnStop", "1"},
      {"Setting", "PlaylistPos", "3"},
      {"Setting", "AutoHide", "1"},
      {"Setting", "FadeoutOnStop", "0"},
      {"Setting", "FadeoutOnChange", "0"},
      {"Setting", "PlayListPath", "D:\\" + kZo + "\\m3u"},
      {"Setting", "CheckMP3OnUpdate", "1"},
  };
  const std::vector<std::string> starts = {
      "<none>",
      "",
      "[Info]\r\nApplicationName=Old\r\n",
      "[Setting]\r\nPlaylistPos=7\r\nMine=1\r\n[Info]\r\nVersion=0.30.01.0\r\n[Other]\r\nx=1\r\n",
      "[setting]\r\nplayerpath=C:\\a.exe\r\n[info]\r\npath=C:\\\r\n",
      "[Info]\nVersion=0.30.01.0\n[Setting]\nWidth=500",
      "[Info]\rPath=C:\\\r[Setting]\rHeight=300\r",
      "[Setting]\r\nWidth=1\r\n[Setting]\r\nHeight=2\r\n",
      "[Setting]\r\nWidth=1\r\nWidth=2\r\n",
      "[" + kZo + "]\r\nk=1\r\n[Setting]\r\nShowPrevIcon=0\r\n",
  };
  for (const std::string& start : starts) {
    const std::string realPath = NewPath();
    const std::string ourPath = NewPath();
    if (start != "<none>") {
      PutFile(realPath, start);
      PutFile(ourPath, start);
    }
    for (const Write& w : settings) {
      ASSERT_TRUE(WritePrivateProfileStringA(w.section, w.key, w.value.c_str(), realPath.c_str()));
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, realPath.c_str());
    platform::ProfileFile ours(ourPath);
    for (const Write& w : settings) ours.WriteString(w.section, w.key, U(w.value));
    ours.Save();
    EXPECT_EQ(Shown(GetFile(realPath)), Shown(GetFile(ourPath))) << "from \"" << Shown(start) << "\"";
  }
}

enum class Mark { kUtf16Le, kUtf16Be, kUtf8 };

// Code-page text as an editor saves it in Unicode, mark first. "\x81\x9F"
// stands for a character the code page lacks: U+2603 is put in its place.
std::string Unicode(const std::string& text, Mark mark) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                  static_cast<int>(wide.size())));
  for (wchar_t& c : wide) {
    if (c == 0x25C6) c = 0x2603;  // the code page's black diamond becomes a snowman
  }
  if (mark == Mark::kUtf8) {
    std::string out(wide.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0],
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return "\xEF\xBB\xBF" + out;
  }
  const bool big = mark == Mark::kUtf16Be;
  std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t c : wide) {
    out += static_cast<char>(big ? c >> 8 : c & 0xFF);
    out += static_cast<char>(big ? c & 0xFF : c >> 8);
  }
  return out;
}

// Unicode files as the real functions read and write them: the same values,
// and after the same writes the same bytes, mark and encoding kept. The lines
// are in the form Wine writes back, so that its rewrite is comparable.
TEST_F(ProfileFileWinTest, UnicodeFilesReadAndWriteAsTheRealFunction) {
  const std::string kJou = "\x8F\xE3";  // "上" (U+4E0A): a code unit holding the byte 0x0A
  const std::string start = "; \x81\x9F\r\n[Setting]\r\nPlayListPath=D:\\" + kJou + kSo + "\r\nWidth=500\r\n"
                            "[" + kZo + "]\r\n" + kA + "=" + kA + "\r\n";
  const char* writes[][3] = {
      {"Info", "Version", "0.30.03.01"},
      {"Setting", "Width", "410"},
      {"Setting", "PlayerPath", "C:\\\x83\x5C\\w.exe"},
      {"Info", "Path", "C:\\\x8F\xE3\\"},
  };
  for (const Mark mark : {Mark::kUtf16Le, Mark::kUtf16Be, Mark::kUtf8}) {
    const std::string realPath = NewPath();
    const std::string ourPath = NewPath();
    PutFile(realPath, Unicode(start, mark));
    PutFile(ourPath, Unicode(start, mark));
    platform::ProfileFile ours(ourPath);
    for (const auto& probe : {std::make_pair(std::string("Setting"), std::string("PlayListPath")),
                              std::make_pair(std::string("Setting"), std::string("Width")),
                              std::make_pair(kZo, kA), std::make_pair(std::string("Info"), std::string("Path"))}) {
      EXPECT_EQ(Shown(U(RealRead(realPath, probe.first, probe.second, "DEF"))),
                Shown(ours.ReadString(U(probe.first), U(probe.second), "DEF")))
          << "mark " << static_cast<int>(mark) << " [" << Shown(probe.first) << "] " << Shown(probe.second);
    }
    for (const auto& w : writes) {
      ASSERT_TRUE(WritePrivateProfileStringA(w[0], w[1], w[2], realPath.c_str()));
      ours.WriteString(w[0], w[1], U(w[2]));
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, realPath.c_str());
    ours.Save();
    EXPECT_EQ(Shown(GetFile(realPath)), Shown(GetFile(ourPath))) << "mark " << static_cast<int>(mark);
  }
}

// For files typed by hand Wine's bytes differ from ours (it rewrites every
// line), so here the two results are compared as the real function reads
// them: every key reads the same from both.
TEST_F(ProfileFileWinTest, HandTypedFilesReadTheSameAfterTheSameWrites) {
  const std::vector<std::string> starts = {
      "; my settings\r\n[ Setting ]\r\n  PlayerPath = \"C:\\p.exe\" \r\n\tMine = 5\r\n\r\n\r\n[Other]\r\nx = 1\r\n",
      "[Setting]\r\nWidth\r\n;Height=9\r\n\r\n[Info]\r\n",
      "\r\n\r\n[Info] old\r\nVersion = 0.30.01.0\r\n\r\n",
      "[Setting]\r\nPlayerPath=C:\\" + kSo + "\\w.exe\r\n[" + kZo + "]\r\nPlayerPath=x\r\n",
  };
  const char* writes[][3] = {
      {"Info", "Version", "0.30.03.01"},
      {"Setting", "PlayerPath", "C:\\new.exe"},
      {"Setting", "Width", "410"},
      {"Setting", "Height", "348"},
  };
  const char* probes[][2] = {
      {"Info", "Version"},   {"Setting", "PlayerPath"}, {"Setting", "Width"}, {"Setting", "Height"},
      {"Setting", "Mine"},   {"Other", "x"},            {"Info", "Path"},
  };
  for (const std::string& start : starts) {
    const std::string realPath = NewPath();
    const std::string ourPath = NewPath();
    PutFile(realPath, start);
    PutFile(ourPath, start);
    for (const auto& w : writes) WritePrivateProfileStringA(w[0], w[1], w[2], realPath.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, realPath.c_str());
    platform::ProfileFile ours(ourPath);
    for (const auto& w : writes) ours.WriteString(w[0], w[1], w[2]);
    ours.Save();
    for (const auto& p : probes) {
      EXPECT_EQ(RealRead(realPath, p[0], p[1], "DEF"), RealRead(ourPath, p[0], p[1], "DEF"))
          << "[" << p[0] << "] " << p[1] << " from \"" << Shown(start) << "\"\nreal: \""
          << Shown(GetFile(realPath)) << "\"\nours: \"" << Shown(GetFile(ourPath)) << "\"";
    }
  }
}

// A folder the code page cannot hold turns the file into UTF-8 with a mark,
// which the real W function reads back exactly, every other line with it.
TEST_F(ProfileFileWinTest, AValueBeyondTheCodePageIsReadBackByTheRealFunction) {
  const std::string path = NewPath();
  PutFile(path, "[Setting]\r\nPlayerPath=C:\\" + kSo + "\\w.exe\r\nWidth=500\r\n");
  platform::ProfileFile ours(path);
  ours.WriteString("Setting", "PlayListPath", platform::Utf16ToUtf8(u"D:\\\uC74C\uC545 \U0001F600"));
  ours.Save();
  EXPECT_EQ(0, GetFile(path).rfind("\xEF\xBB\xBF", 0));
  const std::wstring widePath(path.begin(), path.end());  // the temporary folder's path is ASCII
  const auto realRead = [&](const wchar_t* key) {
    wchar_t buffer[256];
    const DWORD n = GetPrivateProfileStringW(L"Setting", key, L"DEF", buffer, 256, widePath.c_str());
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
  };
  EXPECT_TRUE(realRead(L"PlayListPath") == u"D:\\\uC74C\uC545 \U0001F600");
  EXPECT_TRUE(realRead(L"PlayerPath") == u"C:\\\u30BD\\w.exe");
  EXPECT_TRUE(realRead(L"Width") == u"500");
}

TEST_F(ProfileFileWinTest, FailedSaveKeepsTheOldFileAndNamesIt) {
  const std::string path = NewPath();
  const std::string old = "[Setting]\r\nPlayerPath=C:\\old.exe\r\n";
  PutFile(path, old);
  platform::ProfileFile ours(path);
  ours.WriteString("Setting", "PlayerPath", "C:\\new.exe");
  // Held open without sharing, as another program might hold it.
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  try {
    ours.Save();
    ADD_FAILURE() << "a save over a file held by another program succeeded";
  } catch (const platform::Error& e) {
    EXPECT_NE(std::string::npos, std::string(e.what()).find(path)) << e.what();
  }
  CloseHandle(held);
  EXPECT_EQ(old, GetFile(path));
}

// A file another program holds reads as the real function reads it, and a
// save does not replace what could not be read.
TEST_F(ProfileFileWinTest, HeldFileReadsAsTheRealFunctionAndIsNotSavedOver) {
  const std::string path = NewPath();
  const std::string old = "[Setting]\r\nWidth=500\r\n";
  PutFile(path, old);
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  platform::ProfileFile ours(path);
  EXPECT_EQ(RealRead(path, "Setting", "Width", "410"), ours.ReadString("Setting", "Width", "410"));
  CloseHandle(held);
  ours.WriteString("Setting", "Height", "348");
  EXPECT_THROW(ours.Save(), platform::Error);
  EXPECT_EQ(old, GetFile(path));
}

// Windows refuses to write a read-only file; Wine running as root writes it
// all the same, so only our side is checked: refused, file and attribute kept.
TEST_F(ProfileFileWinTest, ReadOnlyFileIsKeptAndReported) {
  const std::string path = NewPath();
  const std::string old = "[Setting]\r\nWidth=500\r\n";
  PutFile(path, old);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  platform::ProfileFile ours(path);
  EXPECT_EQ("500", ours.ReadString("Setting", "Width", ""));
  ours.WriteString("Setting", "Width", "410");
  try {
    ours.Save();
    ADD_FAILURE() << "a read-only file was replaced";
  } catch (const platform::Error& e) {
    EXPECT_EQ(path + " に書き込めません", e.what());
  }
  EXPECT_EQ(old, GetFile(path));
  EXPECT_NE(0u, GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

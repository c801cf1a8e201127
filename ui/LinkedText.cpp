// Characters above U+FFFF drawn with the faces linked to a font, for Wine.
#include "ui/LinkedText.h"

#include <usp10.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/LateLoad.h"

namespace gui {

namespace {

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool PairAt(const wchar_t* text, int i, int length) {
  return i + 1 < length && IsHigh(text[i]) && IsLow(text[i + 1]);
}

// Uniscribe, loaded at the first such text: it maps a character above U+FFFF
// to a glyph of a given font, which nothing in GDI does. Most runs never need
// it, and it is not worth loading at every start.
struct Uniscribe {
  decltype(&ScriptItemize) itemize = nullptr;
  decltype(&ScriptShape) shape = nullptr;
  decltype(&ScriptPlace) place = nullptr;
  decltype(&ScriptFreeCache) freeCache = nullptr;
};
const Uniscribe* Usp() {
  static const Uniscribe usp = [] {
    Uniscribe u;
    u.itemize = platform::late::Function<decltype(&ScriptItemize)>(L"usp10.dll", "ScriptItemize");
    u.shape = platform::late::Function<decltype(&ScriptShape)>(L"usp10.dll", "ScriptShape");
    u.place = platform::late::Function<decltype(&ScriptPlace)>(L"usp10.dll", "ScriptPlace");
    u.freeCache = platform::late::Function<decltype(&ScriptFreeCache)>(L"usp10.dll", "ScriptFreeCache");
    return u;
  }();
  return usp.itemize && usp.shape && usp.place && usp.freeCache ? &usp : nullptr;
}

// The glyph of one surrogate pair in the dc's font, and its advance; false
// where the font has none.
bool GlyphOf(HDC dc, const wchar_t* pair, WORD* glyph, int* advance) {
  const Uniscribe* usp = Usp();
  if (!usp) return false;
  SCRIPT_ITEM items[4];
  int count = 0;
  if (FAILED(usp->itemize(pair, 2, 3, nullptr, nullptr, items, &count)) || count != 1) return false;
  SCRIPT_CACHE cache = nullptr;
  WORD glyphs[4] = {};
  WORD clusters[2];
  SCRIPT_VISATTR attributes[4];
  int glyphCount = 0;
  bool found = SUCCEEDED(usp->shape(dc, &cache, pair, 2, 4, &items[0].a, glyphs, clusters, attributes, &glyphCount)) &&
               glyphCount == 1 && glyphs[0] != 0;
  if (found) {
    GOFFSET offset;
    ABC abc;
    found = SUCCEEDED(usp->place(dc, &cache, glyphs, 1, attributes, &items[0].a, advance, &offset, &abc));
    *glyph = glyphs[0];
  }
  usp->freeCache(&cache);
  return found;
}

// The faces the system links to a face, in order: each value of the key is a
// list of "file,face[,scaling...]" strings.
std::vector<std::wstring> LinkedFaces(const std::wstring& face) {
  static std::map<std::wstring, std::vector<std::wstring>> read;
  auto known = read.find(face);
  if (known != read.end()) return known->second;
  std::vector<std::wstring> faces;
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink", 0,
                    KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, face.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_MULTI_SZ) {
      // Two more units, so that a value stored without its final nulls still ends.
      std::vector<wchar_t> list(size / sizeof(wchar_t) + 2, L'\0');
      if (RegQueryValueExW(key, face.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(list.data()), &size) ==
          ERROR_SUCCESS) {
        for (const wchar_t* entry = list.data(); *entry; entry += wcslen(entry) + 1) {
          std::wstring text(entry);
          const std::size_t comma = text.find(L',');
          if (comma == std::wstring::npos) continue;
          faces.push_back(text.substr(comma + 1, text.find(L',', comma + 1) - comma - 1));
        }
      }
    }
    RegCloseKey(key);
  }
  read[face] = faces;
  return faces;
}

// The dc's font and the faces linked to it, each made at the font's size and
// style when first asked for; freed with the set.
class FaceSet {
 public:
  explicit FaceSet(HDC dc) : dc_(dc), base_(static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT))) {
    GetObjectW(base_, sizeof(logFont_), &logFont_);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    // Links are kept under the face asked for or under the one the system
    // put in its place: both are read.
    for (const std::wstring& face : {std::wstring(logFont_.lfFaceName), std::wstring(chosen)}) {
      for (const std::wstring& linked : LinkedFaces(face)) {
        if (std::find(faces_.begin(), faces_.end(), linked) == faces_.end()) faces_.push_back(linked);
      }
    }
    fonts_.assign(faces_.size(), nullptr);
  }
  ~FaceSet() {
    SelectObject(dc_, base_);
    for (HFONT font : fonts_) {
      if (font) DeleteObject(font);
    }
  }
  FaceSet(const FaceSet&) = delete;
  FaceSet& operator=(const FaceSet&) = delete;

  // Selects the first font of the set that holds the pair; false, with the
  // dc's own font selected, where none does.
  bool SelectFor(const wchar_t* pair, WORD* glyph, int* advance) {
    SelectObject(dc_, base_);
    if (GlyphOf(dc_, pair, glyph, advance)) return true;
    for (std::size_t i = 0; i < faces_.size(); ++i) {
      if (!fonts_[i]) {
        LOGFONTW linked = logFont_;
        lstrcpynW(linked.lfFaceName, faces_[i].c_str(), LF_FACESIZE);
        // The font's own character set (Shift-JIS on a Japanese system)
        // would make the system pass over a face that lacks it.
        linked.lfCharSet = DEFAULT_CHARSET;
        fonts_[i] = CreateFontIndirectW(&linked);
        if (!fonts_[i]) continue;
      }
      SelectObject(dc_, fonts_[i]);
      if (GlyphOf(dc_, pair, glyph, advance)) return true;
    }
    SelectObject(dc_, base_);
    return false;
  }
  void SelectBase() { SelectObject(dc_, base_); }

 private:
  HDC dc_;
  HFONT base_;
  LOGFONTW logFont_{};
  std::vector<std::wstring> faces_;
  std::vector<HFONT> fonts_;
};

}  // namespace

bool BoxesBeyondBasicPlane() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

bool HasBeyondBasicPlane(const wchar_t* text, int length) {
  for (int i = 0; i < length; ++i) {
    if (PairAt(text, i, length)) return true;
  }
  return false;
}

int DrawLinkedText(HDC dc, int x, int y, const wchar_t* text, int length) {
  // On the baseline, so that glyphs of faces of other heights stand in line.
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const UINT align = SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  const int baseline = y + metrics.tmAscent;
  FaceSet faces(dc);
  const int start = x;
  int i = 0;
  while (i < length) {
    int end = i;
    while (end < length && !PairAt(text, end, length)) ++end;
    if (end > i) {
      faces.SelectBase();
      SIZE size{};
      ExtTextOutW(dc, x, baseline, 0, nullptr, text + i, static_cast<UINT>(end - i), nullptr);
      GetTextExtentPoint32W(dc, text + i, end - i, &size);
      x += size.cx;
      i = end;
      continue;
    }
    WORD glyph = 0;
    int advance = 0;
    if (faces.SelectFor(text + i, &glyph, &advance)) {
      ExtTextOutW(dc, x, baseline, ETO_GLYPH_INDEX, nullptr, reinterpret_cast<LPCWSTR>(&glyph), 1, nullptr);
      x += advance;
    } else {
      SIZE size{};
      ExtTextOutW(dc, x, baseline, 0, nullptr, text + i, 2, nullptr);
      GetTextExtentPoint32W(dc, text + i, 2, &size);
      x += size.cx;
    }
    i += 2;
  }
  faces.SelectBase();
  SetTextAlign(dc, align);
  return x - start;
}

}  // namespace gui

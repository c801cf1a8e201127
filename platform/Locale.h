#pragma once
#include <cstddef>
#include <string>

namespace platform {

// The double-byte lead-byte test of the system code page (932: 0x81-0x9F,
// 0xE0-0xFC). No double-byte code page has a lead byte below 0x81, so the
// ASCII bytes of names and paths are answered here without asking the system.
bool IsSystemLeadByte(unsigned char byte);
inline bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && IsSystemLeadByte(byte); }
// The number of the system code page (GetACP): 932, 1252, ...
unsigned SystemCodePage();

// Text of the system code page to UTF-16 and back (MultiByteToWideChar and
// WideCharToMultiByte with CP_ACP): a character the other side lacks becomes
// the system's default character.
std::u16string AnsiToUtf16(const std::string& text);
std::string Utf16ToAnsi(const std::u16string& text);

// Text the user typed or chose, for the settings and the library, which stay
// in the system code page. False when the code page cannot hold every
// character of it: a stand-in ("?" or a look-alike) would name another file.
bool Utf16ToAnsiExact(const std::u16string& text, std::string* ansi);

// One UTF-8 sequence at p, of the n bytes left: its length, with the character
// in *code; 0 when the bytes start no well-formed sequence (overlong forms,
// surrogates and codes past U+10FFFF included).
std::size_t DecodeUtf8(const unsigned char* p, std::size_t n, char32_t* code);
// Appends a character as one UTF-16 unit or a surrogate pair.
void AppendUtf16(char32_t code, std::u16string* out);

// Text inside the program is UTF-8 in std::string: names, paths, settings,
// tags, keys and lines of the library. Other forms live only at the edges:
// UTF-16 for the W calls and the face, the system code page for files kept in
// today's format and the redirected console. The program's own texts (the
// narrow literals) are UTF-8 too: the sources are compiled as UTF-8.
//
// UTF-16 and UTF-8 both ways; a lone surrogate or a byte that starts no
// well-formed sequence becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& text);
// Text of the system code page (a file in today's format, an A answer) in
// the inside form. A byte that starts no character becomes the system's
// default character, so IsExactSystemText tells whether anything was lost.
std::string SystemToUtf8(const std::string& ansi);
// The inside form in the system code page: false, with *ansi untouched,
// when the code page cannot hold every character (a stand-in would name
// another file or merge two names).
bool Utf8ToSystemExact(const std::string& text, std::string* ansi);
// The same where a stand-in is acceptable: output for a redirected console.
std::string Utf8ToSystem(const std::string& text);
// Whether bytes are text of the system code page that converts to UTF-16
// and back to the same bytes.
bool IsExactSystemText(const std::string& ansi);

// The locale comparison of UTF-8 texts without regard to letter case (CompareStringW with
// NORM_IGNORECASE under the user's default locale): less than, equal to or
// greater than zero.
int CompareTextIgnoringCase(const std::string& a, const std::string& b);

// A key that agrees with CompareTextIgnoringCase: two texts compare equal
// exactly when their keys are equal, and the keys' byte order is the
// comparison's order. For hashing and sorting many texts.
std::string CaseInsensitiveKey(const std::string& text);
// The same key appended to `key`: for keys made by the ten thousand into
// buffers that are reused.
void AppendCaseInsensitiveKey(const char* text, std::size_t size, std::string* key);
// A hash of the key, and the equality of two texts' keys, without keeping
// either key.
std::size_t CaseInsensitiveHash(const char* text, std::size_t size);
bool EqualIgnoringCase(const char* a, std::size_t aSize, const char* b, std::size_t bSize);

}  // namespace platform

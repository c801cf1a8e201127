#pragma once
// Text beyond U+FFFF (emoji, historic scripts) under Wine.
//
// Wine's GDI maps text to glyphs one UTF-16 unit at a time, so each half of a
// character above U+FFFF comes out as a box, in every face and through every
// font link; Windows draws such text through Uniscribe's fallback and needs
// none of this. Under Wine the controls that show names draw such text
// themselves, with the faces the system links to their font.
#include <windows.h>

namespace gui {

// True under Wine only.
bool BoxesBeyondBasicPlane();
// The text holds a character above U+FFFF.
bool HasBeyondBasicPlane(const wchar_t* text, int length);
// Draws the text with its top left at (x, y) in the dc's font, colour and
// background mode: runs of the basic plane as GDI draws them (Wine's font
// links serve them), each character above U+FFFF in the first of the font
// and the faces linked to it that holds it, a box where none does.
// Returns the width drawn.
int DrawLinkedText(HDC dc, int x, int y, const wchar_t* text, int length);

}  // namespace gui

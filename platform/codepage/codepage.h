// Code-page conversion.  Subtitle text lives inside the program as bytes of
// the ANSI code page, 932; it is converted only at the edges (files in other
// code pages, Qt strings, the clipboard).
#pragma once

#include <string>
#include <string_view>

namespace tl::cp {

constexpr int kAnsi = 932;

// Lead / trail bytes of a double-byte character of code page 932.
bool isLeadByte(unsigned char b);
bool isTrailByte(unsigned char b);

// iconv name of a code page number ("CP932", "ISO-8859-1", "UTF-8", ...);
// nullptr when unknown.
const char* iconvName(int codepage);
// True for the code pages of one byte per character (the ISO-8859 family and
// 1252); false for 932, EUC, JIS, UTF-7/8/16, 0 and unknown numbers.
bool isSingleByte(int codepage);

// No byte above 0x7F.
bool isAscii(std::string_view s);
// Code pages in which every byte below 0x80 is that ASCII character on its
// own (not UTF-7, the escape-driven JIS forms or UTF-16).
bool asciiIsItself(int codepage);

// Decodes bytes of `codepage` and encodes them in 932.  Characters without a
// 932 form become '?'.  Code page 0 returns the bytes as they are.  Undefined
// bytes of the source are replaced, never cut.  16-bit code pages (1200,
// 1201) are handled.  *ok (if given) is false when the code page is unknown.
std::string toAnsi(std::string_view bytes, int codepage, bool* ok = nullptr);
// The reverse: 932 bytes to `codepage` (0: as they are).
std::string fromAnsi(std::string_view ansi, int codepage, bool* ok = nullptr);

std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view text);
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);

}  // namespace tl::cp

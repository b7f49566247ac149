// Conversions between 8-bit texts and the wide characters of Windows, with one rule for which
// code page an 8-bit text is in. fldigi sends UTF-8, automation errors carry UTF-8, the rest of
// the bridge uses the ANSI code page: a text is taken as UTF-8 when it holds at least one byte
// >= 0x80 and all of it is well-formed UTF-8; pure ASCII reads the same either way.
#pragma once

#include <string>
#include <string_view>

// Well-formed UTF-8 in the strict sense: shortest forms only, no UTF-16 surrogates
// (U+D800..U+DFFF), nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// True: the text converts as UTF-8. False: with the ANSI code page.
bool DecodeAsUtf8(std::string_view text);

// The 8-bit text in wide characters, in the code page DecodeAsUtf8 chooses.
std::wstring WidenText(std::string_view text);

// UTF-16 text (BSTRs, window texts) to UTF-8 bytes. Unpaired surrogates become U+FFFD, so the
// result is always valid UTF-8.
std::string ToUtf8(std::wstring_view text);

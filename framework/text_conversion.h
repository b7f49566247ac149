// Conversions between 8-bit texts and the wide characters of Windows, by the one rule of
// utf8.h for which code page an 8-bit text is in.
#pragma once

#include <string>
#include <string_view>

#include "base/utf8.h"

// The 8-bit text in wide characters, in the code page decodeAsUtf8 chooses.
std::wstring WidenText(std::string_view text);

// The 8-bit text, in the code page decodeAsUtf8 chooses, as UTF-8 (what WidenText reads, in
// UTF-8).
std::string Utf8FromAnsiOrUtf8(std::string_view text);

// UTF-8 text in wide characters; a malformed sequence becomes U+FFFD.
std::wstring WidenUtf8(std::string_view text);

// UTF-16 text (BSTRs, window texts) to UTF-8 bytes. Unpaired surrogates become U+FFFD, so the
// result is always valid UTF-8.
std::string ToUtf8(std::wstring_view text);

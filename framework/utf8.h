// UTF-16 text (BSTRs, window texts) to UTF-8 bytes.
#pragma once

#include <string>
#include <string_view>

// Unpaired surrogates become U+FFFD, so the result is always valid UTF-8.
std::string toUtf8(std::wstring_view text);

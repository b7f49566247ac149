// Turns the bridge's 8-bit texts into the wide characters of automation strings.
#pragma once

#include <string>
#include <string_view>

// UTF-8 when the bytes are well-formed UTF-8 with at least one non-ASCII byte, else the ANSI
// code page (see text_encoding.h).
std::wstring toHostText(std::string_view text);

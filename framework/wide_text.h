// Conversions of 8-bit texts to the window layer's wide characters.
#pragma once

#include <string>

// UTF-8 when the bytes are valid UTF-8, otherwise the system's ANSI code page. Exception
// texts come either way: automation errors carry UTF-8, the core's texts are ANSI.
std::wstring WidenMessageText(const char* text);

// The system's ANSI code page, as the core's texts are.
std::wstring WidenAnsi(const char* text);

// The system's own text for an error code (Windows only).
#pragma once

#include <string>

// The text FormatMessage has for `code` (a GetLastError value or an HRESULT) in UTF-16,
// without its trailing line break and blanks; empty when the system has none.
std::wstring systemErrorTextWide(unsigned long code);

// The same in UTF-8.
std::string systemErrorText(unsigned long code);

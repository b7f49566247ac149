// JSON string literals of wide texts, as the call journal writes them (and the e2e probe, which
// reports window texts in the same form).
#pragma once

#include <string>
#include <string_view>

// The text as a JSON string literal in UTF-8, quotes included: quote, backslash and the usual
// control characters escaped by name, other control characters and DEL as \u00XX.
std::string JsonString(std::wstring_view text);

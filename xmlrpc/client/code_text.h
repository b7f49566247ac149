// The fixed texts the client gives some numeric codes (internet errors, transport steps), and
// the look-up in a table of them.
#pragma once

#include <cstddef>
#include <cstdint>

struct CodeText {
    uint32_t code;
    const char* text;
};

// The text the table gives the code; null when it has none.
template <std::size_t N>
const char* findCodeText(const CodeText (&table)[N], uint32_t code) {
    for (const CodeText& entry : table) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return nullptr;
}

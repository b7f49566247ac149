// Which code page an 8-bit text from fldigi is in. fldigi sends UTF-8; other sources (and the
// rest of the bridge) use the ANSI code page. A text is taken as UTF-8 when it holds at least
// one byte >= 0x80 and all of it is well-formed UTF-8; pure ASCII reads the same either way.
// Header-only and portable.
#pragma once

#include <cstddef>
#include <string_view>

// Well-formed UTF-8 in the strict sense: shortest forms only, no UTF-16 surrogates
// (U+D800..U+DFFF), nothing above U+10FFFF.
inline bool isValidUtf8(std::string_view text) {
    const size_t size = text.size();
    size_t i = 0;
    while (i < size) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        // The allowed range of the second byte rules out overlongs, surrogates and > U+10FFFF.
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) {
                low = 0xA0;
            } else if (lead == 0xED) {
                high = 0x9F;
            }
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) {
                low = 0x90;
            } else if (lead == 0xF4) {
                high = 0x8F;
            }
        } else {
            return false;  // continuation byte, C0/C1 overlong lead, or F5..FF
        }
        if (size - i < length) {
            return false;
        }
        const unsigned char second = static_cast<unsigned char>(text[i + 1]);
        if (second < low || second > high) {
            return false;
        }
        for (size_t k = 2; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if (next < 0x80 || next > 0xBF) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

inline bool hasNonAsciiByte(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// True: convert as UTF-8. False: convert with the ANSI code page.
inline bool decodeAsUtf8(std::string_view text) {
    return hasNonAsciiByte(text) && isValidUtf8(text);
}

// Which code page an 8-bit text is in. fldigi sends UTF-8, automation errors carry UTF-8, the
// rest of the bridge uses the ANSI code page: a text is taken as UTF-8 when it holds at least one
// byte >= 0x80 and all of it is well-formed UTF-8; pure ASCII reads the same either way.
// Header-only and portable (the diagnostic log checks its texts with it in both builds).
#pragma once

#include <cstddef>
#include <string_view>

namespace utf8_detail {

// The number of bytes of the sequence led by `lead` and the allowed range of its second byte
// (which rules out overlongs, surrogates and code points above U+10FFFF); 0 for a byte that
// cannot lead a sequence (a continuation byte, a C0/C1 overlong lead, F5..FF).
struct SequenceShape {
    std::size_t length;
    int low;
    int high;
};

inline SequenceShape shapeOf(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return {3, lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return {4, lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF};
    }
    return {0, 0, 0};
}

inline bool isContinuation(unsigned char byte) {
    return byte >= 0x80 && byte <= 0xBF;
}

}  // namespace utf8_detail

// Well-formed UTF-8 in the strict sense: shortest forms only, no UTF-16 surrogates
// (U+D800..U+DFFF), nothing above U+10FFFF.
inline bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const utf8_detail::SequenceShape shape = utf8_detail::shapeOf(lead);
        if (shape.length == 0 || text.size() - i < shape.length) {
            return false;
        }
        const unsigned char second = static_cast<unsigned char>(text[i + 1]);
        if (second < shape.low || second > shape.high) {
            return false;
        }
        for (std::size_t k = 2; k < shape.length; ++k) {
            if (!utf8_detail::isContinuation(static_cast<unsigned char>(text[i + k]))) {
                return false;
            }
        }
        i += shape.length;
    }
    return true;
}

// True: the text converts as UTF-8. False: with the ANSI code page.
inline bool decodeAsUtf8(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return isValidUtf8(text);
        }
    }
    return false;
}

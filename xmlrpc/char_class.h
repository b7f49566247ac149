// 256-entry character-class table and tiny scan helpers shared by the scanners and decoders.
#pragma once

#include <cstdint>

namespace charclass {

enum : uint8_t {
    Blank = 1,   // space, tab, line feed, carriage return
    CSpace = 2,  // what the C library's isspace accepts in the "C" locale (adds \v, \f)
    Digit = 4,   // '0' to '9'
    Upper = 8,   // 'A' to 'Z'
};

struct Table {
    uint8_t classes[256];
    unsigned char lower[256];
};

constexpr Table makeTable() {
    Table t{};
    for (int c = 0; c < 256; ++c) {
        uint8_t k = 0;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            k |= Blank | CSpace;
        }
        if (c == '\v' || c == '\f') {
            k |= CSpace;
        }
        if (c >= '0' && c <= '9') {
            k |= Digit;
        }
        if (c >= 'A' && c <= 'Z') {
            k |= Upper;
        }
        t.classes[c] = k;
        t.lower[c] = static_cast<unsigned char>((k & Upper) ? c + ('a' - 'A') : c);
    }
    return t;
}

inline constexpr Table table = makeTable();

inline bool is(char c, uint8_t klass) {
    return (table.classes[static_cast<unsigned char>(c)] & klass) != 0;
}
inline bool isBlank(char c) {
    return is(c, Blank);
}
inline bool isCSpace(char c) {
    return is(c, CSpace);
}
inline bool isDigit(char c) {
    return is(c, Digit);
}
inline unsigned char lower(char c) {
    return table.lower[static_cast<unsigned char>(c)];
}

inline const char* skipBlanks(const char* p) {
    while (isBlank(*p)) {
        ++p;
    }
    return p;
}

// Case-blind equality of two NUL-terminated texts (ASCII letters only).
inline bool equalsIgnoreCase(const char* a, const char* b) {
    while (lower(*a) == lower(*b)) {
        if (*a == '\0') {
            return true;
        }
        ++a;
        ++b;
    }
    return false;
}

// True when `text` begins with `prefix`, letters compared case-blind.
inline bool startsWithIgnoreCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (lower(*text) != lower(*prefix)) {
            return false;
        }
    }
    return true;
}

}  // namespace charclass

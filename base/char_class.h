// 256-entry character-class table and tiny scan helpers shared by the scanners and decoders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace charclass {

enum : uint8_t {
    Blank = 1,         // space, tab, line feed, carriage return
    CSpace = 2,        // what the C library's isspace accepts in the "C" locale (adds \v, \f)
    Digit = 4,         // '0' to '9'
    Upper = 8,         // 'A' to 'Z'
    TagStop = 16,      // where the tag reader's plain copy stops: ' ', '>' and the NUL
    EntityPlain = 32,  // written unchanged by the entity encoder: 32..126 but the five markup
                       // characters & < > " '
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
        if (c == ' ' || c == '>' || c == '\0') {
            k |= TagStop;
        }
        if (c >= 32 && c <= 126 && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'') {
            k |= EntityPlain;
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

// Fast path of the tag scanners: when the text after blanks holds `tag` byte for byte, moves the
// cursor past it and returns true. `tag` must be a tag as the tag reader returns it ('<' first,
// '>' only last, no blanks), so the tag reader would have read exactly this text.
inline bool takeExactTag(const char*& cursor, const char* tag) {
    const char* p = skipBlanks(cursor);
    while (*tag != '\0' && *p == *tag) {
        ++p;
        ++tag;
    }
    if (*tag != '\0') {
        return false;
    }
    cursor = p;
    return true;
}

// Equality of `length` (at least sizeof(Word)) readable bytes at p with a literal, by two loads
// of a Word each: the first and the last sizeof(Word) bytes, which overlap when the length is
// under twice the word.
template <typename Word>
inline bool equalByWords(const char* p, const char* literal, size_t length) {
    Word a, b, c, d;
    std::memcpy(&a, p, sizeof a);
    std::memcpy(&b, literal, sizeof b);
    std::memcpy(&c, p + length - sizeof c, sizeof c);
    std::memcpy(&d, literal + length - sizeof d, sizeof d);
    return ((a ^ b) | (c ^ d)) == 0;
}

// Equality of `length` readable bytes at p with a literal, by word loads (literal tags are
// 4 to 19 bytes long).
template <size_t length>
inline bool equalBytes(const char* p, const char* literal) {
    if constexpr (length >= 8 && length <= 16) {
        return equalByWords<uint64_t>(p, literal, length);
    } else if constexpr (length >= 4 && length < 8) {
        return equalByWords<uint32_t>(p, literal, length);
    } else {
        return std::memcmp(p, literal, length) == 0;
    }
}

// The same for a text whose terminating NUL is at `end`, with a literal tag.
template <size_t N>
inline bool takeExactTag(const char*& cursor, const char* end, const char (&tag)[N]) {
    constexpr size_t length = N - 1;
    const char* p = skipBlanks(cursor);
    if (static_cast<size_t>(end - p) >= length && equalBytes<length>(p, tag)) {
        cursor = p + length;
        return true;
    }
    return false;
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

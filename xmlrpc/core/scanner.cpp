// Tag reader, tag check and entity coding over NUL-terminated 8-bit text.
#include "xmlrpc/core/scanner.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/char_class.h"
#include "xmlrpc/core/numbers.h"
#include "xmlrpc/core/text_writer.h"
#include "xmlrpc/core/value.h"

using charclass::isBlank;
using charclass::skipBlanks;

char* readTag(const char*& cursor, char* buffer) {
    // Room for the characters before '>': the buffer also needs the '>' and the NUL.
    constexpr size_t maxStored = TagBufferSize - 2;
    buffer[0] = '\0';
    const char* p = skipBlanks(cursor);
    if (*p != '<') {
        cursor = p;
        return buffer;
    }
    size_t length = 0;
    buffer[length++] = '<';
    p = skipBlanks(p + 1);
    for (;;) {
        // Copy the run of characters up to the next space, '>' or NUL in one piece.
        const char* run = p;
        while (!charclass::is(*p, charclass::TagStop)) {
            ++p;
        }
        size_t take = std::min(static_cast<size_t>(p - run), maxStored - length);
        std::memcpy(buffer + length, run, take);
        length += take;
        if (*p != ' ') {
            break;  // '>' or the end of the text
        }
        // A space survives only between two characters that need it.
        char last = buffer[length - 1];
        char next = p[1];
        ++p;
        if (last == '<' || last == '/' || next == ' ' || next == '/' || next == '>') {
            continue;
        }
        if (length < maxStored) {
            buffer[length++] = ' ';
        }
    }
    buffer[length++] = '>';
    buffer[length] = '\0';
    if (*p == '>') {
        ++p;
    }
    cursor = p;
    return buffer;
}

namespace {

// True when `tag` is one that the tag reader can return: '<' first, '>' only last, no blanks,
// and short enough for the tag buffer.
bool isNormalTag(const char* tag) {
    size_t length = std::strlen(tag);
    if (length < 2 || length > TagBufferSize - 1 || tag[0] != '<' || tag[length - 1] != '>') {
        return false;
    }
    for (size_t i = 0; i + 1 < length; ++i) {
        if (isBlank(tag[i]) || tag[i] == '>') {
            return false;
        }
    }
    return true;
}

}  // namespace

void expectTag(const char*& cursor, const char* tag) {
    const char* start = cursor;
    if (charclass::takeExactTag(cursor, tag) && isNormalTag(tag)) {
        return;
    }
    cursor = start;
    char buffer[TagBufferSize];
    if (!charclass::equalsIgnoreCase(readTag(cursor, buffer), tag)) {
        throw XmlRpcException(std::string("Expecting tag: ") + tag);
    }
}

namespace {

// Compares the range at p (bounded by end) with a literal.
template <size_t N>
bool startsWith(const char* p, const char* end, const char (&literal)[N]) {
    constexpr size_t length = N - 1;
    return static_cast<size_t>(end - p) >= length && std::memcmp(p, literal, length) == 0;
}

// Byte of the decimal reference at p ("&#" ...); 0 when it gives no usable byte. *next is
// set past "&#", the digits and one optional ';'.
unsigned char characterReference(const char* p, const char* end, const char** next) {
    const char* digits = p + 2;
    const char* stop;
    int32_t number = 0;
    parseLong32(digits, end, &stop, &number);
    const char* q = digits;
    while (q != end && charclass::isDigit(*q)) {
        ++q;
    }
    if (q != end && *q == ';') {
        ++q;
    }
    *next = q;
    return static_cast<unsigned char>(static_cast<uint32_t>(number) & 0xFF);
}

}  // namespace

size_t decodeEntitiesInto(char* out, const char* start, const char* end) {
    char* o = out;
    const char* p = start;
    while (p < end) {
        const char* amp =
            static_cast<const char*>(std::memchr(p, '&', static_cast<size_t>(end - p)));
        if (amp == nullptr) {
            amp = end;
        }
        std::memcpy(o, p, static_cast<size_t>(amp - p));
        o += amp - p;
        p = amp;
        if (p == end) {
            break;
        }
        if (startsWith(p, end, "&amp;")) {
            *o++ = '&';
            p += 5;
        } else if (startsWith(p, end, "&quot;")) {
            *o++ = '"';
            p += 6;
        } else if (startsWith(p, end, "&apos;") || startsWith(p, end, "&#039;")) {
            *o++ = '\'';
            p += 6;
        } else if (startsWith(p, end, "&lt;")) {
            *o++ = '<';
            p += 4;
        } else if (startsWith(p, end, "&gt;")) {
            *o++ = '>';
            p += 4;
        } else if (startsWith(p, end, "&#")) {
            const char* next;
            unsigned char byte = characterReference(p, end, &next);
            if (byte != 0) {
                *o++ = static_cast<char>(byte);
                p = next;
            } else {
                // A zero byte would end the text early: keep the reference as plain text.
                *o++ = '&';
                ++p;
            }
        } else {
            *o++ = '&';
            ++p;
        }
    }
    *o = '\0';
    return static_cast<size_t>(o - out);
}

char* decodeEntities(const char* start, const char* end) {
    char* out = static_cast<char*>(std::malloc(static_cast<size_t>(end - start) + 1));
    if (out == nullptr) {
        throw std::bad_alloc();
    }
    decodeEntitiesInto(out, start, end);
    return out;
}

namespace {

template <size_t N>
char* copyLiteral(char* o, const char (&literal)[N]) {
    std::memcpy(o, literal, N - 1);
    return o + N - 1;
}

// Writes the escaped form of a byte that is not plain: at most 6 characters.
char* writeEscaped(char* o, unsigned char c) {
    switch (c) {
        case '&':
            return copyLiteral(o, "&amp;");
        case '<':
            return copyLiteral(o, "&lt;");
        case '>':
            return copyLiteral(o, "&gt;");
        case '"':
            return copyLiteral(o, "&quot;");
        case '\'':
            return copyLiteral(o, "&apos;");
        default:
            *o++ = '&';
            *o++ = '#';
            if (c >= 100) {
                *o++ = static_cast<char>('0' + c / 100);
            }
            if (c >= 10) {
                *o++ = static_cast<char>('0' + c / 10 % 10);
            }
            *o++ = static_cast<char>('0' + c % 10);
            *o++ = ';';
            return o;
    }
}

}  // namespace

void appendEncodedEntities(TextWriter& out, const char* text) {
    // The text is copied in stretches of at most `stretch` characters, each byte as it is read.
    constexpr size_t stretch = 256;
    constexpr size_t longestEscape = 6;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (;;) {
        char* o = out.room(stretch);
        char* const stop = o + stretch - longestEscape;
        while (o < stop) {
            const unsigned char c = *p++;
            if (charclass::is(static_cast<char>(c), charclass::EntityPlain)) {
                *o++ = static_cast<char>(c);
            } else if (c == 0) {
                out.commit(o);
                return;
            } else {
                o = writeEscaped(o, c);
            }
        }
        out.commit(o);
    }
}

void appendEncodedEntities(std::string& out, const char* text) {
    TextWriter writer(out);
    appendEncodedEntities(writer, text);
    writer.flush();
}

std::string encodeEntities(const char* text) {
    std::string out;
    appendEncodedEntities(out, text);
    return out;
}

// dateTime.iso8601 contents: "YYYYMMDDTHH:MM:SS" read like the C scan format
// "%4d%2d%2dT%2d:%2d:%2d" and written like "%4d%02d%02dT%02d:%02d:%02d".
#include <algorithm>
#include <cstring>

#include "base/char_class.h"
#include "xmlrpc/core/codecs.h"
#include "xmlrpc/core/text_writer.h"

namespace {

// One "%Nd" conversion: skips C white space (not counted), then at most `width` characters of
// an optional sign and decimal digits. False when no digit was taken.
bool scanField(const char*& p, int width, int32_t& field) {
    const char* q = p;
    while (charclass::isCSpace(*q)) {
        ++q;
    }
    bool negative = false;
    if (*q == '+' || *q == '-') {
        negative = *q == '-';
        ++q;
        --width;
    }
    int32_t value = 0;
    int digits = 0;
    for (; digits < width && charclass::isDigit(*q); ++digits, ++q) {
        value = value * 10 + (*q - '0');
    }
    if (digits == 0) {
        return false;
    }
    field = negative ? -value : value;
    p = q;
    return true;
}

bool scanLiteral(const char*& p, char literal) {
    if (*p != literal) {
        return false;
    }
    ++p;
    return true;
}

// Writes v like printf "%0*d" (pad '0') or "%*d" (pad ' '): sign first, then padding.
char* formatPadded(char* out, int32_t v, int width, char pad) {
    char digits[10];
    int n = 0;
    uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int padding = width - n - (v < 0 ? 1 : 0);
    if (pad == ' ') {
        for (; padding > 0; --padding) {
            *out++ = ' ';
        }
    }
    if (v < 0) {
        *out++ = '-';
    }
    for (; padding > 0; --padding) {
        *out++ = '0';
    }
    while (n > 0) {
        *out++ = digits[--n];
    }
    return out;
}

// "%02d": the common 0..99 directly.
char* formatTwoDigits(char* out, int32_t v) {
    if (v < 0 || v > 99) {
        return formatPadded(out, v, 2, '0');
    }
    out[0] = static_cast<char>('0' + v / 10);
    out[1] = static_cast<char>('0' + v % 10);
    return out + 2;
}

// "%4d": the common four-digit years directly.
char* formatYear(char* out, int32_t v) {
    if (v < 1000 || v > 9999) {
        return formatPadded(out, v, 4, ' ');
    }
    return formatTwoDigits(formatTwoDigits(out, v / 100), v % 100);
}

}  // namespace

void readDateTime(XmlRpcValue& value, const char*& cursor) {
    const char* close = std::strchr(cursor, '<');
    if (close == nullptr) {
        throw XmlRpcException("Bad time value");
    }
    DateTime t;
    const char* p = cursor;
    bool complete = scanField(p, 4, t.year) && scanField(p, 2, t.month) && scanField(p, 2, t.day) &&
                    scanLiteral(p, 'T') && scanField(p, 2, t.hour) && scanLiteral(p, ':') &&
                    scanField(p, 2, t.minute) && scanLiteral(p, ':') && scanField(p, 2, t.second);
    if (!complete) {
        throw XmlRpcException("Bad time value");
    }
    t.month -= 1;
    t.weekday = -1;
    t.yearDay = -1;
    t.isDst = -1;
    value.setDateTime(t);
    cursor = close;
}

void writeDateTime(const XmlRpcValue& value, TextWriter& out) {
    static constexpr char head[] = "<value><dateTime.iso8601>";
    static constexpr char tail[] = "</dateTime.iso8601></value>";
    // The date and time: six fields of at most 11 characters and three separators.
    constexpr size_t longestText = 6 * 11 + 3;
    const DateTime& t = value.dateTimeValue();
    char* const start = out.room(sizeof head - 1 + longestText + sizeof tail - 1);
    char* const text = start + sizeof head - 1;
    std::memcpy(start, head, sizeof head - 1);
    char* end = formatYear(text, t.year);
    // Month 0 is January; the sum wraps like the int addition it stands for, without overflow.
    end = formatTwoDigits(end, static_cast<int32_t>(static_cast<uint32_t>(t.month) + 1u));
    end = formatTwoDigits(end, t.day);
    *end++ = 'T';
    end = formatTwoDigits(end, t.hour);
    *end++ = ':';
    end = formatTwoDigits(end, t.minute);
    *end++ = ':';
    end = formatTwoDigits(end, t.second);
    // The formatted text is held to 29 characters, as in a 30-char buffer.
    end = std::min(end, text + 29);
    std::memcpy(end, tail, sizeof tail - 1);
    out.commit(end + sizeof tail - 1);
}

void writeDateTime(const XmlRpcValue& value, std::string& out) {
    TextWriter writer(out);
    writeDateTime(value, writer);
    writer.flush();
}

// dateTime.iso8601 contents: "YYYYMMDDTHH:MM:SS" read like the C scan format
// "%4d%2d%2dT%2d:%2d:%2d" and written like "%4d%02d%02dT%02d:%02d:%02d".
#include <cstring>

#include "xmlrpc/char_class.h"
#include "xmlrpc/codecs.h"

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

void appendZeroPadded(std::string& out, int32_t v, int width, char pad) {
    // Same as printf "%0*d" (pad '0') or "%*d" (pad ' '): sign first, then padding.
    char digits[12];
    int n = 0;
    uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = n + (v < 0 ? 1 : 0);
    if (pad == ' ') {
        out.append(static_cast<size_t>(width > length ? width - length : 0), ' ');
    }
    if (v < 0) {
        out += '-';
    }
    if (pad == '0') {
        out.append(static_cast<size_t>(width > length ? width - length : 0), '0');
    }
    while (n > 0) {
        out += digits[--n];
    }
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

void writeDateTime(const XmlRpcValue& value, std::string& out) {
    const DateTime& t = value.dateTimeValue();
    // The formatted text is held to 29 characters, as in a 30-char buffer.
    std::string text;
    appendZeroPadded(text, t.year, 4, ' ');
    appendZeroPadded(text, t.month + 1, 2, '0');
    appendZeroPadded(text, t.day, 2, '0');
    text += 'T';
    appendZeroPadded(text, t.hour, 2, '0');
    text += ':';
    appendZeroPadded(text, t.minute, 2, '0');
    text += ':';
    appendZeroPadded(text, t.second, 2, '0');
    if (text.size() > 29) {
        text.resize(29);
    }
    out += "<value><dateTime.iso8601>";
    out += text;
    out += "</dateTime.iso8601></value>";
}

#include <cstring>

#include "fuzz/reference/reference.h"

namespace reference {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// One "%Nd" of the C library's formatted input: white space skipped, then at most `width`
// characters of an optional sign and decimal digits, at least one digit.
bool scanField(const char*& p, int width, int32_t& value) {
    while (isSpace(*p)) {
        ++p;
    }
    int used = 0;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
        ++used;
    }
    int64_t magnitude = 0;
    int digits = 0;
    for (; used < width && isDigit(*p); ++p, ++used, ++digits) {
        magnitude = magnitude * 10 + (*p - '0');
    }
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return digits > 0;
}

}  // namespace

bool dateTimeFields(const char* text, int32_t fields[6]) {
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    const char separators[6] = {0, 0, 'T', ':', ':', 0};
    const char* p = text;
    for (int i = 0; i < 6; ++i) {
        if (!scanField(p, widths[i], fields[i])) {
            return false;
        }
        if (separators[i] != 0) {
            if (*p != separators[i]) {
                return false;
            }
            ++p;
        }
    }
    return true;
}

IntReading int32At(const char* p, const char* end) {
    const char* q = p;
    while (q < end && isSpace(*q)) {
        ++q;
    }
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    if (q == end || !isDigit(*q)) {
        return {false, 0, 0};
    }
    int64_t magnitude = 0;
    for (; q < end && isDigit(*q); ++q) {
        magnitude = magnitude > 3000000000 ? magnitude : magnitude * 10 + (*q - '0');
    }
    int64_t value = negative ? -magnitude : magnitude;
    value = value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value;
    return {true, static_cast<int32_t>(value), static_cast<size_t>(q - p)};
}

std::string entitiesDecoded(const char* start, const char* end) {
    struct Named {
        const char* form;
        char byte;
    };
    const Named named[] = {{"&amp;", '&'},   {"&quot;", '"'}, {"&apos;", '\''},
                           {"&#039;", '\''}, {"&lt;", '<'},   {"&gt;", '>'}};
    std::string out;
    const char* p = start;
    while (p < end) {
        const std::string rest(p, end);
        bool done = false;
        for (const Named& n : named) {
            if (!done && rest.compare(0, std::strlen(n.form), n.form) == 0) {
                out += n.byte;
                p += std::strlen(n.form);
                done = true;
            }
        }
        if (done) {
            continue;
        }
        // A reference to the zero byte would end the text: it stays as plain text.
        const bool reference = rest.compare(0, 2, "&#") == 0;
        const int32_t number = reference ? int32At(p + 2, end).value : 0;
        if (reference && (static_cast<uint32_t>(number) & 0xFF) != 0) {
            out += static_cast<char>(static_cast<uint32_t>(number) & 0xFF);
            p += 2;
            while (p < end && isDigit(*p)) {
                ++p;
            }
            p += (p < end && *p == ';') ? 1 : 0;
            continue;
        }
        out += *p++;
    }
    return out;
}

}  // namespace reference

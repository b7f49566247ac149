#include "xmlrpc/numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "xmlrpc/char_class.h"

using charclass::isCSpace;
using charclass::isDigit;
using charclass::lower;

bool parseLong32(const char* p, const char* end, const char** stop, int32_t* result) {
    const char* start = p;
    while (p != end && isCSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end || !isDigit(*p)) {
        *stop = start;
        return false;
    }
    // Accumulate the magnitude, saturating just above the int32 range.
    const int64_t limit = int64_t{1} << 31;
    int64_t magnitude = 0;
    for (; p != end && isDigit(*p); ++p) {
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + (*p - '0');
        }
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        value = std::numeric_limits<int32_t>::max();
    } else if (value < std::numeric_limits<int32_t>::min()) {
        value = std::numeric_limits<int32_t>::min();
    }
    *stop = p;
    *result = static_cast<int32_t>(value);
    return true;
}

namespace {

// Case-blind match of a lower-case word at p; returns the length matched or 0.
size_t matchWord(const char* p, const char* word) {
    size_t n = 0;
    for (; word[n] != '\0'; ++n) {
        if (lower(p[n]) != static_cast<unsigned char>(word[n])) {
            return 0;
        }
    }
    return n;
}

bool parseSpecial(const char* p, bool negative, const char** stop, double* result) {
    if (size_t n = matchWord(p, "inf")) {
        size_t longer = matchWord(p, "infinity");
        *stop = p + (longer ? longer : n);
        *result = negative ? -std::numeric_limits<double>::infinity()
                           : std::numeric_limits<double>::infinity();
        return true;
    }
    if (size_t n = matchWord(p, "nan")) {
        const char* q = p + n;
        if (*q == '(') {  // "nan(chars)": letters, digits and '_' up to ')'
            const char* r = q + 1;
            while (isDigit(*r) || (lower(*r) >= 'a' && lower(*r) <= 'z') || *r == '_') {
                ++r;
            }
            if (*r == ')') {
                q = r + 1;
            }
        }
        *stop = q;
        double nan = std::numeric_limits<double>::quiet_NaN();
        *result = negative ? -nan : nan;
        return true;
    }
    return false;
}

}  // namespace

bool parseDouble(const char* p, const char** stop, double* result) {
    const char* start = p;
    while (isCSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (parseSpecial(p, negative, stop, result)) {
        return true;
    }
    // Span of the decimal form: digits, optional point and digits, optional exponent.
    const char* number = p;
    size_t digits = 0;
    int leadingExponent = 0;  // rough decimal magnitude, to tell overflow from underflow
    bool seenNonZero = false;
    for (; isDigit(*p); ++p, ++digits) {
        if (*p != '0') {
            seenNonZero = true;
        }
        if (seenNonZero) {
            ++leadingExponent;
        }
    }
    if (*p == '.') {
        ++p;
        for (; isDigit(*p); ++p, ++digits) {
            if (!seenNonZero) {
                if (*p != '0') {
                    seenNonZero = true;
                } else {
                    --leadingExponent;
                }
            }
        }
    }
    if (digits == 0) {
        *stop = start;
        return false;
    }
    long exponent = 0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') {
            negativeExponent = *q == '-';
            ++q;
        }
        if (isDigit(*q)) {
            for (; isDigit(*q); ++q) {
                if (exponent < 100000) {
                    exponent = exponent * 10 + (*q - '0');
                }
            }
            if (negativeExponent) {
                exponent = -exponent;
            }
            p = q;
        }
    }
    double value = 0.0;
    auto converted = std::from_chars(number, p, value, std::chars_format::general);
    if (converted.ec == std::errc::result_out_of_range) {
        value = (leadingExponent + exponent > 0) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    *stop = p;
    *result = negative ? -value : value;
    return true;
}

void appendInt32(std::string& out, int32_t v) {
    char buffer[12];
    char* end = buffer + sizeof buffer;
    char* p = end;
    uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (v < 0) {
        *--p = '-';
    }
    out.append(p, static_cast<size_t>(end - p));
}

namespace {

// Fast path of appendDouble for the common numbers that are a whole number of millionths or
// coarser, with at most six significant digits and 1e-4 <= |v| < 1e6 (for example 14070.5,
// 0.1, 100). For them "%.6g" prints exactly that decimal in fixed notation: the scaled
// product is within far less than half a unit of the sixth digit of the integer found.
bool appendShortDecimal(std::string& out, double v) {
    static constexpr double powersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    const double magnitude = std::fabs(v);
    if (!(magnitude >= 1e-4 && magnitude < 1e6)) {
        return false;
    }
    uint32_t digits = 0;
    int decimals = 0;
    for (;; ++decimals) {
        if (decimals > 6) {
            return false;
        }
        double scaled = magnitude * powersOfTen[decimals];
        if (scaled >= 1e6) {
            return false;
        }
        if (scaled == std::floor(scaled)) {
            digits = static_cast<uint32_t>(scaled);
            break;
        }
    }
    while (decimals > 0 && digits % 10 == 0) {
        digits /= 10;
        --decimals;
    }
    char buffer[16];
    char* end = buffer + sizeof buffer;
    char* p = end;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    if (decimals > 0) {
        *--p = '.';
    }
    do {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits != 0);
    if (std::signbit(v)) {
        *--p = '-';
    }
    out.append(p, static_cast<size_t>(end - p));
    return true;
}

}  // namespace

void appendDouble(std::string& out, double v) {
    if (std::isnan(v)) {
        out += "nan";
        return;
    }
    if (std::isinf(v)) {
        out += v < 0 ? "-inf" : "inf";
        return;
    }
    if (appendShortDecimal(out, v)) {
        return;
    }
    char buffer[40];
    auto converted =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
    const char* begin = buffer;
    const char* end = converted.ptr;
    const char* e = static_cast<const char*>(std::memchr(begin, 'e', end - begin));
    if (e == nullptr) {
        out.append(begin, end);
        return;
    }
    // Mantissa and exponent sign as printed, then the exponent digits padded to three.
    out.append(begin, e + 2);
    size_t exponentDigits = static_cast<size_t>(end - (e + 2));
    if (exponentDigits < 3) {
        out.append(3 - exponentDigits, '0');
    }
    out.append(e + 2, end);
}

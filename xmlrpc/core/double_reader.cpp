// Doubles read from text as the C library's strtod reads them in the "C" locale, on every
// platform alike: decimal and hexadecimal forms, infinities and NaNs.
#include <charconv>
#include <cmath>
#include <limits>

#include "base/char_class.h"
#include "xmlrpc/core/numbers.h"

using charclass::isCSpace;
using charclass::isDigit;
using charclass::lower;

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

bool isNanSequenceChar(char c) {
    return isDigit(c) || (lower(c) >= 'a' && lower(c) <= 'z') || c == '_';
}

// "inf", "infinity" and "nan" with an optional "(chars)", letters in any case.
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
        if (*q == '(') {
            const char* r = q + 1;
            while (isNanSequenceChar(*r)) {
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

bool isHexDigit(char c) {
    return isDigit(c) || (lower(c) >= 'a' && lower(c) <= 'f');
}

// The span of a mantissa: digits, an optional point and digits. Counts the digits, and the
// digits before the point from the first non-zero one on, less the zeros right after the point
// when nothing else came before: the rough magnitude that tells an overflow from an underflow.
struct Mantissa {
    const char* end;
    size_t digits;
    long magnitude;
};

Mantissa scanMantissa(const char* p, bool (*isDigitOfBase)(char)) {
    Mantissa m{p, 0, 0};
    bool seenNonZero = false;
    for (; isDigitOfBase(*p); ++p, ++m.digits) {
        seenNonZero = seenNonZero || *p != '0';
        m.magnitude += seenNonZero ? 1 : 0;
    }
    if (*p == '.') {
        for (++p; isDigitOfBase(*p); ++p, ++m.digits) {
            seenNonZero = seenNonZero || *p != '0';
            m.magnitude -= seenNonZero ? 0 : 1;
        }
    }
    m.end = p;
    return m;
}

// An exponent at p: the marker, an optional sign and at least one digit. Returns its end (p
// itself when there is none) and its value, saturated far beyond the double range.
const char* scanExponent(const char* p, char marker, long* exponent) {
    *exponent = 0;
    if (lower(*p) != marker) {
        return p;
    }
    const char* q = p + 1;
    const bool negative = *q == '-';
    q += (*q == '+' || *q == '-') ? 1 : 0;
    if (!isDigit(*q)) {
        return p;
    }
    for (; isDigit(*q); ++q) {
        *exponent = *exponent < 100000 ? *exponent * 10 + (*q - '0') : *exponent;
    }
    *exponent = negative ? -*exponent : *exponent;
    return q;
}

// Converts the unsigned number in [from, to); out of range gives an infinity when its rough
// magnitude is positive, zero otherwise.
double convert(const char* from, const char* to, std::chars_format format, long magnitude) {
    double value = 0.0;
    auto converted = std::from_chars(from, to, value, format);
    if (converted.ec == std::errc::result_out_of_range) {
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

bool isDecimalDigit(char c) {
    return isDigit(c);
}

// Decimal form at p: digits with an optional point, then an optional exponent.
bool parseDecimal(const char* p, const char** stop, double* value) {
    const Mantissa m = scanMantissa(p, isDecimalDigit);
    if (m.digits == 0) {
        return false;
    }
    long exponent;
    *stop = scanExponent(m.end, 'e', &exponent);
    *value = convert(p, *stop, std::chars_format::general, m.magnitude + exponent);
    return true;
}

// Hexadecimal form at p: "0x" or "0X", hex digits with an optional point, then an optional
// binary exponent "p". Without a hex digit the text is the decimal 0 followed by an 'x'.
bool parseHex(const char* p, const char** stop, double* value) {
    if (p[0] != '0' || lower(p[1]) != 'x') {
        return false;
    }
    const Mantissa m = scanMantissa(p + 2, isHexDigit);
    if (m.digits == 0) {
        return false;
    }
    long exponent;
    *stop = scanExponent(m.end, 'p', &exponent);
    *value = convert(p + 2, *stop, std::chars_format::hex, m.magnitude * 4 + exponent);
    return true;
}

enum class Forms { Decimal, WithHex };

bool parseAny(const char* p, const char** stop, double* result, Forms forms) {
    const char* start = p;
    while (isCSpace(*p)) {
        ++p;
    }
    const bool negative = *p == '-';
    p += (*p == '+' || *p == '-') ? 1 : 0;
    if (parseSpecial(p, negative, stop, result)) {
        return true;
    }
    double value;
    if ((forms == Forms::WithHex && parseHex(p, stop, &value)) || parseDecimal(p, stop, &value)) {
        *result = negative ? -value : value;
        return true;
    }
    *stop = start;
    return false;
}

}  // namespace

bool parseDouble(const char* p, const char** stop, double* result) {
    return parseAny(p, stop, result, Forms::Decimal);
}

bool parseStrtodDouble(const char* p, const char** stop, double* result) {
    return parseAny(p, stop, result, Forms::WithHex);
}

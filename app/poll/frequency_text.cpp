#include "frequency_text.h"

#include <charconv>
#include <cmath>

namespace pollcycle {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// White space as the C locale's isspace knows it.
bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

const char* skipDigits(const char* p) {
    while (isDigit(*p)) {
        ++p;
    }
    return p;
}

// For a number too large or too small for a double: whether it is too large. `mantissa` to
// `mantissaEnd` holds digits with an optional point; `exponent` is the parsed exponent.
bool overflows(const char* mantissa, const char* mantissaEnd, long exponent) {
    long magnitude = 0;  // decimal position of the first significant digit
    bool beforePoint = true;
    long position = 0;
    for (const char* p = mantissa; p != mantissaEnd; ++p) {
        if (*p == '.') {
            beforePoint = false;
            position = 0;
            continue;
        }
        if (*p != '0') {
            magnitude = beforePoint ? skipDigits(p) - p - 1 : -(position + 1);
            break;
        }
        ++position;
    }
    return magnitude + exponent >= 0;
}

}  // namespace

double leadingDecimalNumber(const std::string& text) {
    const char* p = text.c_str();
    while (isSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const char* mantissa = p;
    const char* integerEnd = skipDigits(p);
    bool hasDigits = integerEnd != mantissa;
    p = integerEnd;
    if (*p == '.') {
        const char* fractionEnd = skipDigits(p + 1);
        if (hasDigits || fractionEnd != p + 1) {
            hasDigits = true;
            p = fractionEnd;
        }
    }
    if (!hasDigits) {
        return 0.0;
    }
    const char* mantissaEnd = p;
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
    const std::from_chars_result result =
        std::from_chars(mantissa, p, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = overflows(mantissa, mantissaEnd, exponent) ? HUGE_VAL : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

double frequencyHertzFromKilohertzText(const std::string& text) {
    return leadingDecimalNumber(text) * 1000.0;
}

}  // namespace pollcycle

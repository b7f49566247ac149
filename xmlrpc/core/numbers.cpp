#include "xmlrpc/core/numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/char_class.h"

using charclass::isCSpace;
using charclass::isDigit;

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

constexpr char digitPairs[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546"
    "4748495051525354555657585960616263646566676869707172737475767778798081828384858687888990919293"
    "949596979899";

int decimalDigits(uint32_t v) {
    int digits = 1;
    for (uint32_t limit = 10; digits < 10 && v >= limit; limit *= 10) {
        ++digits;
    }
    return digits;
}

// Decimal digits of v, no leading zeros; returns the end.
char* formatUnsigned(char* out, uint32_t v) {
    char* const end = out + decimalDigits(v);
    char* p = end;
    for (; v >= 100; v /= 100) {
        p -= 2;
        std::memcpy(p, digitPairs + v % 100 * 2, 2);
    }
    if (v >= 10) {
        std::memcpy(p - 2, digitPairs + v * 2, 2);
    } else {
        p[-1] = static_cast<char>('0' + v);
    }
    return end;
}

}  // namespace

char* formatInt32(char* out, int32_t v) {
    if (v < 0) {
        *out++ = '-';
    }
    return formatUnsigned(out, v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v));
}

void appendInt32(std::string& out, int32_t v) {
    char buffer[MaxNumberLength];
    out.append(buffer, formatInt32(buffer, v));
}

namespace {

// Fast path of formatDouble for the common numbers that are a whole number of millionths or
// coarser, with at most six significant digits and 1e-4 <= |v| < 1e6 (for example 14070.5,
// 0.1, 100). For them "%.6g" prints exactly that decimal in fixed notation: the scaled
// product is within far less than half a unit of the sixth digit of the integer found.
// Returns nullptr for any other number.
char* formatShortDecimal(char* out, double v) {
    static constexpr double powersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    const double magnitude = std::fabs(v);
    if (!(magnitude >= 1e-4 && magnitude < 1e6)) {
        return nullptr;
    }
    uint32_t digits = 0;
    int decimals = 0;
    for (;; ++decimals) {
        if (decimals > 6) {
            return nullptr;
        }
        double scaled = magnitude * powersOfTen[decimals];
        if (scaled >= 1e6) {
            return nullptr;
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
    if (std::signbit(v)) {
        *out++ = '-';
    }
    static constexpr uint32_t scales[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    out = formatUnsigned(out, digits / scales[decimals]);
    if (decimals == 0) {
        return out;
    }
    *out++ = '.';
    // The fraction with its leading zeros, written from its last digit.
    uint32_t fraction = digits % scales[decimals];
    for (int i = decimals; i > 0; --i) {
        out[i - 1] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return out + decimals;
}

template <size_t N>
char* copyLiteral(char* out, const char (&literal)[N]) {
    std::memcpy(out, literal, N - 1);
    return out + N - 1;
}

}  // namespace

char* formatDouble(char* out, double v) {
    if (std::isnan(v)) {
        return copyLiteral(out, "nan");
    }
    if (std::isinf(v)) {
        return v < 0 ? copyLiteral(out, "-inf") : copyLiteral(out, "inf");
    }
    if (char* end = formatShortDecimal(out, v)) {
        return end;
    }
    char buffer[40];
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6).ptr;
    const char* e = static_cast<const char*>(std::memchr(buffer, 'e', end - buffer));
    if (e == nullptr) {
        const size_t length = static_cast<size_t>(end - buffer);
        std::memcpy(out, buffer, length);
        return out + length;
    }
    // Mantissa and exponent sign as printed, then the exponent digits padded to three.
    const size_t head = static_cast<size_t>(e + 2 - buffer);
    std::memcpy(out, buffer, head);
    out += head;
    const size_t exponentDigits = static_cast<size_t>(end - (e + 2));
    for (size_t i = exponentDigits; i < 3; ++i) {
        *out++ = '0';
    }
    std::memcpy(out, e + 2, exponentDigits);
    return out + exponentDigits;
}

void appendDouble(std::string& out, double v) {
    char buffer[MaxNumberLength];
    out.append(buffer, formatDouble(buffer, v));
}

// Differential target: int and double reading against the reference (strtol with a 32-bit
// long, written out; strtod of the C library in the "C" locale).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/mismatch.h"
#include "fuzz/reference/reference.h"
#include "xmlrpc/core/numbers.h"

namespace {

std::string describedInt(bool converted, int32_t value, size_t consumed) {
    return converted ? std::to_string(value) + " after " + std::to_string(consumed) : "none";
}

void ints(const std::string& input) {
    // Bounded by the range, and by the NUL alone.
    for (bool bounded : {true, false}) {
        const char* text = input.c_str();
        const char* end = bounded ? text + input.size() : text + std::strlen(text);
        const reference::IntReading r = reference::int32At(text, end);
        const char* stop = nullptr;
        int32_t value = 0;
        const bool converted = parseLong32(text, bounded ? end : nullptr, &stop, &value);
        const std::string got = describedInt(converted, value, stop - text);
        const std::string expected = describedInt(r.converted, r.value, r.consumed);
        if (got != expected) {
            mismatch(bounded ? "parseLong32 (range)" : "parseLong32", input, got, expected);
        }
    }
}

std::string describedDouble(bool converted, double value, size_t consumed) {
    if (!converted) {
        return "none";
    }
    char text[64];
    if (std::isnan(value)) {
        std::snprintf(text, sizeof text, "%snan", std::signbit(value) ? "-" : "");
    } else {
        std::snprintf(text, sizeof text, "%a", value);
    }
    return std::string(text) + " after " + std::to_string(consumed);
}

// Where a hexadecimal form starts after blanks and sign, or nullptr.
const char* hexFormAt(const char* p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    p += (*p == '+' || *p == '-') ? 1 : 0;
    const bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    return hex ? p : nullptr;
}

void doubles(const std::string& input) {
    const char* text = input.c_str();
    char* end = nullptr;
    const double expectedValue = std::strtod(text, &end);
    const std::string expected = describedDouble(end != text, expectedValue, end - text);
    const char* stop = nullptr;
    double value = 0.0;
    bool converted = parseStrtodDouble(text, &stop, &value);
    std::string got = describedDouble(converted, value, stop - text);
    if (got != expected) {
        mismatch("parseStrtodDouble", input, got, expected);
    }
    // The decimal-only reading: a hexadecimal form is read as its leading zero.
    const char* hex = hexFormAt(text);
    const double zero = (hex != nullptr && hex != text && hex[-1] == '-') ? -0.0 : 0.0;
    const std::string decimal =
        hex == nullptr ? expected : describedDouble(true, zero, hex + 1 - text);
    converted = parseDouble(text, &stop, &value);
    got = describedDouble(converted, value, stop - text);
    if (got != decimal) {
        mismatch("parseDouble", input, got, decimal);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    ints(input);
    doubles(input);
    return 0;
}

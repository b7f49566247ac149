// Differential target: dateTime reading against the reference scan of the compact ISO form.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/mismatch.h"
#include "fuzz/reference/reference.h"
#include "xmlrpc/core/codecs.h"

namespace {

std::string described(const DateTime& t) {
    return std::to_string(t.year) + "/" + std::to_string(t.month) + "/" + std::to_string(t.day) +
           " " + std::to_string(t.hour) + ":" + std::to_string(t.minute) + ":" +
           std::to_string(t.second) + " " + std::to_string(t.weekday) + " " +
           std::to_string(t.yearDay) + " " + std::to_string(t.isDst);
}

// The reading the rules give: the record and where the cursor ends, or "raised".
std::string expectedReading(const char* text) {
    const char* close = std::strchr(text, '<');
    int32_t f[6];
    if (close == nullptr || !reference::dateTimeFields(text, f)) {
        return "raised at 0";
    }
    DateTime t;
    t.year = f[0];
    t.month = f[1] - 1;
    t.day = f[2];
    t.hour = f[3];
    t.minute = f[4];
    t.second = f[5];
    return described(t) + " at " + std::to_string(close - text);
}

std::string libraryReading(const char* text) {
    XmlRpcValue value;
    const char* cursor = text;
    try {
        readDateTime(value, cursor);
    } catch (const XmlRpcException& e) {
        if (e.message != "Bad time value" || value.kind() != ValueKind::Undefined) {
            return "raised \"" + e.message + "\" with a value set";
        }
        return "raised at " + std::to_string(cursor - text);
    }
    return described(value.dateTimeValue()) + " at " + std::to_string(cursor - text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const char* text = input.c_str();  // the reader's text ends at its first NUL
    const std::string expected = expectedReading(text);
    const std::string got = libraryReading(text);
    if (got != expected) {
        mismatch("readDateTime", input, got, expected);
    }
    return 0;
}

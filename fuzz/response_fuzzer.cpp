// libFuzzer target: arbitrary bytes as a methodResponse text.
//
// Reads the response, takes the fault text of a fault, writes the decoded value back as XML and
// reads that text again. Any failure other than XmlRpcException from the reader, any raise of
// the writer other than "Undefined XmlRpc value", a written text that cannot be read back, or a
// second write that differs from the first after one round trip, is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "xmlrpc/core/envelope.h"
#include "xmlrpc/core/value_io.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "response_fuzzer: %s: %s\n", what, detail.c_str());
    std::abort();
}

// True when no Undefined value is inside `value`; such a value can be written.
bool fullyDefined(const XmlRpcValue& value) {
    switch (value.kind()) {
        case ValueKind::Undefined:
            return false;
        case ValueKind::Array:
            for (int32_t i = 0; i < value.size(); ++i)
                if (!fullyDefined(value.element(i)))
                    return false;
            return true;
        case ValueKind::Struct:
            for (const auto& member : value.members())
                if (!fullyDefined(member.second))
                    return false;
            return true;
        default:
            return true;
    }
}

// A dateTime year is written space-padded to four places ("%4d") but read back with "%4d",
// which skips those spaces and takes digits of the month: years from -99 to 999 do not survive
// a round trip. Such values are left out of the round-trip check.
bool yearsReadBack(const XmlRpcValue& value) {
    switch (value.kind()) {
        case ValueKind::DateTime: {
            const int32_t year = value.dateTimeValue().year;
            return year >= 1000 || year <= -100;
        }
        case ValueKind::Array:
            for (int32_t i = 0; i < value.size(); ++i)
                if (!yearsReadBack(value.element(i)))
                    return false;
            return true;
        case ValueKind::Struct:
            for (const auto& member : value.members())
                if (!yearsReadBack(member.second))
                    return false;
            return true;
        default:
            return true;
    }
}

std::string writeOrFail(const XmlRpcValue& value, const char* what) {
    std::string text;
    try {
        writeValue(value, text);
    } catch (const XmlRpcException& e) {
        fail(what, e.message);
    }
    return text;
}

XmlRpcValue readOrFail(const std::string& text, const char* what) {
    XmlRpcValue value;
    const char* cursor = text.c_str();
    try {
        readValue(value, cursor);
    } catch (const XmlRpcException& e) {
        fail(what, e.message + " in " + text.substr(0, 400));
    }
    while (*cursor == '\n')
        ++cursor;  // the line feed after a struct
    if (*cursor != '\0')
        fail(what, "text left after the value: " + std::string(cursor).substr(0, 40));
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader sees a NUL-terminated text, so it ends at the first NUL byte of the input.
    const std::string text(reinterpret_cast<const char*>(data), size);
    XmlRpcValue result;
    bool normal = false;
    try {
        normal = readMethodResponse(text.c_str(), result);
    } catch (const XmlRpcException& e) {
        if (e.message.empty())
            fail("reader", "raised with an empty message");
        // The partial value must still be usable: copy it and let both go.
        XmlRpcValue copy(result);
        copy.clear();
        return 0;
    }

    if (!normal) {
        XmlRpcValue fault(result);
        try {
            (void)faultText(fault);
        } catch (const XmlRpcException&) {
            // A fault value that is not a struct: reported as a type error.
        }
    }

    if (!fullyDefined(result)) {
        std::string partial;
        try {
            writeValue(result, partial);
        } catch (const XmlRpcException& e) {
            if (e.message != "Undefined XmlRpc value")
                fail("writer", e.message);
            return 0;
        }
        fail("writer", "wrote a value holding an Undefined element");
    }

    if (!yearsReadBack(result)) {
        (void)writeOrFail(result, "write");
        return 0;
    }

    // One round trip normalises what the format cannot carry (blanks before bare text,
    // digits beyond six of a double); after it, writing and reading must agree exactly.
    const std::string first = writeOrFail(result, "first write");
    const XmlRpcValue again = readOrFail(first, "reading the first write");
    const std::string second = writeOrFail(again, "second write");
    const XmlRpcValue thrice = readOrFail(second, "reading the second write");
    const std::string third = writeOrFail(thrice, "third write");
    if (second != third)
        fail("round trip", "second and third write differ:\n" + second + "\n---\n" + third);
    return 0;
}

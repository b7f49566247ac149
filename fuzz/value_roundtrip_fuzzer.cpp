// Round trip: a random value tree, of every kind and nesting, is written and read back; it must
// come back equal. Only values that the text form keeps are made: strings without a NUL and
// not starting with a blank, doubles of six significant digits, dateTimes whose fields are
// written in their field widths, nesting within the reader's limit.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/mismatch.h"
#include "xmlrpc/core/value_io.h"

namespace {

std::string text(FuzzedDataProvider& in, bool leadingBlankAllowed) {
    std::string s = in.ConsumeRandomLengthString(24);
    s = s.substr(0, s.find('\0'));
    if (!leadingBlankAllowed && !s.empty() && s[0] == ' ') {
        s[0] = '_';
    }
    return s;
}

double sixDigitDouble(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return std::numeric_limits<double>::infinity();
        case 1:
            return -std::numeric_limits<double>::infinity();
        case 2:
            return std::numeric_limits<double>::quiet_NaN();
        case 3:
            return -0.0;
    }
    const int32_t mantissa = in.ConsumeIntegralInRange(-999999, 999999);
    const int exponent = in.ConsumeIntegralInRange(-320, 300);
    const std::string written = std::to_string(mantissa) + "e" + std::to_string(exponent);
    return std::strtod(written.c_str(), nullptr);
}

DateTime dateTime(FuzzedDataProvider& in) {
    DateTime t;
    t.year = in.ConsumeBool() ? in.ConsumeIntegralInRange(1000, 9999)
                              : in.ConsumeIntegralInRange(-999, -100);
    t.month = in.ConsumeIntegralInRange(-1, 98);
    t.day = in.ConsumeIntegralInRange(0, 99);
    t.hour = in.ConsumeIntegralInRange(0, 99);
    t.minute = in.ConsumeIntegralInRange(0, 99);
    t.second = in.ConsumeIntegralInRange(0, 99);
    return t;
}

void fill(XmlRpcValue& v, FuzzedDataProvider& in, int depth);

void fillContainer(XmlRpcValue& v, FuzzedDataProvider& in, int depth, bool array) {
    const int count = in.ConsumeIntegralInRange(0, 6);
    if (array) {
        v.setArray();
    } else {
        v.setStruct();
    }
    for (int i = 0; i < count && in.remaining_bytes() > 0; ++i) {
        fill(array ? v.append() : v.member(text(in, true)), in, depth + 1);
    }
}

void fill(XmlRpcValue& v, FuzzedDataProvider& in, int depth) {
    const int kinds = depth + 1 < MaxValueNesting ? 9 : 7;
    switch (in.ConsumeIntegralInRange(0, kinds - 1)) {
        case 0:
            v.setBoolean(in.ConsumeBool());
            return;
        case 1:
            v.setInt(in.ConsumeIntegral<int32_t>());
            return;
        case 2:
            v.setDouble(sixDigitDouble(in));
            return;
        case 3:
            v.setString(text(in, false));
            return;
        case 4:
            v.setDateTime(dateTime(in));
            return;
        case 5: {
            const std::string bytes = in.ConsumeRandomLengthString(80);
            v.setBase64(bytes.data(), bytes.size());
            return;
        }
        case 6:
            v.setNil();
            return;
        default:
            fillContainer(v, in, depth, in.ConsumeBool());
    }
}

bool sameDouble(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : a == b && std::signbit(a) == std::signbit(b);
}

bool same(const XmlRpcValue& a, const XmlRpcValue& b);

bool sameMembers(const XmlRpcValue& a, const XmlRpcValue& b) {
    if (a.members().size() != b.members().size()) {
        return false;
    }
    auto other = b.members().begin();
    for (const auto& member : a.members()) {
        if (member.first != other->first || !same(member.second, other->second)) {
            return false;
        }
        ++other;
    }
    return true;
}

bool sameElements(const XmlRpcValue& a, const XmlRpcValue& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (int32_t i = 0; i < a.size(); ++i) {
        if (!same(a.element(i), b.element(i))) {
            return false;
        }
    }
    return true;
}

bool same(const XmlRpcValue& a, const XmlRpcValue& b) {
    if (a.kind() != b.kind()) {
        return false;
    }
    switch (a.kind()) {
        case ValueKind::Boolean:
            return a.booleanValue() == b.booleanValue();
        case ValueKind::Int:
            return a.intValue() == b.intValue();
        case ValueKind::Double:
            return sameDouble(a.doubleValue(), b.doubleValue());
        case ValueKind::String:
            return std::string(a.textValue()) == b.textValue();
        case ValueKind::DateTime:
            return a.dateTimeValue() == b.dateTimeValue();
        case ValueKind::Base64:
            return a.base64Value() == b.base64Value();
        case ValueKind::Array:
            return sameElements(a, b);
        case ValueKind::Struct:
            return sameMembers(a, b);
        default:
            return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    XmlRpcValue original;
    fill(original, in, 0);
    std::string written;
    writeValue(original, written);
    XmlRpcValue back;
    const char* cursor = written.c_str();
    std::string rewritten;
    try {
        readValue(back, cursor);
        writeValue(back, rewritten);
    } catch (const XmlRpcException& e) {
        mismatch("value round trip", written, "raised " + e.message, written);
    }
    // A struct's text ends with a line feed after its value element.
    const bool wholeText = std::strspn(cursor, "\n") == std::strlen(cursor);
    if (!same(original, back) || !wholeText || rewritten != written) {
        mismatch("value round trip", written, rewritten, written);
    }
    return 0;
}

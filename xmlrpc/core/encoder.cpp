// writeValue: streams the compact XML text of a value into a std::string in one walk.
#include <exception>
#include <limits>

#include "xmlrpc/core/codecs.h"
#include "xmlrpc/core/numbers.h"
#include "xmlrpc/core/scanner.h"
#include "xmlrpc/core/text_writer.h"
#include "xmlrpc/core/value_io.h"

namespace {

void writeNumber(TextWriter& out, int32_t v) {
    out.commit(formatInt32(out.room(MaxNumberLength), v));
}

void writeNumber(TextWriter& out, double v) {
    out.commit(formatDouble(out.room(MaxNumberLength), v));
}

// A long array grows the output once: after its first elements the string is given room for
// the rest at their average length, with a quarter more for elements that come out longer.
// This is only a hint: when the room cannot be had, the string grows as usual.
constexpr int32_t SampleElements = 16;

void reserveForRest(TextWriter& out, size_t sampleLength, int32_t written, int32_t count) {
    const size_t perElement = sampleLength / static_cast<size_t>(written);
    const size_t restCount = static_cast<size_t>(count - written);
    if (perElement > std::numeric_limits<size_t>::max() / 2 / restCount) {
        return;
    }
    const size_t rest = perElement * restCount;
    try {
        out.expect(rest + rest / 4);
    } catch (const std::exception&) {
        // std::bad_alloc or std::length_error: no room reserved
    }
}

void write(const XmlRpcValue& value, TextWriter& out);

void writeString(const char* text, TextWriter& out) {
    if (*text == '\0') {
        out.put("<value><string/></value>");
        return;
    }
    out.put("<value>");
    appendEncodedEntities(out, text);
    out.put("</value>");
}

void writeArray(const XmlRpcValue& value, TextWriter& out) {
    out.put("<value><array><data>");
    const int32_t count = value.size();
    const size_t start = out.length();
    for (int32_t i = 0; i < count; ++i) {
        write(value.element(i), out);
        if (i + 1 == SampleElements && count >= 4 * SampleElements) {
            reserveForRest(out, out.length() - start, SampleElements, count);
        }
    }
    out.put("</data></array></value>");
}

void writeStruct(const XmlRpcValue& value, TextWriter& out) {
    out.put("<value><struct>");
    for (const auto& member : value.members()) {
        out.put("<member><name>");
        appendEncodedEntities(out, member.first.c_str());
        out.put("</name>");
        write(member.second, out);
        out.put("</member>");
    }
    out.put("</struct></value>\n");
}

void write(const XmlRpcValue& value, TextWriter& out) {
    switch (value.kind()) {
        case ValueKind::Undefined:
            out.flush();  // the text before the fault stays in the output
            throw XmlRpcException("Undefined XmlRpc value");
        case ValueKind::Boolean:
            if (value.booleanValue()) {
                out.put("<value><boolean>1</boolean></value>");
            } else {
                out.put("<value><boolean>0</boolean></value>");
            }
            return;
        case ValueKind::Int:
            out.put("<value><i4>");
            writeNumber(out, value.intValue());
            out.put("</i4></value>");
            return;
        case ValueKind::Double:
            out.put("<value><double>");
            writeNumber(out, value.doubleValue());
            out.put("</double></value>");
            return;
        case ValueKind::String:
            writeString(value.textValue(), out);
            return;
        case ValueKind::DateTime:
            writeDateTime(value, out);
            return;
        case ValueKind::Base64:
            writeBase64(value, out);
            return;
        case ValueKind::Array:
            writeArray(value, out);
            return;
        case ValueKind::Struct:
            writeStruct(value, out);
            return;
        case ValueKind::Nil:
            out.put("<value><nil/></value>");
            return;
    }
}

}  // namespace

void writeValue(const XmlRpcValue& value, std::string& out) {
    TextWriter writer(out);
    write(value, writer);
    writer.flush();
}

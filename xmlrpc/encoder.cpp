// writeValue: streams the compact XML text of a value into a std::string in one walk.
#include "xmlrpc/codecs.h"
#include "xmlrpc/numbers.h"
#include "xmlrpc/scanner.h"
#include "xmlrpc/value_io.h"

namespace {

// Appends a literal without measuring it at run time.
template <size_t N>
void put(std::string& out, const char (&literal)[N]) {
    out.append(literal, N - 1);
}

}  // namespace

void writeValue(const XmlRpcValue& value, std::string& out) {
    switch (value.kind()) {
        case ValueKind::Undefined:
            throw XmlRpcException("Undefined XmlRpc value");
        case ValueKind::Boolean:
            if (value.booleanValue()) {
                put(out, "<value><boolean>1</boolean></value>");
            } else {
                put(out, "<value><boolean>0</boolean></value>");
            }
            return;
        case ValueKind::Int:
            put(out, "<value><i4>");
            appendInt32(out, value.intValue());
            put(out, "</i4></value>");
            return;
        case ValueKind::Double:
            put(out, "<value><double>");
            appendDouble(out, value.doubleValue());
            put(out, "</double></value>");
            return;
        case ValueKind::String: {
            const char* text = value.textValue();
            if (*text == '\0') {
                put(out, "<value><string/></value>");
                return;
            }
            put(out, "<value>");
            appendEncodedEntities(out, text);
            put(out, "</value>");
            return;
        }
        case ValueKind::DateTime:
            writeDateTime(value, out);
            return;
        case ValueKind::Base64:
            writeBase64(value, out);
            return;
        case ValueKind::Array: {
            put(out, "<value><array><data>");
            const int32_t count = value.size();
            for (int32_t i = 0; i < count; ++i) {
                writeValue(value.element(i), out);
            }
            put(out, "</data></array></value>");
            return;
        }
        case ValueKind::Struct:
            put(out, "<value><struct>");
            for (const auto& member : value.members()) {
                put(out, "<member><name>");
                appendEncodedEntities(out, member.first.c_str());
                put(out, "</name>");
                writeValue(member.second, out);
                put(out, "</member>");
            }
            put(out, "</struct></value>\n");
            return;
        case ValueKind::Nil:
            put(out, "<value><nil/></value>");
            return;
    }
}

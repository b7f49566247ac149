// writeValue: streams the compact XML text of a value into a std::string in one walk.
#include "xmlrpc/codecs.h"
#include "xmlrpc/numbers.h"
#include "xmlrpc/scanner.h"
#include "xmlrpc/value_io.h"

void writeValue(const XmlRpcValue& value, std::string& out) {
    switch (value.kind()) {
        case ValueKind::Undefined:
            throw XmlRpcException("Undefined XmlRpc value");
        case ValueKind::Boolean:
            out += value.booleanValue() ? "<value><boolean>1</boolean></value>"
                                        : "<value><boolean>0</boolean></value>";
            return;
        case ValueKind::Int:
            out += "<value><i4>";
            appendInt32(out, value.intValue());
            out += "</i4></value>";
            return;
        case ValueKind::Double:
            out += "<value><double>";
            appendDouble(out, value.doubleValue());
            out += "</double></value>";
            return;
        case ValueKind::String: {
            const char* text = value.textValue();
            if (*text == '\0') {
                out += "<value><string/></value>";
                return;
            }
            out += "<value>";
            appendEncodedEntities(out, text);
            out += "</value>";
            return;
        }
        case ValueKind::DateTime:
            writeDateTime(value, out);
            return;
        case ValueKind::Base64:
            writeBase64(value, out);
            return;
        case ValueKind::Array: {
            out += "<value><array><data>";
            const int32_t count = value.size();
            for (int32_t i = 0; i < count; ++i) {
                writeValue(value.element(i), out);
            }
            out += "</data></array></value>";
            return;
        }
        case ValueKind::Struct:
            out += "<value><struct>";
            for (const auto& member : value.members()) {
                out += "<member><name>";
                appendEncodedEntities(out, member.first.c_str());
                out += "</name>";
                writeValue(member.second, out);
                out += "</member>";
            }
            out += "</struct></value>\n";
            return;
        case ValueKind::Nil:
            out += "<value><nil/></value>";
            return;
    }
}

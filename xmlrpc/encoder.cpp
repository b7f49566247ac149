// writeValue: streams the compact XML text of a value into a std::string in one walk.
#include "xmlrpc/codecs.h"
#include "xmlrpc/numbers.h"
#include "xmlrpc/scanner.h"
#include "xmlrpc/text_writer.h"
#include "xmlrpc/value_io.h"

namespace {

void writeNumber(TextWriter& out, int32_t v) {
    out.commit(formatInt32(out.room(MaxNumberLength), v));
}

void writeNumber(TextWriter& out, double v) {
    out.commit(formatDouble(out.room(MaxNumberLength), v));
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
        case ValueKind::String: {
            const char* text = value.textValue();
            if (*text == '\0') {
                out.put("<value><string/></value>");
                return;
            }
            out.put("<value>");
            appendEncodedEntities(out, text);
            out.put("</value>");
            return;
        }
        case ValueKind::DateTime:
            writeDateTime(value, out);
            return;
        case ValueKind::Base64:
            writeBase64(value, out);
            return;
        case ValueKind::Array: {
            out.put("<value><array><data>");
            const int32_t count = value.size();
            for (int32_t i = 0; i < count; ++i) {
                write(value.element(i), out);
            }
            out.put("</data></array></value>");
            return;
        }
        case ValueKind::Struct:
            out.put("<value><struct>");
            for (const auto& member : value.members()) {
                out.put("<member><name>");
                appendEncodedEntities(out, member.first.c_str());
                out.put("</name>");
                write(member.second, out);
                out.put("</member>");
            }
            out.put("</struct></value>\n");
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

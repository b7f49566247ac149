// methodCall writer, methodResponse reader and the fault text rule.
#include "xmlrpc/core/envelope.h"

#include <cstring>

#include "base/char_class.h"
#include "xmlrpc/core/scanner.h"

void writeMethodCall(std::string& out, const char* methodName, const XmlRpcValue& params) {
    out.reserve(out.size() + 128);
    out += "<?xml version=\"1.0\"?>\r\n<methodCall><methodName>";
    out += methodName;
    out += "</methodName>\r\n<params>";
    switch (params.kind()) {
        case ValueKind::Undefined:
            break;
        case ValueKind::Array: {
            const int32_t count = params.size();
            for (int32_t i = 0; i < count; ++i) {
                out += "<param>";
                writeValue(params.element(i), out);
                out += "</param>";
            }
            break;
        }
        default:
            out += "<param>";
            writeValue(params, out);
            out += "</param>\n";
            break;
    }
    out += "</params></methodCall>\r\n";
}

namespace {

// The rest of the text as the message; never an empty message, which would read as success.
[[noreturn]] void raiseRest(const char* rest) {
    if (*rest == '\0') {
        throw XmlRpcException("Invalid XMLRPC response");
    }
    throw XmlRpcException(rest);
}

bool contains(const char* text, const char* part) {
    return std::strstr(text, part) != nullptr;
}

}  // namespace

bool readMethodResponse(const char* responseText, XmlRpcValue& result) {
    using charclass::takeExactTag;
    // The result is replaced only once the value is reached: a response that fails before it
    // leaves the caller's result as it was.
    const char* const end = responseText + std::strlen(responseText);
    const char* cursor = responseText;
    char tag[TagBufferSize];

    // The usual declarations are taken as they stand; anything else goes through the tag reader.
    if (!takeExactTag(cursor, end, "<?xml version=\"1.0\"?>") &&
        !takeExactTag(cursor, end, "<?xml version='1.0'?>") &&
        !charclass::startsWithIgnoreCase(readTag(cursor, tag), "<?xml version")) {
        if (contains(cursor, "<html") || contains(cursor, "<HTML")) {
            throw XmlRpcException(
                "It looks like you've configured the wrong URL. That URL is sending us HTML "
                "text, whereas we need RPC data.");
        }
        raiseRest(cursor);
    }

    if (!takeExactTag(cursor, end, "<methodResponse>") &&
        !charclass::equalsIgnoreCase(readTag(cursor, tag), "<methodResponse>")) {
        if (contains(cursor, "<title>Bad request!</title>")) {
            throw XmlRpcException("Talking HTTP to a HTTPS server?");
        }
        if (contains(cursor, "Object not found")) {
            throw XmlRpcException("Wrong URL (\"Object not found\")");
        }
        raiseRest(cursor);
    }

    // Only "<fault>" in exactly this form marks a fault.
    if (takeExactTag(cursor, end, "<fault>")) {
        readValue(result, cursor, end);
        expectNormalTag(cursor, "</fault>");
        return false;
    }
    cursor = charclass::skipBlanks(cursor);
    if (!takeExactTag(cursor, end, "<params>")) {
        expectTag(cursor, "<params>");
    }
    if (!takeExactTag(cursor, end, "<param>")) {
        expectTag(cursor, "<param>");
    }
    readValue(result, cursor, end);
    return true;
}

std::string faultText(const XmlRpcValue& result) {
    // Looked up without adding the member, so the fault value stays as it was received.
    if (result.kind() == ValueKind::Undefined) {
        return "unspecified error";
    }
    if (result.kind() != ValueKind::Struct) {
        throw XmlRpcException("type error: expected a struct");
    }
    const auto found = result.members().find("faultString");
    if (found != result.members().end() && found->second.kind() == ValueKind::String) {
        return found->second.textValue();
    }
    return "unspecified error";
}

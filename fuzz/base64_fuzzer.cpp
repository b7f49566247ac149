// Differential target: base64 decoding of any bytes against the reference, both on its own
// (appending to bytes already there) and inside a value element.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/mismatch.h"
#include "fuzz/reference/reference.h"
#include "xmlrpc/core/codecs.h"
#include "xmlrpc/core/value_io.h"

namespace {

void decodeAlone(const std::string& input) {
    const std::string expected =
        "kept" + reference::base64Bytes(input.data(), input.data() + input.size());
    ByteString bytes = "kept";
    decodeBase64(input.data(), input.data() + input.size(), bytes);
    if (bytes != expected) {
        mismatch("decodeBase64", input, bytes, expected);
    }
}

void decodeInValue(const std::string& input) {
    std::string content;
    for (char c : input) {
        if (c != '<' && c != '\0') {
            content += c;
        }
    }
    const std::string text = "<value><base64>" + content + "</base64></value>";
    const std::string expected =
        reference::base64Bytes(content.data(), content.data() + content.size());
    XmlRpcValue value;
    const char* cursor = text.c_str();
    readValue(value, cursor);
    if (value.kind() != ValueKind::Base64 || value.base64Value() != expected) {
        mismatch("readValue <base64>", text, value.base64Value(), expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    decodeAlone(input);
    decodeInValue(input);
    return 0;
}

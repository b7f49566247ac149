#include "tools/kebrin-sim/json_text.h"

#include <cstdio>

#include "framework/text_conversion.h"

std::string JsonString(std::wstring_view text) {
    const std::string utf8 = ToUtf8(text);
    std::string json = "\"";
    for (const char c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    json += escaped;
                } else {
                    json += c;
                }
        }
    }
    return json + "\"";
}

#include "journal.h"

#include <cwchar>

#include "framework/text_conversion.h"

Journal::~Journal() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

bool Journal::Open(const std::wstring& path) {
    m_file = ::_wfopen(path.c_str(), L"ab");
    return m_file != nullptr;
}

void Journal::Write(std::string_view call, const std::string& jsonArgs) {
    if (m_file == nullptr) {
        return;
    }
    std::string line = "{\"seq\":" + std::to_string(++m_seq) + ",\"call\":\"";
    line += call;
    line += "\",\"args\":[" + jsonArgs + "]}\n";
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

std::string jsonString(std::wstring_view text) {
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

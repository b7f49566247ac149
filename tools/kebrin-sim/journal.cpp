#include "tools/kebrin-sim/journal.h"

#include <cwchar>

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

#include "tools/kebrin-sim/journal.h"

#include <cstdio>
#include <cwchar>

bool Journal::Open(const std::wstring& path) {
    m_file.reset(::_wfopen(path.c_str(), L"ab"));
    return static_cast<bool>(m_file);
}

void Journal::Write(std::string_view call, const std::string& jsonArgs) {
    if (!m_file) {
        return;
    }
    std::string line = "{\"seq\":" + std::to_string(++m_seq) + ",\"call\":\"";
    line += call;
    line += "\",\"args\":[" + jsonArgs + "]}\n";
    std::fwrite(line.data(), 1, line.size(), m_file.get());
    std::fflush(m_file.get());
}

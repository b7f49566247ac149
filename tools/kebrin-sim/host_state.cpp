#include "tools/kebrin-sim/host_state.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const wchar_t* const kFieldNames[] = {L"call", L"name",  L"RST in",   L"QTH", L"notes",  L"RST out",
                                      L"(6)",  L"state", L"province", L"(9)", L"locator"};

std::wstring fieldName(long index) {
    if (index >= 0 && index < static_cast<long>(sizeof kFieldNames / sizeof kFieldNames[0])) {
        return kFieldNames[index];
    }
    return L"(" + std::to_wstring(index) + L")";
}

std::wstring widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string FormatDouble(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[64] = {};
    bool found = false;
    // Plain decimals for the magnitudes of frequencies and the like, else exponent form; in
    // both cases the fewest digits that read back as the same value.
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0 || (magnitude >= 1e-4 && magnitude < 1e16)) {
        for (int decimals = 0; decimals <= 21 && !found; ++decimals) {
            std::snprintf(text, sizeof text, "%.*f", decimals, value);
            found = std::strtod(text, nullptr) == value;
        }
    }
    for (int precision = 1; precision <= 17 && !found; ++precision) {
        std::snprintf(text, sizeof text, "%.*e", precision - 1, value);
        found = std::strtod(text, nullptr) == value;
    }
    std::string result = text;
    if (result.find('.') == std::string::npos) {
        const size_t exponent = result.find_first_of("eE");
        result.insert(exponent == std::string::npos ? result.size() : exponent, ".0");
    }
    return result;
}

void HostState::RunMacro(const std::wstring& macro) {
    m_lastMacro = macro;
    if (macro == L"<SAVEQSO>") {
        m_contacts.push_back(SavedContact{m_fields, m_frequency, m_mode});
        return;
    }
    for (const std::wstring prefix : {L"<MODE:", L"<MODEADD:"}) {
        if (startsWith(macro, prefix) && macro.size() > prefix.size() + 1 && macro.back() == L'>') {
            m_mode = macro.substr(prefix.size(), macro.size() - prefix.size() - 1);
            return;
        }
    }
}

std::wstring HostState::Describe() const {
    std::wstring text;
    text += L"Frequency: " + widen(FormatDouble(m_frequency)) + L" Hz\r\n";
    text += L"Mode: " + m_mode + L"\r\n";
    text += L"Last macro: " + m_lastMacro + L"\r\n\r\nQSO fields\r\n";
    for (const auto& [index, value] : m_fields) {
        text += L"  " + std::to_wstring(index) + L" " + fieldName(index) + L": " + value + L"\r\n";
    }
    text += L"\r\nSaved contacts: " + std::to_wstring(m_contacts.size()) + L"\r\n";
    for (size_t n = 0; n < m_contacts.size(); ++n) {
        const SavedContact& contact = m_contacts[n];
        text += L"  " + std::to_wstring(n + 1) + L". " + widen(FormatDouble(contact.frequency)) +
                L" Hz, " + contact.mode;
        for (const auto& [index, value] : contact.fields) {
            if (!value.empty()) {
                text += L", " + fieldName(index) + L"=" + value;
            }
        }
        text += L"\r\n";
    }
    return text;
}

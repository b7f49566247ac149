#include "framework/automation_error.h"

#include "base/system_error_text.h"
#include "framework/text_conversion.h"

#include <cstdio>
#include <cwchar>
#include <utility>

namespace {

// The system's text for an HRESULT, without the trailing line break; empty when it has none.
std::wstring systemText(HRESULT hresult) {
    std::wstring text = systemErrorTextWide(static_cast<DWORD>(hresult));
    while (!text.empty() && (text.back() == L' ' || text.back() == L'.')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

AutomationError::AutomationError(HRESULT hresult, std::wstring description, std::wstring source)
    : AutomationError(hresult, description, source, compose(hresult, description, source)) {}

AutomationError::AutomationError(HRESULT hresult, std::wstring description, std::wstring source,
                                 std::wstring text)
    : std::runtime_error(ToUtf8(text)),
      m_hresult(hresult),
      m_description(std::move(description)),
      m_source(std::move(source)),
      m_text(std::move(text)) {}

std::wstring AutomationError::compose(HRESULT hresult, const std::wstring& description,
                                      const std::wstring& source) {
    wchar_t code[32];
    std::swprintf(code, sizeof code / sizeof code[0], L"0x%08lX",
                  static_cast<unsigned long>(hresult));
    std::wstring text = L"Automation error ";
    text += code;
    const std::wstring detail = description.empty() ? systemText(hresult) : description;
    if (!detail.empty()) {
        text += L": ";
        text += detail;
    }
    if (!source.empty()) {
        text += L" (";
        text += source;
        text += L")";
    }
    return text;
}

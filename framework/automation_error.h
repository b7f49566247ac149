// The error raised when an automation call fails: the failing HRESULT and, when the object
// reported one through EXCEPINFO, its own description and source.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

class AutomationError : public std::runtime_error {
  public:
    // `description` is the object's text; empty when it gave none.
    AutomationError(HRESULT hresult, std::wstring description, std::wstring source = L"");

    HRESULT hresult() const { return m_hresult; }
    const std::wstring& description() const { return m_description; }
    const std::wstring& source() const { return m_source; }
    // The whole text for an error box, in wide characters (what() holds it in UTF-8).
    const std::wstring& text() const { return m_text; }

  private:
    AutomationError(HRESULT hresult, std::wstring description, std::wstring source,
                    std::wstring text);
    static std::wstring compose(HRESULT hresult, const std::wstring& description,
                                const std::wstring& source);

    HRESULT m_hresult;
    std::wstring m_description;
    std::wstring m_source;
    std::wstring m_text;
};

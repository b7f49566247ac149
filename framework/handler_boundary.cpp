#include "framework/handler_boundary.h"

#include "framework/program_name.h"
#include "framework/text_conversion.h"

#include <cwchar>

std::wstring EscapedExceptionText(const std::exception_ptr& error, UINT message) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::wstring text = WidenText(e.what());
        if (!text.empty()) {
            return text;
        }
    } catch (...) {
    }
    wchar_t text[96];
    std::swprintf(text, sizeof text / sizeof text[0],
                  L"Unexpected error while handling window message 0x%04X.", message);
    return text;
}

void ShowErrorBox(HWND window, const std::wstring& text) noexcept {
    try {
        HWND owner =
            window != nullptr && ::IsWindow(window) ? ::GetAncestor(window, GA_ROOT) : nullptr;
        const std::wstring name = ProgramName();
        ::MessageBoxW(owner, text.c_str(), name.empty() ? L"Error" : name.c_str(),
                      MB_OK | MB_ICONERROR);
    } catch (...) {
        // Out of memory while reporting: nothing more can be told.
        ::MessageBeep(MB_ICONERROR);
    }
}

void ReportEscapedException(HWND window, UINT message) noexcept {
    try {
        ShowErrorBox(window, EscapedExceptionText(std::current_exception(), message));
    } catch (...) {
        // Out of memory while reporting: nothing more can be told.
        ::MessageBeep(MB_ICONERROR);
    }
}

#include "framework/handler_boundary.h"

#include "framework/text_conversion.h"

#include <cwchar>

namespace {

// The program's name, from its file name as the user sees it in Explorer ("Varnock").
std::wstring ProgramName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        name.erase(0, slash + 1);
    }
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot != 0) {
        name.erase(dot);
    }
    return name.empty() ? std::wstring(L"Error") : name;
}

}  // namespace

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

void ReportEscapedException(HWND window, UINT message) noexcept {
    try {
        const std::wstring text = EscapedExceptionText(std::current_exception(), message);
        HWND owner =
            window != nullptr && ::IsWindow(window) ? ::GetAncestor(window, GA_ROOT) : nullptr;
        ::MessageBoxW(owner, text.c_str(), ProgramName().c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Out of memory while reporting: nothing more can be told.
        ::MessageBeep(MB_ICONERROR);
    }
}

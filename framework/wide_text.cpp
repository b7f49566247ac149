#include "framework/wide_text.h"

#include <windows.h>

#include <cstring>

namespace {

std::wstring Widen(UINT codePage, DWORD flags, const char* text) {
    if (text == nullptr || *text == '\0') {
        return {};
    }
    const int length = static_cast<int>(std::strlen(text));
    const int needed = ::MultiByteToWideChar(codePage, flags, text, length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, flags, text, length, wide.data(), needed);
    return wide;
}

}  // namespace

std::wstring WidenAnsi(const char* text) {
    return Widen(CP_ACP, 0, text);
}

std::wstring WidenMessageText(const char* text) {
    std::wstring wide = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    if (wide.empty()) {
        wide = WidenAnsi(text);
    }
    return wide;
}

#include "app/host_text.h"

#include <windows.h>

#include "app/text_encoding.h"

std::wstring toHostText(std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    const UINT codePage = decodeAsUtf8(text) ? CP_UTF8 : CP_ACP;
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

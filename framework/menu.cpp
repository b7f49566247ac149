#include "framework/menu.h"

std::wstring CMenu::GetMenuString(UINT item, bool byPosition) const {
    const UINT flag = byPosition ? MF_BYPOSITION : MF_BYCOMMAND;
    const int length = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flag);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetMenuStringW(m_hMenu, item, text.data(), length + 1, flag);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

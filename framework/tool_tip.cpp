#include "framework/tool_tip.h"

#include <commctrl.h>

namespace {

// The control as a tool of `owner`'s, with `text`.
TOOLINFOW toolOf(HWND owner, HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    // The size without lpReserved, so that comctl32 version 5 takes it too.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

}  // namespace

CToolTip::~CToolTip() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    }
}

bool CToolTip::Create(HWND owner, HWND control) {
    m_owner = owner;
    m_control = control;
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    if (m_hWnd == nullptr) {
        return false;
    }
    TOOLINFOW tool = toolOf(m_owner, m_control, L"");
    ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long paths wrap instead of running off the screen.
    ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, 600);
    return true;
}

void CToolTip::SetText(const std::wstring& text) {
    if (m_hWnd == nullptr) {
        return;
    }
    TOOLINFOW tool = toolOf(m_owner, m_control, text.c_str());
    ::SendMessageW(m_hWnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

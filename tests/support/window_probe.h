// What the window probes share: they find Varnock's dialogs and read their texts from outside
// the bridge's process.
#pragma once

#include <windows.h>

#include <string>

namespace probe {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMainCaption[] = L"Fldigi<->Kebrin by Zorvath";

// WM_GETTEXT works across processes for controls too (GetWindowText doesn't).
inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                          2000, &ignored);
    return text;
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    return name;
}

// Waits up to `timeoutMs` for a visible dialog with this caption; null when none came.
inline HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        HWND window = ::FindWindowW(kDialogClass, caption);
        if (window != nullptr && ::IsWindowVisible(window)) {
            return window;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

}  // namespace probe

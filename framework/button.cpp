#include "framework/button.h"

const CRuntimeClass CButton::classCButton{"CButton", &CWnd::classCWnd};

const MessageMap* CButton::GetThisMessageMap() {
    static const MessageMap map{&CWnd::GetThisMessageMap, nullptr, nullptr};
    return &map;
}

void CButton::DrawItem(DRAWITEMSTRUCT*) {}

bool CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_DRAWITEM) {
        return CWnd::OnChildNotify(message, wParam, lParam, result);
    }
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    if (result != nullptr) {
        *result = TRUE;
    }
    return true;
}

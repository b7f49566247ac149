#include "framework/data_exchange.h"

#include "framework/wnd.h"

void DDX_Check(CDataExchange* exchange, int controlId, int& value) {
    HWND control = ::GetDlgItem(exchange->m_pDlgWnd->m_hWnd, controlId);
    if (control == nullptr) {
        return;
    }
    if (exchange->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        const int state = value >= BST_UNCHECKED && value <= BST_INDETERMINATE ? value : 0;
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
}

#include "framework/dialog.h"

#include "framework/handler_boundary.h"

const CRuntimeClass CDialog::classCDialog{"CDialog", &CWnd::classCWnd};

const MessageMap* CDialog::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {
        OnWmInitDialog<&CDialog::HandleInitDialog>(),
        OnBnClicked<IDOK, &CDialog::HandleOK>(),
        OnBnClicked<IDCANCEL, &CDialog::HandleCancel>(),
        OnMessage<WM_CLOSE, &CDialog::HandleClose>(),
        OnWmHelpInfo<&CDialog::OnHelpInfo>(),
    };
    static const MessageMap map = MakeMessageMap(&CWnd::GetThisMessageMap, entries);
    return &map;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR CDialog::DoModal() {
    // Without a parent, the window the user works in (its top-level window) owns the dialog,
    // so that it stays disabled while the dialog runs.
    HWND owner = m_parent != nullptr ? m_parent->m_hWnd : ::GetActiveWindow();
    if (owner != nullptr) {
        owner = ::GetAncestor(owner, GA_ROOT);
    }
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                             &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    // Only WM_INITDIALOG is ours here: it carries the object. Later messages reach the object
    // through the subclassed window procedure; when the object hands one to the default
    // processing it comes back here and gets FALSE.
    if (message != WM_INITDIALOG || FromHandlePermanent(window) != nullptr) {
        return FALSE;
    }
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (self == nullptr) {
        return FALSE;
    }
    return CallAtBoundary(window, message, INT_PTR{TRUE}, [&]() -> INT_PTR {
        if (!self->SubclassWindow(window)) {
            return TRUE;
        }
        return self->Dispatch(message, wParam, lParam);
    });
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleClose(WPARAM, LPARAM) {
    OnCancel();
    return 0;
}

bool CDialog::OnHelpInfo(HELPINFO*) {
    SendMessage(WM_COMMAND, ID_HELP);
    return true;
}

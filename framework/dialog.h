// CDialog: a modal dialog built from a dialog template resource.
//
// DoModal passes the object to the dialog procedure as the init parameter; at WM_INITDIALOG
// the object subclasses the dialog window, and from then on every message goes through its
// message table (messages before WM_INITDIALOG get the system's default handling). OK and
// Cancel end the dialog through OnOK and OnCancel; closing the window counts as
// Cancel; F1 sends the help command (ID_HELP) to the dialog, which routes it like any command
// the dialog doesn't handle itself.
#pragma once

#include "framework/data_exchange.h"
#include "framework/wnd.h"

// The framework's help command.
constexpr UINT ID_HELP = 57670;

class CDialog : public CWnd {
  public:
    // Without a parent, the thread's active window owns the dialog while it runs.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog modally; the value given to EndDialog, or -1 when it couldn't be made.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // The dialog's own start-up; the base moves the bound members into the controls.
    virtual bool OnInitDialog();
    // Moves data between members and controls: true saves the controls into the members.
    bool UpdateData(bool saveAndValidate = true);
    virtual void DoDataExchange(CDataExchange* exchange);

    // OK: data from the controls, then the dialog ends with IDOK. Cancel: ends with IDCANCEL.
    void OnOK();
    void OnCancel();

    static const CRuntimeClass classCDialog;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCDialog; }
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    bool HandleInitDialog() { return OnInitDialog(); }
    void HandleOK() { OnOK(); }
    void HandleCancel() { OnCancel(); }
    LRESULT HandleClose(WPARAM, LPARAM);
    bool OnHelpInfo(HELPINFO*);

    UINT m_templateId;
    CWnd* m_parent;
};

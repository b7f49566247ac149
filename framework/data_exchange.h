// Dialog data exchange: moves values between a dialog's members and its controls.
#pragma once

class CWnd;

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    bool m_bSaveAndValidate;  // true: controls to members; false: members to controls
    CWnd* m_pDlgWnd;
};

// A check box's state (0 clear, 1 checked, 2 indeterminate) and an int member. Towards the
// control, a value outside 0..2 is shown as clear.
void DDX_Check(CDataExchange* exchange, int controlId, int& value);

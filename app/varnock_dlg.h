// CVarnockDlg: the main window. Two status indicators (controls 1003 and 1004), the link
// mark (1005) shown once both programs are reached, "Finish", and the status line (1006). Its
// poll timer drives the whole bridge: each tick is forwarded to the bridge (OnTimer), and so is
// Finish.
#pragma once

#include "app/res/resource.h"
#include "app/status_line_control.h"
#include "controls/advanced_button.h"
#include "framework/dialog.h"
#include "framework/gdi_object.h"

#include <windows.h>

class Bridge;

// The About entry of the system menu: its command id once the system's low four bits are cleared.
bool IsAboutCommand(UINT commandId);

// Where a minimised window draws its icon: centred in the client area, with integer division.
POINT MinimizedIconOrigin(const RECT& client, int iconWidth, int iconHeight);

class CVarnockDlg : public CDialog {
  public:
    enum { IDD = IDD_VARNOCK_DIALOG };

    explicit CVarnockDlg(CWnd* parent = nullptr);

    // Brush for control colouring, made in OnInitDialog: red 255, green 250, blue 198.
    CBrush m_backgroundBrush;
    HICON m_hIcon;
    int m_hostChecked = 0;              // check state of control 1004
    int m_fldigiChecked = 0;            // check state of control 1003
    CAdvancedButton m_fldigiIndicator;  // draws control 1003
    CAdvancedButton m_hostIndicator;    // draws control 1004
    StatusLineControl m_statusLine;     // control 1006
    // What the timer and Finish are forwarded to; null: the window alone (its tests).
    Bridge* m_bridge = nullptr;

    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
    static const MessageMap* GetThisMessageMap();

  protected:
    void DoDataExchange(CDataExchange* exchange) override;
    bool OnInitDialog() override;

    void OnSysCommand(UINT commandId, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    // The poll cycle: one tick per timer message.
    void OnTimer(UINT_PTR timerId);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnBnClickedFinish();
    void OnStatusLineClicked();
};

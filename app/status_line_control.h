// The main window's status line (control 1006): the text of pollcycle::StatusLine fitted to the
// control's width with the control's font (a long path loses its middle to "…"), the whole
// text in a tooltip, red when the operator has something to do, and a click that shows the
// file it names in Explorer.
#pragma once

#include <windows.h>

#include <string>

#include "app/poll/status_line.h"
#include "framework/tool_tip.h"

class StatusLineControl {
  public:
    // Takes over the dialog's control `id`; the control's window outlives this object's use.
    void Attach(HWND dialog, int id);
    // Shows `status`; a status like the one shown changes nothing.
    void Show(const pollcycle::StatusText& status);
    bool IsControl(HWND window) const { return window != nullptr && window == m_control; }
    COLORREF TextColor() const;
    // Explorer with the file of the line selected, when the line names one to open.
    void OpenInExplorer() const;

  private:
    std::wstring FittedText(const pollcycle::StatusText& status) const;

    HWND m_control = nullptr;
    CToolTip m_toolTip;
    pollcycle::StatusText m_shown;
};

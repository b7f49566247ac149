// CToolTip: a tooltip that shows a whole text over one control, for a control that shows it
// shortened. The tooltip window is owned here and destroyed with the object.
#pragma once

#include <windows.h>

#include <string>

class CToolTip {
  public:
    CToolTip() = default;
    ~CToolTip();
    CToolTip(const CToolTip&) = delete;
    CToolTip& operator=(const CToolTip&) = delete;

    // Makes the tooltip for `control` (a child of `owner`); false when the system refused.
    bool Create(HWND owner, HWND control);
    // The text shown while the mouse rests on the control; empty: none shown.
    void SetText(const std::wstring& text);

    HWND m_hWnd = nullptr;

  private:
    HWND m_owner = nullptr;
    HWND m_control = nullptr;
};

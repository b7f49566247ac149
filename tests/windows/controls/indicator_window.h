// A button control, id 1003, that a CAdvancedButton can take over, on a visible top-level
// test window. The top-level window is subclassed by a CWnd, so that it reflects
// WM_DRAWITEM like a dialog does, and is made once per process: under Wine without a
// window manager, hiding a top-level window waits about two seconds.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class IndicatorWindow {
  public:
    static constexpr int kControlId = 1003;
    static constexpr int kWidth = 166;  // 83 x 20 dialog units at the usual 8-point font
    static constexpr int kHeight = 40;

    explicit IndicatorWindow(const wchar_t* text, DWORD buttonStyle = BS_AUTOCHECKBOX);
    ~IndicatorWindow();
    IndicatorWindow(const IndicatorWindow&) = delete;
    IndicatorWindow& operator=(const IndicatorWindow&) = delete;

    CWnd& parent();
    HWND control() const { return m_control; }
    // Sends every pending message of this thread on its way.
    static void Pump();
    // The colour at a point of the control, read through the control's own DC and through
    // the screen DC (what the display shows).
    COLORREF WindowPixel(int x, int y) const;
    COLORREF ScreenPixel(int x, int y) const;
    // Pumps messages until the display shows the colour at the point (at most ~2 s).
    bool ScreenShows(int x, int y, COLORREF color) const;

    int clicks = 0;  // BN_CLICKED notifications from the control

  private:
    HWND m_control = nullptr;
};

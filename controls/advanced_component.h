// The colour and repaint interface through which a window drives a status indicator.
// The fields are public: the owner may write them directly as well as through the setters.
#pragma once

#include <windows.h>

class CAdvancedComponent {
  public:
    virtual ~CAdvancedComponent() = default;

    // Store the colour, repaint at once (also when it did not change), return true.
    virtual bool SetCaptionColor(COLORREF color);
    virtual bool SetFaceColor(COLORREF color);
    // Repaints the indicator before returning.
    virtual void Redraw() = 0;

    COLORREF m_faceColor = RGB(192, 192, 192);
    COLORREF m_captionColor = RGB(0, 0, 0);  // while enabled
    COLORREF m_disabledCaptionColor = RGB(128, 128, 128);
    int m_shapeKind = 0;  // 1: ellipse; any other value: rectangle
};

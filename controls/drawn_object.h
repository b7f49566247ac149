// Painters of an indicator's face. A painter holds no data: the indicator makes one per
// paint, calls Draw and DrawCaption, and drops it. Every operation takes its rectangle by
// value, so it may shrink its own copy freely.
#pragma once

#include <windows.h>

#include "framework/dc.h"

class DrawnObject {
  public:
    // The whole face for the owner-draw state flags (ODS_SELECTED, ODS_FOCUS).
    virtual void Draw(CDC& dc, RECT rect, UINT state, COLORREF faceColor) = 0;
    // One line of text centred in the rectangle, drawn transparently in the colour; the
    // DC's text colour is put back afterwards, its background mode stays TRANSPARENT.
    virtual void DrawCaption(CDC& dc, RECT rect, const wchar_t* text, COLORREF color);
    // The frame; a negative depth draws it sunken.
    virtual void DrawBevel(CDC& dc, RECT rect, int depth) = 0;
    virtual void FillFace(CDC& dc, RECT rect, COLORREF color) = 0;
    virtual void DrawFocus(CDC& dc, RECT rect, COLORREF color) = 0;

  protected:
    // Painters are made on the stack and never deleted through this base.
    ~DrawnObject() = default;
};

// Moves each side of the rectangle n pixels inwards (outwards for negative n).
inline void Deflate(RECT& rect, int n) {
    ::InflateRect(&rect, -n, -n);
}

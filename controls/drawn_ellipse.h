// A filled ellipse inside a grey ring; pressed, two near-black rings; with the focus, a
// dotted ring whose gaps show the face colour.
#pragma once

#include "controls/drawn_object.h"

class DrawnEllipse : public DrawnObject {
  public:
    void Draw(CDC& dc, RECT rect, UINT state, COLORREF faceColor) override;
    // One 2-pixel ring: grey for depth >= 0, near-black for a negative depth.
    void DrawBevel(CDC& dc, RECT rect, int depth) override;
    // Nested 3-pixel outlines, 1 pixel apart, that fill the inscribed ellipse.
    void FillFace(CDC& dc, RECT rect, COLORREF color) override;
    // A dotted near-black ring; the gaps are painted in the colour (the DC's background
    // mode and colour are left OPAQUE and that colour).
    void DrawFocus(CDC& dc, RECT rect, COLORREF color) override;
};

// A filled rectangle with a two-ring raised bevel; pressed, the outer ring is sunken.
#pragma once

#include "controls/drawn_object.h"

class DrawnRect : public DrawnObject {
  public:
    void Draw(CDC& dc, RECT rect, UINT state, COLORREF faceColor) override;
    // |depth| rings, outermost first; one ring is white/grey, several are shaded greys.
    void DrawBevel(CDC& dc, RECT rect, int depth) override;
    void FillFace(CDC& dc, RECT rect, COLORREF color) override;
    // The dotted focus frame; the colour is not used.
    void DrawFocus(CDC& dc, RECT rect, COLORREF color) override;
};

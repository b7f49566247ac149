#include "controls/drawn_rect.h"

#include <cstdlib>

#include "framework/gdi_object.h"

namespace {

COLORREF paletteGrey(int level) {
    return PALETTERGB(level, level, level);
}

}  // namespace

void DrawnRect::Draw(CDC& dc, RECT rect, UINT state, COLORREF faceColor) {
    FillFace(dc, rect, faceColor);
    DrawBevel(dc, rect, 2);
    if ((state & ODS_FOCUS) == 0) {
        return;
    }
    if ((state & ODS_SELECTED) != 0) {
        DrawBevel(dc, rect, -1);
    }
    RECT focus = rect;
    Deflate(focus, 2);
    DrawFocus(dc, focus, faceColor);
}

void DrawnRect::DrawBevel(CDC& dc, RECT rect, int depth) {
    const int rings = std::abs(depth);
    for (int i = 1; i <= rings; ++i) {
        COLORREF light = RGB(255, 255, 255);
        COLORREF dark = RGB(128, 128, 128);
        if (rings >= 2) {
            light = paletteGrey(192 + 63 / i);
            dark = paletteGrey(255 / (i + 1));
        }
        if (depth >= 0) {
            dc.Draw3dRect(rect, light, dark);
        } else {
            dc.Draw3dRect(rect, dark, light);
        }
        Deflate(rect, 1);
    }
}

void DrawnRect::FillFace(CDC& dc, RECT rect, COLORREF color) {
    // GDI would fill a rectangle given with its sides swapped; an empty one shows nothing.
    if (::IsRectEmpty(&rect)) {
        return;
    }
    CBrush brush;
    if (brush.CreateSolidBrush(color) != nullptr) {
        dc.FillRect(rect, brush);
    }
}

void DrawnRect::DrawFocus(CDC& dc, RECT rect, COLORREF /*color*/) {
    dc.DrawFocusRect(rect);
}

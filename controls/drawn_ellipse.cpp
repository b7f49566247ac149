#include "controls/drawn_ellipse.h"

#include "framework/gdi_object.h"
#include "framework/select_guard.h"

void DrawnEllipse::Draw(CDC& dc, RECT rect, UINT state, COLORREF faceColor) {
    RECT r = rect;
    Deflate(r, 1);
    DrawBevel(dc, r, 2);
    Deflate(r, 1);
    FillFace(dc, r, faceColor);
    if ((state & ODS_FOCUS) == 0) {
        return;
    }
    if ((state & ODS_SELECTED) != 0) {
        Deflate(r, -1);
        DrawBevel(dc, r, -1);
        Deflate(r, 1);
        DrawBevel(dc, r, -1);
    }
    FillFace(dc, r, faceColor);
    Deflate(r, 2);
    DrawFocus(dc, r, faceColor);
    Deflate(r, 1);
    FillFace(dc, r, faceColor);
}

void DrawnEllipse::DrawBevel(CDC& dc, RECT rect, int depth) {
    CPen pen;
    if (pen.CreatePen(PS_SOLID, 2, depth >= 0 ? RGB(128, 128, 128) : RGB(1, 1, 1)) == nullptr) {
        return;
    }
    CSelectGuard selected(dc, pen);
    dc.Ellipse(rect);
}

void DrawnEllipse::FillFace(CDC& dc, RECT rect, COLORREF color) {
    CPen pen;
    if (pen.CreatePen(PS_SOLID, 3, color) == nullptr) {
        return;
    }
    CSelectGuard selected(dc, pen);
    if (::IsRectEmpty(&rect)) {
        return;
    }
    do {
        Deflate(rect, 1);
        dc.Ellipse(rect);
    } while (!::IsRectEmpty(&rect));
}

void DrawnEllipse::DrawFocus(CDC& dc, RECT rect, COLORREF color) {
    CPen pen;
    if (pen.CreatePen(PS_DOT, 1, RGB(1, 1, 1)) == nullptr) {
        return;
    }
    CSelectGuard selected(dc, pen);
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(color);
    dc.Ellipse(rect);
}

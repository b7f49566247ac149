#include "controls/drawn_object.h"

void DrawnObject::DrawCaption(CDC& dc, RECT rect, const wchar_t* text, COLORREF color) {
    const COLORREF previous = dc.SetTextColor(color);
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text, -1, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SetTextColor(previous);
}

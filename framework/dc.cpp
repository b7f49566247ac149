#include "framework/dc.h"

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
    const COLORREF previous = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, previous);
}

void CDC::Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const LONG x = rect.left;
    const LONG y = rect.top;
    FillSolidRect({x, y, x + width - 1, y + 1}, topLeft);                       // top row
    FillSolidRect({x, y, x + 1, y + height - 1}, topLeft);                      // left column
    FillSolidRect({rect.right - 1, y, rect.right, rect.bottom}, bottomRight);   // right column
    FillSolidRect({x, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);  // bottom row
}

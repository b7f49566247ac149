// GDI object handles that own their object: CPen and CBrush delete it when they go away. An
// owned handle has exactly one owner: it moves, it never copies.
#pragma once

#include <windows.h>

#include "base/unique_handle.h"

template <class GdiHandle>
struct GdiObjectTraits : NullWhenEmpty<GdiHandle> {
    static void close(GdiHandle handle) noexcept { ::DeleteObject(handle); }
};

template <class Handle>
class CGdiObjectT : public UniqueHandle<GdiObjectTraits<Handle>> {
  public:
    operator Handle() const { return this->get(); }
};

class CPen : public CGdiObjectT<HPEN> {
  public:
    // Makes a cosmetic or geometric pen (PS_SOLID, PS_DOT, ...); null when GDI refuses.
    HPEN CreatePen(int style, int width, COLORREF color) {
        reset(::CreatePen(style, width, color));
        return get();
    }
};

class CBrush : public CGdiObjectT<HBRUSH> {
  public:
    HBRUSH CreateSolidBrush(COLORREF color) {
        reset(::CreateSolidBrush(color));
        return get();
    }
};

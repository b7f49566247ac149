// GDI object handles that own their object: CPen and CBrush delete it when they go away. An
// owned handle has exactly one owner: it moves, it never copies.
#pragma once

#include <windows.h>

#include "framework/unique_owner.h"

template <class GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static void Release(GdiHandle handle) { ::DeleteObject(handle); }
};

template <class Handle>
class CGdiObjectT : public UniqueOwner<GdiObjectTraits<Handle>> {
  public:
    operator Handle() const { return this->Get(); }
};

class CPen : public CGdiObjectT<HPEN> {
  public:
    // Makes a cosmetic or geometric pen (PS_SOLID, PS_DOT, ...); null when GDI refuses.
    HPEN CreatePen(int style, int width, COLORREF color) {
        Attach(::CreatePen(style, width, color));
        return Get();
    }
};

class CBrush : public CGdiObjectT<HBRUSH> {
  public:
    HBRUSH CreateSolidBrush(COLORREF color) {
        Attach(::CreateSolidBrush(color));
        return Get();
    }
};

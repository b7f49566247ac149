// GDI object handles that own their object: CPen and CBrush delete it when they go away.
#pragma once

#include <windows.h>

#include <utility>

template <class Handle>
class CGdiObjectT {
  public:
    CGdiObjectT() = default;
    ~CGdiObjectT() { Release(); }

    // An owned handle has exactly one owner: it moves, it never copies.
    CGdiObjectT(const CGdiObjectT& other) = delete;
    CGdiObjectT& operator=(const CGdiObjectT& other) = delete;
    CGdiObjectT(CGdiObjectT&& other) noexcept : m_handle(other.Detach()) {}
    CGdiObjectT& operator=(CGdiObjectT&& other) noexcept {
        if (this != &other) {
            Attach(other.Detach());
        }
        return *this;
    }

    // Takes the handle over, deleting what it held before.
    void Attach(Handle handle) {
        Release();
        m_handle = handle;
    }
    // Gives the handle up without deleting it.
    Handle Detach() { return std::exchange(m_handle, Handle{}); }

    Handle m_handle{};
    operator Handle() const { return m_handle; }

  private:
    void Release() {
        if (m_handle != nullptr) {
            ::DeleteObject(m_handle);
        }
        m_handle = Handle{};
    }
};

class CPen : public CGdiObjectT<HPEN> {
  public:
    // Makes a cosmetic or geometric pen (PS_SOLID, PS_DOT, ...); null when GDI refuses.
    HPEN CreatePen(int style, int width, COLORREF color) {
        Attach(::CreatePen(style, width, color));
        return m_handle;
    }
};

class CBrush : public CGdiObjectT<HBRUSH> {
  public:
    HBRUSH CreateSolidBrush(COLORREF color) {
        Attach(::CreateSolidBrush(color));
        return m_handle;
    }
};

// GDI object handles, owned or borrowed: one template serves both.
// CPen / CBrush delete their object when they go away; CPenHandle / CBrushHandle only
// borrow one that somebody else deletes.
#pragma once

#include <windows.h>

#include <utility>

template <class Handle, bool Owned>
class CGdiObjectT {
  public:
    CGdiObjectT() = default;
    explicit CGdiObjectT(Handle handle) : m_handle(handle) {}
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

    // Takes the handle over; an owned wrapper deletes what it held before.
    void Attach(Handle handle) {
        Release();
        m_handle = handle;
    }
    // Gives the handle up without deleting it.
    Handle Detach() { return std::exchange(m_handle, Handle{}); }

    Handle m_handle{};
    operator Handle() const { return m_handle; }
    bool IsNull() const { return m_handle == nullptr; }

  private:
    void Release() {
        if constexpr (Owned) {
            if (m_handle != nullptr) {
                ::DeleteObject(m_handle);
            }
        }
        m_handle = Handle{};
    }
};

// Borrowed handles are plain values: copying one is harmless.
template <class Handle>
class CGdiObjectT<Handle, false> {
  public:
    CGdiObjectT() = default;
    CGdiObjectT(Handle handle) : m_handle(handle) {}

    void Attach(Handle handle) { m_handle = handle; }
    Handle Detach() { return std::exchange(m_handle, Handle{}); }

    Handle m_handle{};
    operator Handle() const { return m_handle; }
    bool IsNull() const { return m_handle == nullptr; }
};

template <bool Owned>
class CPenT : public CGdiObjectT<HPEN, Owned> {
  public:
    using CGdiObjectT<HPEN, Owned>::CGdiObjectT;
    // Makes a cosmetic or geometric pen (PS_SOLID, PS_DOT, ...); null when GDI refuses.
    HPEN CreatePen(int style, int width, COLORREF color) {
        this->Attach(::CreatePen(style, width, color));
        return this->m_handle;
    }
};

template <bool Owned>
class CBrushT : public CGdiObjectT<HBRUSH, Owned> {
  public:
    using CGdiObjectT<HBRUSH, Owned>::CGdiObjectT;
    HBRUSH CreateSolidBrush(COLORREF color) {
        this->Attach(::CreateSolidBrush(color));
        return this->m_handle;
    }
};

using CPen = CPenT<true>;
using CPenHandle = CPenT<false>;
using CBrush = CBrushT<true>;
using CBrushHandle = CBrushT<false>;

// Owning pointer to a COM interface: Release() when it goes away, AddRef() when copied.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <utility>

template <class Interface>
class CComPtr {
  public:
    CComPtr() = default;
    // Takes over a reference the caller already owns (as returned by QueryInterface & co.).
    explicit CComPtr(Interface* owned) : m_pointer(owned) {}
    ~CComPtr() { Release(); }

    CComPtr(const CComPtr& other) : m_pointer(other.m_pointer) {
        if (m_pointer != nullptr) {
            m_pointer->AddRef();
        }
    }
    CComPtr& operator=(const CComPtr& other) {
        if (this != &other) {
            CComPtr copy(other);
            Swap(copy);
        }
        return *this;
    }
    CComPtr(CComPtr&& other) noexcept : m_pointer(other.Detach()) {}
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != &other) {
            Attach(other.Detach());
        }
        return *this;
    }

    // Drops the interface held (if any) and takes over `owned`.
    void Attach(Interface* owned) {
        Release();
        m_pointer = owned;
    }
    // Hands the reference to the caller, who must release it.
    Interface* Detach() { return std::exchange(m_pointer, nullptr); }
    void Release() {
        if (Interface* pointer = Detach()) {
            pointer->Release();
        }
    }
    // For out-parameters: releases what is held and returns the slot to fill.
    Interface** Put() {
        Release();
        return &m_pointer;
    }
    void Swap(CComPtr& other) noexcept { std::swap(m_pointer, other.m_pointer); }

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // QueryInterface into another smart pointer; returns the HRESULT.
    template <class Other>
    HRESULT As(CComPtr<Other>& result) const {
        if (m_pointer == nullptr) {
            result.Release();
            return E_POINTER;
        }
        return m_pointer->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(result.Put()));
    }

  private:
    Interface* m_pointer = nullptr;
};

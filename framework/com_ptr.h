// Owning pointer to a COM interface: Release() when it goes away, AddRef() when copied.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include "base/unique_handle.h"

template <class Interface>
struct InterfaceTraits : NullWhenEmpty<Interface*> {
    static void close(Interface* pointer) noexcept { pointer->Release(); }
};

template <class Interface>
class CComPtr : public UniqueHandle<InterfaceTraits<Interface>> {
    using Owner = UniqueHandle<InterfaceTraits<Interface>>;

  public:
    CComPtr() = default;
    // Takes over a reference the caller already owns (as returned by QueryInterface & co.).
    explicit CComPtr(Interface* owned) : Owner(owned) {}

    CComPtr(const CComPtr& other) : Owner(other.get()) {
        if (Interface* pointer = this->get()) {
            pointer->AddRef();
        }
    }
    CComPtr& operator=(const CComPtr& other) {
        if (this != &other) {
            CComPtr copy(other);
            this->swap(copy);
        }
        return *this;
    }
    CComPtr(CComPtr&& other) noexcept = default;
    CComPtr& operator=(CComPtr&& other) noexcept = default;

    Interface* operator->() const { return this->get(); }

    // QueryInterface into another smart pointer; returns the HRESULT.
    template <class Other>
    HRESULT As(CComPtr<Other>& result) const {
        if (this->get() == nullptr) {
            result.reset();
            return E_POINTER;
        }
        return this->get()->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(result.put()));
    }
};

// Owning pointer to a COM interface: Release() when it goes away, AddRef() when copied.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include "framework/unique_owner.h"

template <class Interface>
struct InterfaceTraits {
    using Handle = Interface*;
    static void Release(Interface* pointer) { pointer->Release(); }
};

template <class Interface>
class CComPtr : public UniqueOwner<InterfaceTraits<Interface>> {
    using Owner = UniqueOwner<InterfaceTraits<Interface>>;

  public:
    CComPtr() = default;
    // Takes over a reference the caller already owns (as returned by QueryInterface & co.).
    explicit CComPtr(Interface* owned) : Owner(owned) {}

    CComPtr(const CComPtr& other) : Owner(other.Get()) {
        if (Interface* pointer = this->Get()) {
            pointer->AddRef();
        }
    }
    CComPtr& operator=(const CComPtr& other) {
        if (this != &other) {
            CComPtr copy(other);
            this->Swap(copy);
        }
        return *this;
    }
    CComPtr(CComPtr&& other) noexcept = default;
    CComPtr& operator=(CComPtr&& other) noexcept = default;

    Interface* operator->() const { return this->Get(); }
    explicit operator bool() const { return this->Get() != nullptr; }

    // QueryInterface into another smart pointer; returns the HRESULT.
    template <class Other>
    HRESULT As(CComPtr<Other>& result) const {
        if (this->Get() == nullptr) {
            result.Release();
            return E_POINTER;
        }
        return this->Get()->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(result.Put()));
    }
};

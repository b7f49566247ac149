// Owning automation string (BSTR): SysFreeString when it goes away.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <new>
#include <string>
#include <string_view>

#include "base/unique_handle.h"

struct BstrTraits : NullWhenEmpty<BSTR> {
    static void close(BSTR text) noexcept { ::SysFreeString(text); }
};

class CBstr : public UniqueHandle<BstrTraits> {
  public:
    CBstr() = default;
    // Copies the characters, embedded NULs included.
    explicit CBstr(std::wstring_view text) : UniqueHandle(Allocate(text)) {}

    CBstr(const CBstr& other) : CBstr(other.View()) {}
    CBstr& operator=(const CBstr& other) {
        if (this != &other) {
            CBstr copy(other);
            swap(copy);
        }
        return *this;
    }
    CBstr(CBstr&& other) noexcept = default;
    CBstr& operator=(CBstr&& other) noexcept = default;

    // A null BSTR is the empty string.
    std::wstring_view View() const {
        const BSTR text = get();
        return text == nullptr ? std::wstring_view()
                               : std::wstring_view(text, ::SysStringLen(text));
    }
    std::wstring Str() const { return std::wstring(View()); }

  private:
    static BSTR Allocate(std::wstring_view text) {
        const BSTR copy = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (copy == nullptr) {
            throw std::bad_alloc();
        }
        return copy;
    }
};

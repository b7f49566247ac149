// Owning automation string (BSTR): SysFreeString when it goes away.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <new>
#include <string>
#include <string_view>
#include <utility>

class CBstr {
  public:
    CBstr() = default;
    // Copies the characters, embedded NULs included.
    explicit CBstr(std::wstring_view text)
        : m_bstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
        if (m_bstr == nullptr) {
            throw std::bad_alloc();
        }
    }
    ~CBstr() { ::SysFreeString(m_bstr); }

    CBstr(const CBstr& other) : CBstr(other.View()) {}
    CBstr& operator=(const CBstr& other) {
        if (this != &other) {
            CBstr copy(other);
            std::swap(m_bstr, copy.m_bstr);
        }
        return *this;
    }
    CBstr(CBstr&& other) noexcept : m_bstr(other.Detach()) {}
    CBstr& operator=(CBstr&& other) noexcept {
        if (this != &other) {
            Attach(other.Detach());
        }
        return *this;
    }

    // Takes over a BSTR the caller owns.
    void Attach(BSTR owned) {
        ::SysFreeString(m_bstr);
        m_bstr = owned;
    }
    BSTR Detach() { return std::exchange(m_bstr, nullptr); }
    // For out-parameters: frees what is held and returns the slot to fill.
    BSTR* Put() {
        Attach(nullptr);
        return &m_bstr;
    }

    BSTR Get() const { return m_bstr; }
    // A null BSTR is the empty string.
    std::wstring_view View() const {
        return m_bstr == nullptr ? std::wstring_view()
                                 : std::wstring_view(m_bstr, ::SysStringLen(m_bstr));
    }
    std::wstring Str() const { return std::wstring(View()); }

  private:
    BSTR m_bstr = nullptr;
};

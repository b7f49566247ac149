// Owning VARIANT: VariantClear when it goes away, VariantCopy when copied.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string_view>
#include <utility>

#include "framework/bstr.h"

class CVariant {
  public:
    CVariant() { ::VariantInit(&m_variant); }
    // VT_I4
    explicit CVariant(LONG value) : CVariant() {
        m_variant.vt = VT_I4;
        m_variant.lVal = value;
    }
    // VT_R8
    explicit CVariant(double value) : CVariant() {
        m_variant.vt = VT_R8;
        m_variant.dblVal = value;
    }
    // VT_BSTR, taking the string over.
    explicit CVariant(CBstr&& text) : CVariant() {
        m_variant.vt = VT_BSTR;
        m_variant.bstrVal = text.release();
    }
    // VT_BSTR, copying the characters.
    explicit CVariant(std::wstring_view text) : CVariant(CBstr(text)) {}
    ~CVariant() { ::VariantClear(&m_variant); }

    CVariant(const CVariant& other);
    CVariant& operator=(const CVariant& other) {
        if (this != &other) {
            CVariant copy(other);
            Swap(copy);
        }
        return *this;
    }
    CVariant(CVariant&& other) noexcept : m_variant(other.m_variant) {
        ::VariantInit(&other.m_variant);
    }
    CVariant& operator=(CVariant&& other) noexcept {
        if (this != &other) {
            CVariant moved(std::move(other));
            Swap(moved);
        }
        return *this;
    }
    void Swap(CVariant& other) noexcept { std::swap(m_variant, other.m_variant); }

    // Clears the value and returns the VARIANT to fill (an out-parameter).
    VARIANT* Put() {
        ::VariantClear(&m_variant);
        return &m_variant;
    }
    const VARIANT& Get() const { return m_variant; }
    VARTYPE Type() const { return m_variant.vt; }

  private:
    VARIANT m_variant;
};

#include "framework/variant.h"

#include "framework/automation_error.h"

CVariant::CVariant(const CVariant& other) : CVariant() {
    const HRESULT hr = ::VariantCopy(&m_variant, const_cast<VARIANT*>(&other.m_variant));
    if (FAILED(hr)) {
        throw AutomationError(hr, L"");
    }
}

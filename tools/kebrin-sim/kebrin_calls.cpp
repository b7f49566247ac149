#include "tools/kebrin-sim/kebrin_calls.h"

#include "tools/kebrin-sim/json_text.h"
#include "tools/kebrin-sim/registration.h"

#include <cwchar>
#include <string>

#include "framework/bstr.h"
#include "framework/variant.h"

namespace {

constexpr DISPID kFrequency = 2;
constexpr DISPID kMode = 7;
constexpr DISPID kRunMacro = 16;
constexpr DISPID kSetQsoField = 18;

struct Member {
    const wchar_t* name;
    DISPID id;
};
constexpr Member kMembers[] = {{L"Frequency", kFrequency},
                               {L"Mode", kMode},
                               {L"RunMacro", kRunMacro},
                               {L"SetQsoField", kSetQsoField}};

HRESULT checkMethod(WORD flags, const DISPPARAMS& params, UINT count) {
    if ((flags & DISPATCH_METHOD) == 0) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (params.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    return params.cArgs == count ? S_OK : DISP_E_BADPARAMCOUNT;
}

HRESULT checkPut(const DISPPARAMS& params) {
    if (params.cArgs != 1) {
        return DISP_E_BADPARAMCOUNT;
    }
    if (params.cNamedArgs != 1 || params.rgdispidNamedArgs == nullptr ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return DISP_E_PARAMNOTFOUND;
    }
    return S_OK;
}

HRESULT checkGet(const DISPPARAMS& params) {
    if (params.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    return params.cArgs == 0 ? S_OK : DISP_E_BADPARAMCOUNT;
}

// Argument `position` in call order (rgvarg holds them last-first), coerced to `type`.
HRESULT argument(const DISPPARAMS& params, UINT position, VARTYPE type, CVariant& value,
                 UINT* argError) {
    const UINT slot = params.cArgs - 1 - position;
    HRESULT hr = ::VariantChangeType(value.Put(), &params.rgvarg[slot], 0, type);
    if (FAILED(hr)) {
        if (argError != nullptr) {
            *argError = slot;
        }
        return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

std::wstring bstrText(const VARIANT& value) {
    const BSTR bstr = value.bstrVal;
    return bstr == nullptr ? std::wstring() : std::wstring(bstr, ::SysStringLen(bstr));
}

// The arguments of a method call, each coerced to its type in call order; the first failure
// ends the reading.
template <size_t N>
HRESULT methodArguments(WORD flags, const DISPPARAMS& params, const VARTYPE (&types)[N],
                        CVariant (&values)[N], UINT* argError) {
    HRESULT hr = checkMethod(flags, params, static_cast<UINT>(N));
    for (UINT i = 0; i < N && SUCCEEDED(hr); ++i) {
        hr = argument(params, i, types[i], values[i], argError);
    }
    return hr;
}

// A property of one type: a put hands the coerced value to `put`; a get lets `get` fill the
// VARIANT the caller gave.
template <typename Put, typename Get>
HRESULT callProperty(WORD flags, const DISPPARAMS& params, VARTYPE type, VARIANT* result,
                     UINT* argError, Put put, Get get) {
    if ((flags & DISPATCH_PROPERTYPUT) != 0) {
        HRESULT hr = checkPut(params);
        CVariant value;
        if (SUCCEEDED(hr)) {
            hr = argument(params, 0, type, value, argError);
        }
        if (FAILED(hr)) {
            return hr;
        }
        put(value.Get());
        return S_OK;
    }
    if ((flags & DISPATCH_PROPERTYGET) != 0) {
        const HRESULT hr = checkGet(params);
        if (SUCCEEDED(hr) && result != nullptr) {
            ::VariantInit(result);
            result->vt = type;
            get(*result);
        }
        return hr;
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace

DISPID KebrinCalls::IdOfName(const wchar_t* name) const {
    for (const Member& member : kMembers) {
        if (name != nullptr && ::_wcsicmp(name, member.name) == 0) {
            return member.id;
        }
    }
    return DISPID_UNKNOWN;
}

HRESULT KebrinCalls::Invoke(DISPID dispid, WORD flags, const DISPPARAMS& params, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError) {
    ++m_calls;
    HRESULT hr;
    if (m_failCalls) {
        if (exception != nullptr) {
            *exception = EXCEPINFO{};
            exception->scode = E_FAIL;
            exception->bstrSource = ::SysAllocString(kKebrinProgId);
            exception->bstrDescription = ::SysAllocString(kCallsDisabledText);
            hr = DISP_E_EXCEPTION;
        } else {
            hr = E_FAIL;
        }
    } else {
        hr = Dispatch(dispid, flags, params, result, argError);
    }
    if (m_afterCall) {
        m_afterCall();
    }
    return hr;
}

HRESULT KebrinCalls::Dispatch(DISPID dispid, WORD flags, const DISPPARAMS& params, VARIANT* result,
                              UINT* argError) {
    if (params.cArgs != 0 && params.rgvarg == nullptr) {
        return E_INVALIDARG;
    }
    switch (dispid) {
        case kRunMacro:
            return CallRunMacro(flags, params, argError);
        case kSetQsoField:
            return CallSetQsoField(flags, params, argError);
        case kFrequency:
            return CallFrequency(flags, params, result, argError);
        case kMode:
            return CallMode(flags, params, result, argError);
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT KebrinCalls::CallRunMacro(WORD flags, const DISPPARAMS& params, UINT* argError) {
    CVariant macro[1];
    const HRESULT hr = methodArguments(flags, params, {VT_BSTR}, macro, argError);
    if (FAILED(hr)) {
        return hr;
    }
    const std::wstring text = bstrText(macro[0].Get());
    m_journal.Write("RunMacro", JsonString(text));
    m_state.RunMacro(text);
    return S_OK;
}

HRESULT KebrinCalls::CallSetQsoField(WORD flags, const DISPPARAMS& params, UINT* argError) {
    CVariant indexAndValue[2];
    const HRESULT hr = methodArguments(flags, params, {VT_I4, VT_BSTR}, indexAndValue, argError);
    if (FAILED(hr)) {
        return hr;
    }
    const long fieldIndex = indexAndValue[0].Get().lVal;
    const std::wstring text = bstrText(indexAndValue[1].Get());
    m_journal.Write("SetQsoField", std::to_string(fieldIndex) + "," + JsonString(text));
    m_state.SetQsoField(fieldIndex, text);
    return S_OK;
}

HRESULT KebrinCalls::CallFrequency(WORD flags, const DISPPARAMS& params, VARIANT* result,
                                   UINT* argError) {
    return callProperty(
        flags, params, VT_R8, result, argError,
        [this](const VARIANT& value) {
            m_journal.Write("Frequency", FormatDouble(value.dblVal));
            m_state.SetFrequency(value.dblVal);
        },
        [this](VARIANT& out) { out.dblVal = m_state.Frequency(); });
}

HRESULT KebrinCalls::CallMode(WORD flags, const DISPPARAMS& params, VARIANT* result,
                              UINT* argError) {
    return callProperty(
        flags, params, VT_BSTR, result, argError,
        [this](const VARIANT& value) {
            const std::wstring text = bstrText(value);
            m_journal.Write("Mode", JsonString(text));
            m_state.SetMode(text);
        },
        [this](VARIANT& out) { out.bstrVal = CBstr(m_state.Mode()).release(); });
}

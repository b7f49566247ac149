#include "framework/dispatch_driver.h"

#include "framework/automation_error.h"
#include "framework/bstr.h"

namespace {

// Collects the object's own report of a DISP_E_EXCEPTION and frees its strings.
[[noreturn]] void throwFromException(HRESULT hr, EXCEPINFO& info) {
    if (info.pfnDeferredFillIn != nullptr) {
        info.pfnDeferredFillIn(&info);
    }
    CBstr description;
    description.reset(info.bstrDescription);
    CBstr source;
    source.reset(info.bstrSource);
    CBstr helpFile;
    helpFile.reset(info.bstrHelpFile);
    HRESULT code = hr;
    if (FAILED(info.scode)) {
        code = info.scode;
    } else if (info.wCode != 0) {
        code = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x200 + info.wCode);
    }
    throw AutomationError(code, description.Str(), source.Str());
}

}  // namespace

void CDispatchDriver::AttachDispatch(IDispatch* dispatch) {
    m_dispatch.reset(dispatch);
}

void CDispatchDriver::ReleaseDispatch() {
    m_dispatch.reset();
}

void CDispatchDriver::SetProperty(DISPID dispid, const CVariant& value) {
    InvokeHelper(dispid, DISPATCH_PROPERTYPUT, {value});
}

CVariant CDispatchDriver::InvokeHelper(DISPID dispid, WORD flags,
                                       const std::vector<CVariant>& args) {
    CVariant result;
    if (!m_dispatch) {
        return result;
    }
    // Shallow copies, last argument first; the CVariants in `args` keep ownership.
    std::vector<VARIANTARG> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        reversed.push_back(it->Get());
    }
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (isPut) {
        params.rgdispidNamedArgs = &namedPut;
        params.cNamedArgs = 1;
    }
    EXCEPINFO info{};
    UINT argError = 0;
    const HRESULT hr = m_dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                          isPut ? nullptr : result.Put(), &info, &argError);
    if (hr == DISP_E_EXCEPTION) {
        throwFromException(hr, info);
    }
    if (FAILED(hr)) {
        throw AutomationError(hr, L"");
    }
    return result;
}

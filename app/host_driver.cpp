#include "app/host_driver.h"

#include <objbase.h>
#include <oleauto.h>

#include "framework/com_ptr.h"
#include "framework/text_conversion.h"

CHostDriver hostDriver;

void CHostDriver::RunMacro(std::string_view macro) {
    if (!HasDispatch()) {
        return;
    }
    InvokeHelper(kDispidRunMacro, DISPATCH_METHOD, {CVariant(WidenText(macro))});
}

void CHostDriver::SetQsoField(long index, std::string_view text) {
    if (!HasDispatch()) {
        return;
    }
    InvokeHelper(kDispidSetQsoField, DISPATCH_METHOD,
                 {CVariant(static_cast<LONG>(index)), CVariant(WidenText(text))});
}

void CHostDriver::SetFrequency(double frequency) {
    SetProperty(kDispidFrequency, CVariant(frequency));
}

void CHostDriver::SetMode(std::string_view mode) {
    if (!HasDispatch()) {
        return;
    }
    SetProperty(kDispidMode, CVariant(WidenText(mode)));
}

bool AttachRunningObject(CDispatchDriver& driver, const wchar_t* progId) {
    // An unknown ProgID leaves the class id null, and GetActiveObject then finds nothing.
    CLSID classId = CLSID_NULL;
    ::CLSIDFromProgID(progId, &classId);
    if (FAILED(::CoInitialize(nullptr))) {
        return false;  // nothing to balance: COM is unusable on this thread
    }
    CComPtr<IUnknown> unknown;
    if (FAILED(::GetActiveObject(classId, nullptr, unknown.Put())) || !unknown) {
        ::CoUninitialize();
        return false;
    }
    CComPtr<IDispatch> dispatch;
    unknown.As(dispatch);
    unknown.Release();
    driver.AttachDispatch(dispatch.Detach());
    return true;
}

bool AttachHostDriver() {
    return AttachRunningObject(hostDriver, kHostProgId);
}

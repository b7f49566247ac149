#include "app/host_session.h"

#include <objbase.h>
#include <oleauto.h>

#include "framework/com_ptr.h"
#include "framework/text_conversion.h"

HostSession hostDriver;

bool HostSession::Attach() {
    if (m_attached) {
        return true;
    }
    // An unknown ProgID leaves the class id null, and GetActiveObject then finds nothing.
    CLSID classId = CLSID_NULL;
    ::CLSIDFromProgID(m_progId, &classId);
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
    m_driver.AttachDispatch(dispatch.Detach());
    m_attached = true;
    return true;
}

void HostSession::RunMacro(const std::string& macro) {
    m_driver.InvokeHelper(kDispidRunMacro, DISPATCH_METHOD, {CVariant(WidenText(macro))});
}

void HostSession::SetQsoField(int32_t index, const std::string& text) {
    m_driver.InvokeHelper(kDispidSetQsoField, DISPATCH_METHOD,
                          {CVariant(static_cast<LONG>(index)), CVariant(WidenText(text))});
}

void HostSession::SetFrequency(double hertz) {
    m_driver.SetProperty(kDispidFrequency, CVariant(hertz));
}

void HostSession::SetMode(const std::string& mode) {
    m_driver.SetProperty(kDispidMode, CVariant(WidenText(mode)));
}

void HostSession::End() {
    if (!m_attached) {
        return;
    }
    m_driver.ReleaseDispatch();
    ::CoUninitialize();
    m_attached = false;
}

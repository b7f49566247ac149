#include "framework/message_filter.h"

STDMETHODIMP CMessageFilter::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
        *object = static_cast<IMessageFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CMessageFilter::AddRef() {
    return ::InterlockedIncrement(&m_references);
}

STDMETHODIMP_(ULONG) CMessageFilter::Release() {
    const ULONG left = ::InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP_(DWORD)
CMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

STDMETHODIMP_(DWORD) CMessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD) {
    return static_cast<DWORD>(-1);
}

STDMETHODIMP_(DWORD) CMessageFilter::MessagePending(HTASK, DWORD, DWORD) {
    return PENDINGMSG_WAITDEFPROCESS;
}

CMessageFilterRegistration::CMessageFilterRegistration(CMessageFilter* filter) {
    m_registered = SUCCEEDED(::CoRegisterMessageFilter(filter, &m_previous));
    filter->Release();  // COM holds it while it is registered
}

CMessageFilterRegistration::~CMessageFilterRegistration() {
    if (m_registered) {
        ::CoRegisterMessageFilter(m_previous, nullptr);
    }
    if (m_previous != nullptr) {
        m_previous->Release();
    }
}

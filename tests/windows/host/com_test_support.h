// Helpers for tests that attach to kebrin-sim.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <chrono>

#include "app/host_session.h"
#include "framework/com_ptr.h"
#include "framework/dispatch_driver.h"

// True when COM is not initialised on this thread (every CoInitialize was balanced).
inline bool comIsUninitialised() {
    const HRESULT hr = ::CoInitialize(nullptr);
    if (SUCCEEDED(hr)) {
        ::CoUninitialize();
    }
    return hr == S_OK;
}

// Gives `driver` the running host's interface, for calls beyond the session's four members;
// COM must be initialised on the thread (an attached session does it) until it is released.
inline bool AttachToRunningHost(CDispatchDriver& driver) {
    CLSID classId = CLSID_NULL;
    CComPtr<IUnknown> unknown;
    if (FAILED(::CLSIDFromProgID(kHostProgId, &classId)) ||
        FAILED(::GetActiveObject(classId, nullptr, unknown.put())) || !unknown) {
        return false;
    }
    CComPtr<IDispatch> dispatch;
    unknown.As(dispatch);
    driver.AttachDispatch(dispatch.release());
    return driver.HasDispatch();
}

// Ends the session when the test leaves the scope, the way Finish does.
class SessionEnd {
  public:
    explicit SessionEnd(HostSession& session) : m_session(session) {}
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;
    ~SessionEnd() { m_session.end(); }

  private:
    HostSession& m_session;
};

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

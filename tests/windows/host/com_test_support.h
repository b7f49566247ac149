// Helpers for tests that attach to kebrin-sim.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <chrono>

#include "app/host_session.h"

// True when COM is not initialised on this thread (every CoInitialize was balanced).
inline bool comIsUninitialised() {
    const HRESULT hr = ::CoInitialize(nullptr);
    if (SUCCEEDED(hr)) {
        ::CoUninitialize();
    }
    return hr == S_OK;
}

// Ends the session when the test leaves the scope, the way Finish does.
class SessionEnd {
  public:
    explicit SessionEnd(HostSession& session) : m_session(session) {}
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;
    ~SessionEnd() { m_session.End(); }

  private:
    HostSession& m_session;
};

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

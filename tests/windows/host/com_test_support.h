// Helpers for tests that attach to kebrin-sim.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <chrono>

#include "app/host_driver.h"

// True when COM is not initialised on this thread (every CoInitialize was balanced).
inline bool comIsUninitialised() {
    const HRESULT hr = ::CoInitialize(nullptr);
    if (SUCCEEDED(hr)) {
        ::CoUninitialize();
    }
    return hr == S_OK;
}

// Ends what a successful attach began, the way Finish does: release, then CoUninitialize.
class AttachedSession {
  public:
    explicit AttachedSession(CDispatchDriver& driver) : m_driver(driver) {}
    AttachedSession(const AttachedSession&) = delete;
    AttachedSession& operator=(const AttachedSession&) = delete;
    ~AttachedSession() {
        m_driver.ReleaseDispatch();
        ::CoUninitialize();
    }

  private:
    CDispatchDriver& m_driver;
};

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

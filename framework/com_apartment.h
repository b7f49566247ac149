// COM on the calling thread as a single-threaded apartment, for the life of the object: begun
// by the constructor, ended by the destructor when the begin succeeded (S_OK or S_FALSE).
#pragma once

#include <windows.h>

#include <objbase.h>

class ComApartment {
  public:
    ComApartment() : m_begun(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (m_begun) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // False: COM is unusable on this thread (another apartment kind was begun here).
    bool Begun() const { return m_begun; }

  private:
    bool m_begun;
};

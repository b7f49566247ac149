// Selects a GDI object into a device context and puts the previous one back when the
// guard leaves scope. Declare the object before the guard, so that it is deselected
// before its own wrapper deletes it.
#pragma once

#include <windows.h>

class CSelectGuard {
  public:
    CSelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelectGuard() {
        if (m_previous != nullptr && m_previous != HGDI_ERROR) {
            ::SelectObject(m_dc, m_previous);
        }
    }
    CSelectGuard(const CSelectGuard&) = delete;
    CSelectGuard& operator=(const CSelectGuard&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

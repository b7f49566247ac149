// Counts the pens and brushes this program makes and deletes, by redirecting its own
// imports of CreatePen, CreateSolidBrush and DeleteObject (real GDI still does the work).
#pragma once

#include <windows.h>

#include <cstddef>

class GdiCounter {
  public:
    GdiCounter();  // starts counting; only one counter at a time
    ~GdiCounter();
    GdiCounter(const GdiCounter&) = delete;
    GdiCounter& operator=(const GdiCounter&) = delete;

    bool Installed() const { return m_installed; }
    std::size_t Created() const;
    // Pens and brushes made while counting and not deleted yet.
    std::size_t Alive() const;

  private:
    bool m_installed = false;
};

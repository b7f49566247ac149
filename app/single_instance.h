// One bridge in a user session: a named mutex, and beside it a small
// shared block with the process id of the bridge that holds it, so that a second start can
// bring that bridge's window to the front.
#pragma once

#include <windows.h>

#include <string>

#include "base/kernel_handle.h"

class InstanceLock {
  public:
    // `name` is a plain object name (no backslashes); it is made local to the session.
    explicit InstanceLock(const std::string& name);

    // True when no other bridge held the name: this one does now.
    bool Acquired() const { return m_acquired; }

    // Another bridge holds the name: brings its main window (or the box it shows) to the
    // front, waiting at most `timeoutMs` for that window to appear. False when none was found.
    bool BringRunningBridgeToFront(DWORD timeoutMs) const;

  private:
    DWORD RunningProcessId() const;

    KernelHandle m_mutex;
    KernelHandle m_sharedBlock;
    bool m_acquired = false;
};

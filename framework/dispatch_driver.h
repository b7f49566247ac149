// Late-bound calls on an automation object through its IDispatch, by dispatch id.
// The driver owns one reference to the interface from AttachDispatch until ReleaseDispatch (or
// its destruction). Without an interface every call does nothing. A failed call throws
// AutomationError.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <vector>

#include "framework/com_ptr.h"
#include "framework/variant.h"

class CDispatchDriver {
  public:
    CDispatchDriver() = default;
    CDispatchDriver(const CDispatchDriver&) = delete;
    CDispatchDriver& operator=(const CDispatchDriver&) = delete;

    // Takes over a reference the caller owns; null leaves the driver without an interface.
    void AttachDispatch(IDispatch* dispatch);
    // Releases the interface, if any. Call it while COM is still initialised on the thread.
    void ReleaseDispatch();
    bool HasDispatch() const { return static_cast<bool>(m_dispatch); }

    // Invokes a member (DISPATCH_METHOD, DISPATCH_PROPERTYGET). `args` are in call order; the
    // driver hands them to IDispatch::Invoke last-first, as automation requires. Returns the
    // member's result, VT_EMPTY when it has none or when no interface is held.
    CVariant InvokeHelper(DISPID dispid, WORD flags, const std::vector<CVariant>& args = {});
    // Property put: the value as the one argument named DISPID_PROPERTYPUT.
    void SetProperty(DISPID dispid, const CVariant& value);

  private:
    CComPtr<IDispatch> m_dispatch;
};

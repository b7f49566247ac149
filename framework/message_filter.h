// COM message filters: a base that answers the three questions COM asks a single-threaded
// apartment's filter, and the registration of a filter for the calling thread, undone (the
// filter registered before put back) when it goes.
#pragma once

#include <windows.h>

#include <objbase.h>

// A heap object with a reference count; the derived class answers what it changes.
class CMessageFilter : public IMessageFilter {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // Takes every incoming call.
    STDMETHODIMP_(DWORD)
    HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                       LPINTERFACEINFO info) override;
    // Gives a turned-away call up at once, as COM does without a filter.
    STDMETHODIMP_(DWORD)
    RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
    // Lets COM dispatch what it dispatches by default while waiting (paint, activation),
    // keeping input back.
    STDMETHODIMP_(DWORD)
    MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

  protected:
    CMessageFilter() = default;
    virtual ~CMessageFilter() = default;

  private:
    LONG m_references = 1;
};

// Registers `filter` (which it takes over, as made by new) for this thread; the destructor
// puts back the filter registered before. COM must be initialised on the thread as a
// single-threaded apartment for the whole life of the registration.
class CMessageFilterRegistration {
  public:
    explicit CMessageFilterRegistration(CMessageFilter* filter);
    ~CMessageFilterRegistration();
    CMessageFilterRegistration(const CMessageFilterRegistration&) = delete;
    CMessageFilterRegistration& operator=(const CMessageFilterRegistration&) = delete;

    bool IsRegistered() const { return m_registered; }

  private:
    IMessageFilter* m_previous = nullptr;
    bool m_registered = false;
};

// The members of "Kebrin2.Application" as the stand-in answers them:
//   16 RunMacro(BSTR)            method
//   18 SetQsoField(I4, BSTR)     method
//    2 Frequency                 R8 property, put and get
//    7 Mode                      BSTR property, put and get
// Arguments are coerced with VariantChangeType. Every accepted call that changes something is
// journaled; while calls are disabled, each one fails with DISP_E_EXCEPTION and the text
// "kebrin-sim: calls disabled".
#pragma once

#include <functional>

#include "tools/kebrin-sim/automation_object.h"
#include "tools/kebrin-sim/host_state.h"
#include "tools/kebrin-sim/journal.h"

inline constexpr wchar_t kCallsDisabledText[] = L"kebrin-sim: calls disabled";

class KebrinCalls final : public DispatchHandler {
  public:
    KebrinCalls(HostState& state, Journal& journal) : m_state(state), m_journal(journal) {}

    DISPID IdOfName(const wchar_t* name) const override;
    HRESULT Invoke(DISPID dispid, WORD flags, const DISPPARAMS& params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) override;

    void SetFailCalls(bool fail) { m_failCalls = fail; }
    bool FailCalls() const { return m_failCalls; }
    // While busy, the stand-in's message filter turns calls away with "retry later", as a host
    // showing a modal dialog does.
    void SetBusy(bool busy) { m_busy = busy; }
    bool Busy() const { return m_busy; }
    // Calls received so far, refused ones included.
    long CallCount() const { return m_calls; }
    // Runs after every call, once it has been answered.
    void SetAfterCall(std::function<void()> afterCall) { m_afterCall = std::move(afterCall); }

  private:
    HRESULT Dispatch(DISPID dispid, WORD flags, const DISPPARAMS& params, VARIANT* result,
                     UINT* argError);
    HRESULT CallRunMacro(WORD flags, const DISPPARAMS& params, UINT* argError);
    HRESULT CallSetQsoField(WORD flags, const DISPPARAMS& params, UINT* argError);
    HRESULT CallFrequency(WORD flags, const DISPPARAMS& params, VARIANT* result, UINT* argError);
    HRESULT CallMode(WORD flags, const DISPPARAMS& params, VARIANT* result, UINT* argError);

    HostState& m_state;
    Journal& m_journal;
    bool m_failCalls = false;
    bool m_busy = false;
    long m_calls = 0;
    std::function<void()> m_afterCall;
};

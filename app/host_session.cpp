#include "app/host_session.h"

#include <oleauto.h>

#include "app/poll/busy_host_retry.h"
#include "framework/automation_error.h"
#include "framework/com_ptr.h"
#include "framework/text_conversion.h"

namespace {

// Tries a call again while the host answers "retry later", within the bridge's limit.
class BusyHostFilter final : public CMessageFilter {
  public:
    STDMETHODIMP_(DWORD)
    RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) override {
        return static_cast<DWORD>(pollcycle::retryRejectedCallAfter(rejectType, tickCount));
    }
};

}  // namespace

bool HostSession::attach() {
    if (m_apartment) {
        return true;
    }
    // An unknown ProgID leaves the class id null, and GetActiveObject then finds nothing.
    CLSID classId = CLSID_NULL;
    ::CLSIDFromProgID(m_progId, &classId);
    m_apartment.emplace();
    if (!m_apartment->Begun()) {
        m_apartment.reset();
        return false;  // COM is unusable on this thread
    }
    m_filter = std::make_unique<CMessageFilterRegistration>(new BusyHostFilter);
    CComPtr<IUnknown> unknown;
    if (FAILED(::GetActiveObject(classId, nullptr, unknown.put())) || !unknown) {
        m_filter.reset();
        m_apartment.reset();
        return false;
    }
    CComPtr<IDispatch> dispatch;
    unknown.As(dispatch);
    unknown.reset();
    m_driver.AttachDispatch(dispatch.release());
    return true;
}

template <typename Call>
void HostSession::endOnFailure(Call call) {
    try {
        call();
    } catch (const AutomationError&) {
        end();
        throw;
    }
}

void HostSession::runMacro(const std::string& macro) {
    endOnFailure([&] {
        m_driver.InvokeHelper(kDispidRunMacro, DISPATCH_METHOD, {CVariant(WidenUtf8(macro))});
    });
}

void HostSession::setQsoField(int32_t index, const std::string& text) {
    endOnFailure([&] {
        m_driver.InvokeHelper(kDispidSetQsoField, DISPATCH_METHOD,
                              {CVariant(static_cast<LONG>(index)), CVariant(WidenUtf8(text))});
    });
}

void HostSession::setFrequency(double hertz) {
    endOnFailure([&] { m_driver.SetProperty(kDispidFrequency, CVariant(hertz)); });
}

void HostSession::setMode(const std::string& mode) {
    endOnFailure([&] { m_driver.SetProperty(kDispidMode, CVariant(WidenUtf8(mode))); });
}

void HostSession::end() {
    m_driver.ReleaseDispatch();
    m_filter.reset();
    m_apartment.reset();
}

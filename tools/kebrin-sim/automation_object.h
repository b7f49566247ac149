// A late-bound automation object: IDispatch without type information, whose calls go to a
// handler. Reference counted as COM requires; single-threaded (an STA object).
#pragma once

#include <windows.h>

#include <oaidl.h>

class DispatchHandler {
  public:
    virtual ~DispatchHandler() = default;
    // The dispatch id of a member name (case-insensitive), or DISPID_UNKNOWN.
    virtual DISPID IdOfName(const wchar_t* name) const = 0;
    // IDispatch::Invoke, with the interface id and locale already checked.
    virtual HRESULT Invoke(DISPID dispid, WORD flags, const DISPPARAMS& params, VARIANT* result,
                           EXCEPINFO* exception, UINT* argError) = 0;
};

class AutomationObject final : public IDispatch {
  public:
    // The handler must outlive every call; the object starts with one reference.
    explicit AutomationObject(DispatchHandler& handler) : m_handler(handler) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

  private:
    ~AutomationObject() = default;

    DispatchHandler& m_handler;
    ULONG m_references = 1;
};

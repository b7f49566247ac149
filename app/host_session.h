// The bridge's session with the host program Kebrin through its automation object
// "Kebrin2.Application": the attach to a running instance, the four members called by dispatch
// id, and the end of the session (release of the interface, then the end of COM on this
// thread). It is the poll cycle's host port.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/poll/host_port.h"
#include "framework/com_apartment.h"
#include "framework/dispatch_driver.h"
#include "framework/message_filter.h"

inline constexpr wchar_t kHostProgId[] = L"Kebrin2.Application";

inline constexpr DISPID kDispidFrequency = 2;
inline constexpr DISPID kDispidMode = 7;
inline constexpr DISPID kDispidRunMacro = 16;
inline constexpr DISPID kDispidSetQsoField = 18;

// Every member does nothing while no interface is held (the object granted none, or the
// session was never attached or has ended), and throws AutomationError when the host rejects
// the call or is gone. A failed call ends the session first (as end() does): the host is
// attached afresh by the next attach(), a new instance of it among them. Texts come in UTF-8
// and are turned into the host's strings here, once.
class HostSession : public pollcycle::HostPort {
  public:
    explicit HostSession(const wchar_t* progId = kHostProgId) : m_progId(progId) {}
    ~HostSession() override { end(); }
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // CLSIDFromProgID (result not tested), CoInitialize, the message filter that retries calls
    // a busy host answers with "retry later" (app/poll/busy_host_retry.h), GetActiveObject.
    // When no running instance is found: the filter and COM are undone, and false. Otherwise the
    // object's IDispatch is held (none if the object grants none) and true; COM then stays
    // initialised on this thread until end(). Once attached, further calls return true at once.
    bool attach() override;
    void runMacro(const std::string& macro) override;
    void setQsoField(int32_t index, const std::string& text) override;
    // Property puts of `Frequency` and `Mode`.
    void setFrequency(double hertz) override;
    void setMode(const std::string& mode) override;

    // Ends an attached session: releases the interface, puts back the message filter registered
    // before, then ends COM on this thread. Without an attach nothing was begun, and nothing is
    // done. The destructor ends the session too.
    void end();

    // Whether an interface is held: false before the attach, after the end, or when the object
    // granted none.
    bool callsReachHost() const override { return m_driver.HasDispatch(); }

  private:
    // Runs the automation call; when it fails, ends the session and lets the error out.
    template <typename Call>
    void endOnFailure(Call call);

    const wchar_t* m_progId;
    // From the attach until end(), ended in the reverse order of their declaration: the
    // interface, the filter, COM.
    std::optional<ComApartment> m_apartment;
    std::unique_ptr<CMessageFilterRegistration> m_filter;
    CDispatchDriver m_driver;
};

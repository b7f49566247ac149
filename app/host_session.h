// The bridge's session with the host program Kebrin through its automation object
// "Kebrin2.Application": the attach to a running instance, the four members called by dispatch
// id, and the end of the session (release of the interface, then the end of COM on this
// thread). It is the poll cycle's host port.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/poll/host_port.h"
#include "framework/dispatch_driver.h"

inline constexpr wchar_t kHostProgId[] = L"Kebrin2.Application";

inline constexpr DISPID kDispidFrequency = 2;
inline constexpr DISPID kDispidMode = 7;
inline constexpr DISPID kDispidRunMacro = 16;
inline constexpr DISPID kDispidSetQsoField = 18;

// Every member does nothing while no interface is held (the object granted none, or the
// session was never attached or has ended), and throws AutomationError when the host rejects
// the call or is gone. Texts go to the host as WidenText makes them (framework/text_conversion.h).
class HostSession : public pollcycle::HostPort {
  public:
    explicit HostSession(const wchar_t* progId = kHostProgId) : m_progId(progId) {}

    // CLSIDFromProgID (result not tested), CoInitialize, GetActiveObject. When no running
    // instance is found: CoUninitialize and false. Otherwise the object's IDispatch is held
    // (none if the object grants none) and true; COM then stays initialised on this thread
    // until End. Once attached, further calls return true at once.
    bool Attach() override;
    void RunMacro(const std::string& macro) override;
    void SetQsoField(int32_t index, const std::string& text) override;
    // Property puts of `Frequency` and `Mode`.
    void SetFrequency(double hertz) override;
    void SetMode(const std::string& mode) override;

    // Ends an attached session: releases the interface, then ends COM on this thread. Without
    // an attach nothing was begun, and nothing is done.
    void End();

    bool IsAttached() const { return m_attached; }
    bool HasInterface() const { return m_driver.HasDispatch(); }
    bool CallsReachHost() const override { return HasInterface(); }
    // The driver itself, for calls beyond the four members (tests of the host's contract).
    CDispatchDriver& Driver() { return m_driver; }

  private:
    const wchar_t* m_progId;
    // Holds the interface from the attach until End; at process end it releases any interface
    // it still holds.
    CDispatchDriver m_driver;
    bool m_attached = false;
};

// The running program's session, attached by the poll cycle and ended by Finish.
extern HostSession hostDriver;

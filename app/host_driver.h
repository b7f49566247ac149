// The driver of Kebrin's automation object "Kebrin2.Application": four members called by
// dispatch id on the running instance the poll cycle attached to.
#pragma once

#include <windows.h>

#include <string_view>

#include "framework/dispatch_driver.h"

inline constexpr wchar_t kHostProgId[] = L"Kebrin2.Application";

inline constexpr DISPID kDispidFrequency = 2;
inline constexpr DISPID kDispidMode = 7;
inline constexpr DISPID kDispidRunMacro = 16;
inline constexpr DISPID kDispidSetQsoField = 18;

// Every member does nothing while no interface is held, and throws AutomationError when the
// host rejects the call or is gone. Texts are converted by WidenText
// (framework/text_conversion.h).
class CHostDriver : public CDispatchDriver {
  public:
    void RunMacro(std::string_view macro);
    void SetQsoField(long index, std::string_view text);
    // Property puts of `Frequency` and `Mode`.
    void SetFrequency(double frequency);
    void SetMode(std::string_view mode);
};

// The process-wide driver; it releases any interface it still holds at process end.
extern CHostDriver hostDriver;

// The attach steps: CLSIDFromProgID (result not tested), CoInitialize, GetActiveObject. When no
// running instance is found: CoUninitialize and false. Otherwise the object's IDispatch goes to
// `driver` (none if the object grants none) and true; COM then stays initialised on this thread
// until the caller ends it with ReleaseDispatch + CoUninitialize.
bool AttachRunningObject(CDispatchDriver& driver, const wchar_t* progId);

// AttachRunningObject(hostDriver, "Kebrin2.Application").
bool AttachHostDriver();

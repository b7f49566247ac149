#include "app/windows_host_port.h"

#include "app/host_driver.h"

bool WindowsHostPort::Attach() {
    // CLSIDFromProgID, CoInitialize, GetActiveObject (CoUninitialize when nothing runs),
    // QueryInterface for IDispatch and release of the IUnknown; hostDriver takes the interface.
    return AttachHostDriver();
}

void WindowsHostPort::RunMacro(const std::string& macro) {
    hostDriver.RunMacro(macro);
}

void WindowsHostPort::SetQsoField(int32_t index, const std::string& text) {
    hostDriver.SetQsoField(static_cast<long>(index), text);
}

void WindowsHostPort::SetFrequency(double hertz) {
    hostDriver.SetFrequency(hertz);
}

void WindowsHostPort::SetMode(const std::string& mode) {
    hostDriver.SetMode(mode);
}

// The poll cycle's host port over the process-wide hostDriver: the attach to a running
// "Kebrin2.Application" and the four automation members. Failed calls throw AutomationError.
#pragma once

#include "app/poll/host_port.h"

class WindowsHostPort : public pollcycle::HostPort {
  public:
    bool Attach() override;
    void RunMacro(const std::string& macro) override;
    void SetQsoField(int32_t index, const std::string& text) override;
    void SetFrequency(double hertz) override;
    void SetMode(const std::string& mode) override;
};

// A decorator over the host port that writes each automation call, with its arguments, into
// the diagnostic log before it is made, and the call's error when it fails. Everything else
// the bridge does reaches the log as events (event_log.h).
#pragma once

#include <string>

#include "app/diagnostics/diagnostic_log.h"
#include "app/poll/host_port.h"

namespace diagnostics {

class LoggingHostPort : public pollcycle::HostPort {
  public:
    LoggingHostPort(pollcycle::HostPort& inner, DiagnosticLog& log) : inner_(inner), log_(log) {}

    bool attach() override { return inner_.attach(); }
    void runMacro(const std::string& macro) override;
    void setQsoField(int32_t index, const std::string& text) override;
    void setFrequency(double hertz) override;
    void setMode(const std::string& mode) override;
    bool callsReachHost() const override { return inner_.callsReachHost(); }

  private:
    template <typename Call>
    void logged(const std::string& description, Call call);

    pollcycle::HostPort& inner_;
    DiagnosticLog& log_;
};

}  // namespace diagnostics

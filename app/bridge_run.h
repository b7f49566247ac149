// What a start of Varnock.exe is given from its command line: the fldigi endpoint, the
// diagnostic log, and the hold on one bridge per Windows session. Made before the dialog opens.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/diagnostics/diagnostic_log.h"
#include "app/options/command_line_options.h"
#include "app/single_instance.h"

class BridgeRun {
  public:
    // Reads the command line and acts on it: help, a mistake (the box names it), another
    // bridge already running in this session (brought to the front), a log that cannot be opened
    // (the box names it). Returns the exit code when the process is to end now, nothing when the
    // bridge is to start.
    std::optional<int> Start(const wchar_t* commandLine);

    const std::string& FldigiEndpoint() const { return m_options.fldigiEndpoint; }
    // Null without --log.
    diagnostics::DiagnosticLog* Log() { return m_log.get(); }
    // Writes an event when there is a log.
    void Note(const std::string& event);

  private:
    std::optional<int> OpenLog();

    bridgeoptions::BridgeOptions m_options;
    std::unique_ptr<InstanceLock> m_instance;
    std::unique_ptr<diagnostics::DiagnosticLog> m_log;
};

// What the bridge runs on, built once when the main window opens and ended once when it
// closes: the host session (with COM on this thread while it is attached), the poll state with
// the contact ledger's memory, the fldigi and file ports, the logging decorators (with --log),
// the readers of the bridge's events (the log first, then the status line), and the poll cycle
// over those. It is handed the window's view, never the window: the main window forwards its
// timer and Finish here, and however the window is closed, the session ends here, before the
// bridge is destroyed.
#pragma once

#include <memory>

#include "app/diagnostics/event_log.h"
#include "app/diagnostics/logging_ports.h"
#include "app/host_session.h"
#include "app/poll/poll_cycle.h"
#include "app/poll/poll_state.h"
#include "app/poll/status_line.h"
#include "app/poll/xmlrpc_fldigi_port.h"
#include "app/windows_marker_files.h"

class BridgeRun;

class Bridge {
  public:
    // `run`: the fldigi endpoint and the log from the command line; `view` and `status`: the
    // main window's, which outlive the bridge.
    Bridge(BridgeRun& run, pollcycle::PollView& view, pollcycle::StatusView& status);
    Bridge(const Bridge&) = delete;
    Bridge& operator=(const Bridge&) = delete;

    // One tick of the poll cycle, then the status line. A failed host call is shown in the
    // error box within the tick, and the host is attached again on a later tick.
    void OnTimer();
    // Ends the host session: the interface released, the message filter put back, COM ended
    // on this thread. Again: nothing.
    void Finish();

  private:
    pollcycle::PollState m_state;
    HostSession m_host;
    pollcycle::XmlRpcFldigiPort m_fldigi;
    WindowsMarkerFiles m_markers;
    pollcycle::StatusView& m_statusView;
    // With --log: the host's calls and the bridge's events written to it; null without.
    std::unique_ptr<diagnostics::LoggingHostPort> m_loggedHost;
    std::unique_ptr<diagnostics::EventLog> m_eventLog;
    pollcycle::StatusLine m_statusLine;
    pollcycle::BridgeEventFanOut m_events;
    pollcycle::PollCycle m_cycle;
};

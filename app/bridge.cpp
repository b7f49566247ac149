#include "app/bridge.h"

#include "app/bridge_run.h"
#include "framework/text_conversion.h"

namespace {

std::unique_ptr<diagnostics::LoggingPorts> loggingPortsFor(diagnostics::LogContext* context,
                                                           pollcycle::FldigiPort& fldigi,
                                                           pollcycle::HostPort& host,
                                                           pollcycle::MarkerFilesPort& markers,
                                                           pollcycle::PollView& view) {
    if (context == nullptr) {
        return nullptr;
    }
    return std::make_unique<diagnostics::LoggingPorts>(*context, fldigi, host, markers, view);
}

// The logged port when there is a log, else the port itself.
template <typename Port, typename Logged>
Port& outermost(Port& port, diagnostics::LoggingPorts* logging,
                Logged diagnostics::LoggingPorts::*logged) {
    return logging != nullptr ? static_cast<Port&>(logging->*logged) : port;
}

}  // namespace

Bridge::Bridge(BridgeRun& run, CVarnockDlg& dialog)
    : m_fldigi(run.fldigiEndpoint(), Utf8FromAnsiOrUtf8),
      m_view(dialog),
      m_logging(loggingPortsFor(run.logContext(), m_fldigi, m_host, m_markers, m_view)),
      m_cycle(
          m_state,
          outermost<pollcycle::FldigiPort>(m_fldigi, m_logging.get(),
                                           &diagnostics::LoggingPorts::fldigi),
          outermost<pollcycle::HostPort>(m_host, m_logging.get(), &diagnostics::LoggingPorts::host),
          outermost<pollcycle::MarkerFilesPort>(m_markers, m_logging.get(),
                                                &diagnostics::LoggingPorts::markers),
          outermost<pollcycle::PollView>(m_view, m_logging.get(),
                                         &diagnostics::LoggingPorts::view)) {}

void Bridge::OnTimer() {
    m_cycle.OnTimer();
}

void Bridge::Finish() {
    m_host.end();
}

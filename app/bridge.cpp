#include "app/bridge.h"

#include "app/bridge_run.h"
#include "framework/text_conversion.h"

namespace {

template <typename Made, typename... Args>
std::unique_ptr<Made> withLog(diagnostics::DiagnosticLog* log, Args&... args) {
    return log != nullptr ? std::make_unique<Made>(args..., *log) : nullptr;
}

}  // namespace

Bridge::Bridge(BridgeRun& run, CVarnockDlg& dialog)
    : m_fldigi(run.fldigiEndpoint(), Utf8FromAnsiOrUtf8),
      m_view(dialog),
      m_loggedHost(withLog<diagnostics::LoggingHostPort>(run.log(), m_host)),
      m_eventLog(withLog<diagnostics::EventLog>(run.log())),
      m_cycle(m_state, m_fldigi,
              m_loggedHost ? static_cast<pollcycle::HostPort&>(*m_loggedHost) : m_host, m_markers,
              m_view, m_events) {
    if (m_eventLog) {
        m_events.add(*m_eventLog);
    }
}

void Bridge::OnTimer() {
    m_cycle.OnTimer();
}

void Bridge::Finish() {
    m_host.end();
}

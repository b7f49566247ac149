#include "app/bridge.h"

#include "app/bridge_run.h"
#include "framework/text_conversion.h"

namespace {

template <typename Made, typename... Args>
std::unique_ptr<Made> withLog(diagnostics::DiagnosticLog* log, Args&... args) {
    return log != nullptr ? std::make_unique<Made>(args..., *log) : nullptr;
}

// Shows the status line when the tick ends, however it ends.
class StatusAfterTick {
  public:
    StatusAfterTick(const pollcycle::StatusLine& line, pollcycle::StatusView& view)
        : m_line(line), m_view(view) {}
    ~StatusAfterTick() { m_view.showStatus(m_line.current()); }
    StatusAfterTick(const StatusAfterTick&) = delete;
    StatusAfterTick& operator=(const StatusAfterTick&) = delete;

  private:
    const pollcycle::StatusLine& m_line;
    pollcycle::StatusView& m_view;
};

}  // namespace

Bridge::Bridge(BridgeRun& run, pollcycle::PollView& view, pollcycle::StatusView& status)
    : m_fldigi(run.FldigiEndpoint(), Utf8FromAnsiOrUtf8),
      m_statusView(status),
      m_loggedHost(withLog<diagnostics::LoggingHostPort>(run.Log(), m_host)),
      m_eventLog(withLog<diagnostics::EventLog>(run.Log())),
      m_cycle(m_state,
              {m_fldigi, m_loggedHost ? static_cast<pollcycle::HostPort&>(*m_loggedHost) : m_host,
               m_markers, view, m_events}) {
    if (m_eventLog) {
        m_events.add(*m_eventLog);
    }
    m_events.add(m_statusLine);
}

void Bridge::OnTimer() {
    const StatusAfterTick status(m_statusLine, m_statusView);
    m_cycle.OnTimer();
}

void Bridge::Finish() {
    m_host.end();
}

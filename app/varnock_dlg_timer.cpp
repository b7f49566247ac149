// The poll cycle's entry point in the main window: one tick per timer message. The state that
// lives between ticks is the process-wide poll state and hostDriver, the host session (the host
// port); the other ports are thin and stateless. An exception from a host call leaves the handler
// (the framework shows it in an error box); the tick had stopped the timer, so polling stops.
#include "app/bridge_run.h"
#include "app/host_session.h"
#include "app/poll/poll_cycle.h"
#include "app/poll/poll_state.h"
#include "app/poll/xmlrpc_fldigi_port.h"
#include "app/varnock_dlg.h"
#include "app/windows_marker_files.h"
#include "app/windows_poll_view.h"

void CVarnockDlg::OnTimer(UINT_PTR) {
    pollcycle::XmlRpcFldigiPort fldigi(m_run != nullptr ? m_run->fldigiEndpoint()
                                                        : pollcycle::kFldigiEndpoint);
    WindowsMarkerFiles markers;
    DialogPollView view(*this);
    if (diagnostics::LogContext* log = m_run != nullptr ? m_run->logContext() : nullptr) {
        diagnostics::LoggedPorts logged(*log, fldigi, hostDriver, markers, view);
        pollcycle::PollCycle(pollcycle::processPollState(), logged.fldigi, logged.host,
                             logged.markers, logged.view)
            .OnTimer();
        return;
    }
    pollcycle::PollCycle(pollcycle::processPollState(), fldigi, hostDriver, markers, view)
        .OnTimer();
}

// The bridge's events as lines of the diagnostic log. A state that lasts (the host not
// running, fldigi not answering) is written once until it ends; a problem is written when it
// begins and when it ends; a quiet tick writes nothing.
#pragma once

#include "app/diagnostics/diagnostic_log.h"
#include "app/poll/bridge_events.h"

namespace diagnostics {

class EventLog : public pollcycle::BridgeEvents {
  public:
    explicit EventLog(DiagnosticLog& log) : log_(log) {}

    void record(const pollcycle::BridgeEvent& event) override;

    // One overload per event: the line it writes, if any.
    void write(const pollcycle::event::FldigiConnected& e);
    void write(const pollcycle::event::FldigiConfigFolder& e);
    void write(const pollcycle::event::FldigiCallFailed& e);
    void write(const pollcycle::event::FldigiLost& e);
    void write(const pollcycle::event::FldigiLogCleared& e);
    void write(const pollcycle::event::HostAttached& e);
    void write(const pollcycle::event::HostNotRunning& e);
    void write(const pollcycle::event::HostLost& e);
    void write(const pollcycle::event::MarkerClaimed& e);
    void write(const pollcycle::event::MarkerDeleted& e);
    void write(const pollcycle::event::MarkerReplaced& e);
    void write(const pollcycle::event::ContactSaving& e);
    void write(const pollcycle::event::ContactSaved& e);
    void write(const pollcycle::event::RecordsSetAside& e);
    void write(const pollcycle::event::SetAsideFileSeen& e);
    void write(const pollcycle::event::ProblemBegan& e);
    void write(const pollcycle::event::ProblemEnded& e);
    void write(const pollcycle::event::BoxAnswered& e);
    void write(const pollcycle::event::ProcessExit& e);

  private:
    DiagnosticLog& log_;
    bool hostAbsenceLogged_ = false;
    bool fldigiSilenceLogged_ = false;
};

// The line for a problem as it begins: what, where, the system's reason, what it means.
std::string problemLine(const pollcycle::event::ProblemBegan& problem);
// The line for a problem as it ends: what can be done again.
std::string problemEndedLine(const pollcycle::event::ProblemEnded& problem);

}  // namespace diagnostics

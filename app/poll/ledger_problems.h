// The contact ledger's problems: each is reported once, when it begins, and once when it ends.
#pragma once

#include <string>

#include "app/poll/bridge_events.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_state.h"

namespace pollcycle {

class LedgerProblems {
  public:
    LedgerProblems(LedgerMemory& memory, MarkerFilesPort& files, BridgeEvents& events)
        : memory_(memory), files_(files), events_(events) {}

    // Reports the problem once, until ended() with the same kind and path.
    void began(ProblemKind kind, const std::string& path) {
        // The system's reason is taken at once, before another file operation replaces it.
        const std::string reason = files_.lastErrorText();
        if (memory_.reportedProblems.insert({kind, path}).second) {
            events_.record(event::ProblemBegan{kind, path, reason});
        }
    }
    void ended(ProblemKind kind, const std::string& path) {
        if (memory_.reportedProblems.erase({kind, path}) > 0) {
            events_.record(event::ProblemEnded{kind, path});
        }
    }

  private:
    LedgerMemory& memory_;
    MarkerFilesPort& files_;
    BridgeEvents& events_;
};

}  // namespace pollcycle

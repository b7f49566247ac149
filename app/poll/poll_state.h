// What the poll cycle keeps from tick to tick: created empty with the bridge, never reset.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <utility>

#include "app/poll/bridge_events.h"
#include "app/poll/ledger_progress.h"

namespace pollcycle {

// Per field, the text last read from fldigi that differed from its predecessor.
struct LastSentFields {
    std::string callsign;
    std::string name;
    std::string qth;
    std::string frequency;
    std::string rstIn;
    std::string rstOut;
    std::string modem;
    std::string locator;
    std::string state;
    std::string province;
    std::string notes;
};

// What the contact ledger keeps between ticks (its record of saves lives on disk).
struct LedgerMemory {
    bool progressLoaded = false;
    LedgerProgress progress;  // as last read or written
    bool folderChecked = false;
    // Problems already reported, by kind and file, until they end.
    std::set<std::pair<ProblemKind, std::string>> reportedProblems;
    // A file whose last record was unfinished at the last look ("name offset size"): if it is
    // the same at the next, that record counts as damaged.
    std::string waitedTail;
    // Records set aside into the unsaved-contacts file since the start.
    std::size_t setAside = 0;
};

struct PollState {
    bool hostAttached = false;     // set once the host's automation object was obtained
    bool fldigiConnected = false;  // set once fldigi answered "fldigi.name"
    std::string markerPath;        // fldigi's contact marker file, built at first contact
    LastSentFields lastSent;
    LedgerMemory ledger;
};

}  // namespace pollcycle

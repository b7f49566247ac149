// What the poll cycle keeps from tick to tick: created empty with the bridge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/poll/bridge_events.h"
#include "app/poll/ledger_progress.h"
#include "app/poll/marker_files_port.h"

namespace pollcycle {

// Per field, the text last sent to the host: what its contact form holds now, as far as the
// bridge knows. One member per row of the field table (field_table.h), which names the member
// it uses; the table's checks fail to compile when a row or a member is missing.
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

// A finished file that could not be deleted: tried again at `dueTick`, after pauses that grow.
struct DeleteRetry {
    uint64_t dueTick = 0;
    uint64_t pause = 0;  // in ticks
};

// What the contact ledger keeps between ticks (its record of saves lives on disk).
struct LedgerMemory {
    uint64_t ticks = 0;  // ticks the ledger has run
    bool progressLoaded = false;
    LedgerProgress progress;  // as last read or written
    bool folderChecked = false;
    // The taken files, by the folder search at start and the ledger's own renames and deletes
    // since (only one bridge runs per Windows session): no search while nothing is taken.
    bool claimedListed = false;
    std::vector<std::string> claimed;  // in the order they were taken
    std::map<std::string, DeleteRetry> deleteRetries;
    // Problems already reported, by kind and file, until they end.
    std::set<std::pair<ProblemKind, std::string>> reportedProblems;
    // A file whose last record was unfinished at the last look ("name begin end", offsets in
    // the file): if it is the same at the next, that record counts as damaged.
    std::string waitedTail;
    // Records set aside into the unsaved-contacts file since the start.
    std::size_t setAside = 0;
    // The set-aside file as last reported; `setAsideChanged`: the ledger appended to it.
    bool setAsideSeen = false;
    bool setAsideChanged = false;
    FileProbe setAsideState;
};

struct PollState {
    // The host's automation object is held; false again once a call to it failed.
    bool hostAttached = false;
    // fldigi answered "fldigi.name"; false again once a read failed, until it answers again.
    bool fldigiConnected = false;
    // fldigi's contact marker file, built at each first contact from its configuration folder.
    std::string markerPath;
    LastSentFields lastSent;
    LedgerMemory ledger;
};

}  // namespace pollcycle

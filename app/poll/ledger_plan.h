// What the contact ledger does with the bytes of one file that follow its last save, decided
// without touching a file: which records go to the host, which are set aside, and how far that
// takes the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/poll/adif_records.h"

namespace pollcycle {

// A record older than this when it is found would be saved by the host with the wrong time.
inline constexpr int64_t kStaleAfterSeconds = 30 * 60;

struct LedgerPlanInput {
    std::string_view data;    // the file from where its last save ended
    bool more = false;        // the read stopped at the tick's budget: the file may go on
    bool wholeTick = false;   // `data` is all that the tick reads
    bool tailWaited = false;  // the same unfinished last record was there at the last look
    int64_t now = 0;          // seconds since 1970, UTC
    std::size_t room = 0;     // contacts the tick may still hand out
};

struct PlannedContact {
    AdifRecord record;
    std::size_t end = 0;  // in `data`, just past the record
};

struct LedgerPlan {
    // The records before the first contact that are not to be saved: data[0, asideEnd).
    std::size_t asideEnd = 0;
    std::size_t stale = 0;                 // of them, contacts too old to save
    std::size_t notContacts = 0;           // of them, records without a call or damaged
    std::vector<PlannedContact> contacts;  // in file order, after the records set aside
    bool done = false;                     // nothing is left of the file after the contacts
    bool tailToWait = false;               // an unfinished last record seen for the first time
    std::size_t tailBegin = 0;             // where it begins in `data`
};

LedgerPlan planLedgerTake(const LedgerPlanInput& input);

// The text the set-aside file gets for records that are not saved: each record as it stands on
// a line of its own, damaged ones (and an unfinished rest) as plain text readers pass over.
struct SetAsideText {
    std::string text;
    std::size_t contacts = 0;  // records with a call (set aside as too old)
    std::size_t others = 0;    // records without one, damaged ones and an unfinished rest
};
SetAsideText setAsideText(std::string_view records);

}  // namespace pollcycle

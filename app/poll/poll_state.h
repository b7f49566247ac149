// The poll cycle's process-wide state: created empty at process start, never reset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// Size and last-write time of a marker file, enough to tell a changed file from the same one.
struct MarkerIdentity {
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;
    bool operator==(const MarkerIdentity& other) const {
        return size == other.size && lastWriteTime == other.lastWriteTime;
    }
};

struct PollState {
    bool hostAttached = false;     // set once the host's automation object was obtained
    bool fldigiConnected = false;  // set once fldigi answered "fldigi.name"
    std::string markerPath;        // fldigi's contact marker file, built at first contact
    LastSentFields lastSent;
    // A marker from which contacts were saved but which is still there (it could not be
    // deleted, or its last record was unfinished): what it held is not saved again while it
    // stays the same file, and once it grows only its records past `committedMarkerBytes` are.
    std::optional<MarkerIdentity> committedUndeletedMarker;
    uint64_t committedMarkerBytes = 0;
    // That marker's last record was unfinished: if the file has not changed by the next tick,
    // the record is saved as it stands.
    bool markerTailUnfinished = false;
};

// The one instance of the running program.
PollState& processPollState();

}  // namespace pollcycle

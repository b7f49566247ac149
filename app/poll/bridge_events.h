// One record of what happened: the poll cycle and the contact ledger report each thing that
// happens as one typed event, where it happens. The diagnostic log, the window's status line
// and the tests all read the same events.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "app/poll/poll_view.h"

namespace pollcycle {

// Something that keeps contacts from being saved, or saved in time, until it ends.
enum class ProblemKind {
    FolderMissing,       // fldigi's "temp" folder is not there
    FolderUnlistable,    // a search in fldigi's folder failed for another reason than "none"
    ProgressUnreadable,  // the record of saved contacts: nothing is saved until it can be read
    ProgressUnwritable,  // the record of saved contacts: after a restart some may be saved again
    MarkerHeld,          // fldigi's "log.adif" cannot be taken over: read where it is
    FileUnreadable,      // a file of logged contacts: its contacts wait
    FileUndeletable,     // a saved file: kept, its contacts stay saved
    SetAsideUnwritable,  // "unsaved-contacts.adi": the records to set aside wait
};

namespace event {

struct FldigiConnected {
    std::string name;  // fldigi.name's answer
};
// fldigi.config_dir at first contact (or again when fldigi is back).
struct FldigiConfigFolder {
    bool ok = false;
    std::string folder;  // its answer when ok
    std::string error;   // why not, else
};
// A call to fldigi failed; `method` is the one that failed ("fldigi.name" before first contact).
struct FldigiCallFailed {
    std::string method;
    std::string error;
};
// fldigi stopped answering after it had answered.
struct FldigiLost {
    std::string error;
};
// "log.clear" was sent.
struct FldigiLogCleared {
    bool ok = false;
    std::string error;
};

struct HostAttached {};
// The host's object could not be obtained (not running, or not registered); tried every tick.
struct HostNotRunning {};
// A call to the host failed after it was attached; the link is down until attached again.
struct HostLost {
    std::string error;
};

struct MarkerClaimed {
    std::string from;
    std::string to;
};
struct MarkerDeleted {
    std::string path;
};
// A file's content does not match what was saved of it: all of it counts as new.
struct MarkerReplaced {
    std::string path;
    uint64_t savedOffset = 0;
};

// A contact logged in fldigi is about to be saved in the host.
struct ContactSaving {
    std::string call;
    std::string file;
};
// The host took the save.
struct ContactSaved {
    std::string call;
    std::string file;
    int64_t utcSeconds = 0;  // when it was saved
};
// Records appended to the set-aside file instead of being saved.
struct RecordsSetAside {
    std::size_t stale = 0;
    std::size_t notContacts = 0;
    std::string path;
};
// What the set-aside file holds now; sent at start and whenever it may have changed.
struct SetAsideFileSeen {
    std::string path;
    std::size_t records = 0;  // 0: the file is not there or holds none
};

struct ProblemBegan {
    ProblemKind kind;
    std::string path;
    std::string systemText;  // the system's reason, when it gives one
};
struct ProblemEnded {
    ProblemKind kind;
    std::string path;
};

struct BoxAnswered {
    std::string text;
    MessageAnswer answer;
};
struct ProcessExit {
    unsigned exitCode = 0;
};

}  // namespace event

using BridgeEvent =
    std::variant<event::FldigiConnected, event::FldigiConfigFolder, event::FldigiCallFailed,
                 event::FldigiLost, event::FldigiLogCleared, event::HostAttached,
                 event::HostNotRunning, event::HostLost, event::MarkerClaimed, event::MarkerDeleted,
                 event::MarkerReplaced, event::ContactSaving, event::ContactSaved,
                 event::RecordsSetAside, event::SetAsideFileSeen, event::ProblemBegan,
                 event::ProblemEnded, event::BoxAnswered, event::ProcessExit>;

class BridgeEvents {
  public:
    virtual ~BridgeEvents() = default;
    virtual void record(const BridgeEvent& event) = 0;
};

// Hands each event to every reader in the order they were added (the log first, so that a
// reader that ends the process finds it written).
class BridgeEventFanOut : public BridgeEvents {
  public:
    void add(BridgeEvents& reader) { readers_.push_back(&reader); }
    void record(const BridgeEvent& event) override {
        for (BridgeEvents* reader : readers_) {
            reader->record(event);
        }
    }

  private:
    std::vector<BridgeEvents*> readers_;
};

}  // namespace pollcycle

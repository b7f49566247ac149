// The contact ledger: owns fldigi's marker file "log.adif" and the bridge's record of what the
// host has saved from it, so that every contact logged in fldigi is saved exactly once, also
// across restarts, crashes and files that are locked, replaced, damaged or old.
//
// Each tick the ledger takes the marker over by renaming it (fldigi's next log starts a new
// file), reads the taken files a bounded piece at a time, and hands out their contacts in
// logging order. After each save it writes how far each file is saved into a small file of its
// own beside the marker, tied to the file's content; a taken file is deleted once all of it is
// saved. Records that are no contacts, damaged or older than 30 minutes are not saved: they are
// appended to "unsaved-contacts.adi" in the same folder for the operator to import. When that
// file cannot be written, the records stay where they are (their ranges are recorded as owed)
// and the contacts after them go on; a file that cannot be read holds up only itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/poll/adif_records.h"
#include "app/poll/bridge_events.h"
#include "app/poll/ledger_plan.h"
#include "app/poll/ledger_problems.h"
#include "app/poll/ledger_progress.h"
#include "app/poll/ledger_set_aside.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_state.h"

namespace pollcycle {

inline constexpr const char* kMarkerFileName = "log.adif";
inline constexpr const char* kClaimedPattern = "varnock-claimed-*.adif";
inline constexpr const char* kProgressFileName = "varnock-saved.txt";

// What one tick takes on, so that a long backlog is spread over ticks.
inline constexpr std::size_t kContactsPerTick = 8;
inline constexpr uint64_t kBytesPerTick = uint64_t{1} << 20;
// A finished file that cannot be deleted is tried again after 2, 4, 8 ... ticks, at most this.
inline constexpr uint64_t kDeletePauseCapTicks = 600;

// What the host saves, and the files' saved offsets once it has.
struct PendingContact {
    AdifRecord record;
    std::string file;  // name of the file it is in
    SavedUpTo savedAfter;
};

// Built per tick over the process-wide memory; `markerPath` is fldigi's "...\temp\log.adif".
class ContactLedger {
  public:
    ContactLedger(LedgerMemory& memory, MarkerFilesPort& files, BridgeEvents& events,
                  const std::string& markerPath);

    // The contacts to save now, in logging order; records that are not to be saved are set
    // aside on the way. Empty when there are none or the files cannot be read this tick.
    std::vector<PendingContact> takePending();
    // The host took the calls of the contact's save: it counts as saved from now on.
    void markSaved(const PendingContact& contact);

  private:
    // What one look at a file found: its bytes from the saved offset.
    struct FileRead {
        FileStatus status = FileStatus::NotFound;
        SavedUpTo saved;
        std::string bytes;  // the hashed bytes before the offset, then the new ones
        uint64_t before = 0;
    };

    std::string pathOf(const std::string& name) const;
    void loadProgress();
    // Looks for fldigi's folder at the first tick, and again while it is missing.
    void checkFolder();
    // The taken files in the order they were taken, then "log.adif" when it is read in place.
    std::vector<std::string> filesInOrder();
    bool listClaimed();
    void markerProblemsEnded();
    void claimMarker(std::vector<std::string>& names);
    void forget(const std::string& name);

    // Takes what the file holds; false when the tick can take no more (the next file waits).
    bool takeFrom(const std::string& name, std::vector<PendingContact>& pending, uint64_t& budget);
    FileRead readFrom(const std::string& name, uint64_t budget);
    // The plan's contacts, each with the file's record once it is saved.
    void handOut(const std::string& name, const FileRead& read, const LedgerPlan& plan,
                 const SavedUpTo& saved, std::vector<PendingContact>& pending) const;
    // Sets aside the ranges the file still owes, as far as the set-aside file takes them.
    void settleOwed(const std::string& name, SavedUpTo& saved);
    void setAsidePlanned(const std::string& name, const FileRead& read, const LedgerPlan& plan,
                         SavedUpTo& saved);
    // Appends the owed range saved.owed[index]; the intent is written to the progress file
    // first, so that a stop in between cannot append it twice. False when it stays owed.
    bool appendOwed(const std::string& name, SavedUpTo& saved, std::size_t index,
                    const SetAsideText& aside);
    // Settles appends a stop interrupted: done when the set-aside file grew since.
    bool resolveAppends();
    void finish(const std::string& name);
    bool deleteWaits(const std::string& name) const;
    bool writeProgress();
    // False from a failed write of the record of saves until one succeeds: nothing is handed
    // out or set aside meanwhile.
    bool progressWritable() const;

    LedgerMemory& memory_;
    MarkerFilesPort& files_;
    BridgeEvents& events_;
    std::string markerPath_;
    std::string folder_;
    LedgerProblems problems_;
    SetAsideFile setAside_;
};

}  // namespace pollcycle

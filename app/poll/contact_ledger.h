// The contact ledger: owns fldigi's marker file "log.adif" and the bridge's record of what the
// host has saved from it, so that every contact logged in fldigi is saved exactly once, also
// across restarts, crashes and files that are locked, replaced, damaged or old.
//
// Each tick the ledger takes the marker over by renaming it (fldigi's next log starts a new
// file), reads the taken files a bounded piece at a time, and hands out their contacts in
// logging order. After each save it writes how far each file is saved into a small file of its
// own beside the marker, tied to the file's content; a taken file is deleted once all of it is
// saved. Records that are no contacts, damaged or older than 30 minutes are not saved: they are
// appended to "unsaved-contacts.adi" in the same folder for the operator to import.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/poll/adif_records.h"
#include "app/poll/bridge_events.h"
#include "app/poll/ledger_progress.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_state.h"

namespace pollcycle {

inline constexpr const char* kClaimedPattern = "varnock-claimed-*.adif";
inline constexpr const char* kProgressFileName = "varnock-saved.txt";
inline constexpr const char* kUnsavedFileName = "unsaved-contacts.adi";

// A record older than this when it is found would be saved by the host with the wrong time.
inline constexpr int64_t kStaleAfterSeconds = 30 * 60;
// What one tick takes on, so that a long backlog is spread over ticks.
inline constexpr std::size_t kContactsPerTick = 8;
inline constexpr uint64_t kBytesPerTick = uint64_t{1} << 20;

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
    std::string pathOf(const std::string& name) const;
    void loadProgress();
    void checkFolderOnce();
    // The taken files in the order they were taken, then "log.adif" when it is still there.
    std::vector<std::string> filesInOrder();
    void claimMarker(std::vector<std::string>& claimed);
    // Takes what the file holds; true when all of it is done with (the next file may follow).
    bool takeFrom(const std::string& name, bool claimed, std::vector<PendingContact>& pending,
                  uint64_t& budget);
    bool setAside(const std::string& records, std::size_t stale, std::size_t notContacts);
    bool writeProgress();
    // Reports the problem once, until clearProblem() with the same kind and path.
    void reportProblem(ProblemKind kind, const std::string& path);
    void clearProblem(ProblemKind kind, const std::string& path);

    LedgerMemory& memory_;
    MarkerFilesPort& files_;
    BridgeEvents& events_;
    std::string markerPath_;
    std::string folder_;
};

}  // namespace pollcycle

// The set-aside file "unsaved-contacts.adi": records the ledger does not save are appended to
// it for the operator to import, and what it holds is reported to the status line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/poll/bridge_events.h"
#include "app/poll/ledger_problems.h"
#include "app/poll/ledger_progress.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_state.h"

namespace pollcycle {

inline constexpr const char* kUnsavedFileName = "unsaved-contacts.adi";
// How often (in ticks, a second each) the set-aside file is looked at for the operator's
// changes; the ledger's own appends are reported at once.
inline constexpr uint64_t kSetAsideLookTicks = 5;

class SetAsideFile {
  public:
    SetAsideFile(LedgerMemory& memory, MarkerFilesPort& files, BridgeEvents& events,
                 LedgerProblems& problems, std::string path);

    // The file's size now: 0 when it is not there, no value when that cannot be known.
    std::optional<uint64_t> size();
    // Appends the set-aside text of bytes `range` of file `name`, headed by a line naming
    // both (and by the file's header when `size` was 0). False when the file cannot be written.
    bool append(const std::string& name, ByteRange range, const std::string& text,
                std::size_t stale, std::size_t notContacts, uint64_t size);
    // Reports SetAsideFileSeen at the first tick and whenever the file changed or went.
    void lookIfDue();

  private:
    LedgerMemory& memory_;
    MarkerFilesPort& files_;
    BridgeEvents& events_;
    LedgerProblems& problems_;
    std::string path_;
};

// The records in a set-aside text: its "<EOR>"s, in any case.
std::size_t countRecordEnds(std::string_view text);

}  // namespace pollcycle

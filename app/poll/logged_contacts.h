// Which contacts a tick saves from fldigi's marker file: the records fldigi appended since the
// last save, each with its own fields.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/poll/adif_records.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_state.h"

namespace pollcycle {

// Only the end of a larger marker is read: its last complete records that fit.
inline constexpr uint64_t kMarkerReadLimit = uint64_t{1} << 20;

struct LoggedContacts {
    MarkerIdentity marker;
    // One entry per save, in file order: a record whose fields the host gets first, or no value
    // for a save with the fields as read (the file could not be read or was empty, a record did
    // not parse or has no call).
    std::vector<std::optional<AdifRecord>> saves;
    // The last record is still being written: the file stays for the next tick.
    bool keepFile = false;
    // How much of the file is saved once `saves` are.
    uint64_t savedBytes = 0;
};

// The saves that `content` (the end of the marker file `marker`, or no value when it could not
// be read) holds beyond its first `savedBytes` bytes. `tailWaited`: the file is unchanged since
// a tick that left its unfinished last record for later, which now counts as damaged.
LoggedContacts loggedContactsIn(const MarkerIdentity& marker,
                                const std::optional<MarkerContent>& content, uint64_t savedBytes,
                                bool tailWaited);

}  // namespace pollcycle

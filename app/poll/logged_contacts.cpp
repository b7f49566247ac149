#include "app/poll/logged_contacts.h"

#include <utility>

namespace pollcycle {
namespace {

// A record whose fields can stand for the contact: it parsed and names a call.
std::optional<AdifRecord> usable(AdifRecord record) {
    const std::string* call = record.field("CALL");
    if (record.damaged || call == nullptr || call->empty()) {
        return std::nullopt;
    }
    return std::optional<AdifRecord>(std::move(record));
}

}  // namespace

LoggedContacts loggedContactsIn(const MarkerIdentity& marker,
                                const std::optional<MarkerContent>& content, uint64_t savedBytes,
                                bool tailWaited) {
    LoggedContacts logged;
    logged.marker = marker;
    if (!content) {
        logged.saves.emplace_back();  // unreadable: saved with the fields as read
        logged.savedBytes = marker.size;
        return logged;
    }
    if (savedBytes > content->offset + content->bytes.size()) {
        savedBytes = 0;  // a different, shorter file: all of it is new
    }
    AdifRecords found = readAdifRecords(content->bytes, content->offset == 0);
    for (AdifRecord& record : found.records) {
        const uint64_t end = content->offset + record.end;
        if (end > savedBytes) {
            savedBytes = end;
            logged.saves.push_back(usable(std::move(record)));
        }
    }
    logged.savedBytes = savedBytes;
    if (found.unfinishedTail && !tailWaited) {
        logged.keepFile = true;
    } else if (found.unfinishedTail || (logged.saves.empty() && savedBytes == 0)) {
        logged.saves.emplace_back();  // a stale unfinished record, or an empty file
    }
    return logged;
}

}  // namespace pollcycle

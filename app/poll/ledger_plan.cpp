#include "app/poll/ledger_plan.h"

#include <algorithm>
#include <optional>

#include "app/poll/record_time.h"
#include "base/char_class.h"

namespace pollcycle {
namespace {

bool onlyWhiteSpace(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return charclass::isCSpace(c); });
}

bool isContact(const AdifRecord& record) {
    const std::string* call = record.field("CALL");
    return !record.damaged && call != nullptr && !onlyWhiteSpace(*call);
}

// A record that reads well, as it stands, on a line of its own.
std::string asRecord(std::string_view raw) {
    while (!raw.empty() && charclass::isCSpace(raw.front())) {
        raw.remove_prefix(1);
    }
    return std::string(raw) + (raw.empty() || raw.back() != '\n' ? "\n" : "");
}

// Damaged bytes as text between records, which readers of the file pass over: the operator
// still sees what was there.
std::string asDamagedText(std::string_view raw) {
    std::string text = "Damaged record, as found: ";
    for (const char c : raw) {
        text += c == '<' ? '[' : c == '>' ? ']' : c == '\r' || c == '\n' ? ' ' : c;
    }
    return text + "\n";
}

// The unfinished rest after the last record: damaged when a tick's reading holds no record
// end (a record too long to read), or when it stayed the same for a tick (fldigi writes each
// record at once).
void planTail(const LedgerPlanInput& in, std::size_t consumed, bool anyRecord, LedgerPlan& plan) {
    if (plan.done || !plan.contacts.empty() || plan.asideEnd != consumed ||
        (in.more && !(in.wholeTick && !anyRecord))) {
        return;
    }
    if (in.more || in.tailWaited) {
        plan.asideEnd = in.data.size();
        ++plan.notContacts;
        plan.done = !in.more;
    } else {
        plan.tailToWait = true;
        plan.tailBegin = consumed;
    }
}

}  // namespace

LedgerPlan planLedgerTake(const LedgerPlanInput& in) {
    LedgerPlan plan;
    const AdifRecords found = readAdifRecords(in.data);
    std::size_t consumed = 0;
    for (const AdifRecord& record : found.records) {
        const bool contact = isContact(record);
        const std::optional<int64_t> when = contact ? recordUtcSeconds(record) : std::nullopt;
        const bool old = when && *when < in.now - kStaleAfterSeconds;
        if (contact && !old) {
            if (plan.contacts.size() >= in.room) {
                return plan;  // the next tick goes on
            }
            plan.contacts.push_back(PlannedContact{record, record.end});
        } else if (!plan.contacts.empty()) {
            return plan;  // set aside once the contacts before it are saved
        } else {
            ++(old ? plan.stale : plan.notContacts);
            plan.asideEnd = record.end;
        }
        consumed = record.end;
    }
    plan.done = !in.more && onlyWhiteSpace(in.data.substr(consumed));
    planTail(in, consumed, !found.records.empty(), plan);
    return plan;
}

SetAsideText setAsideText(std::string_view records) {
    SetAsideText aside;
    std::size_t consumed = 0;
    for (const AdifRecord& record : readAdifRecords(records).records) {
        const std::string_view raw = records.substr(record.begin, record.end - record.begin);
        aside.text += record.damaged ? asDamagedText(raw) : asRecord(raw);
        ++(isContact(record) ? aside.contacts : aside.others);
        consumed = record.end;
    }
    if (!onlyWhiteSpace(records.substr(consumed))) {
        aside.text += asDamagedText(records.substr(consumed));
        ++aside.others;
    }
    return aside;
}

}  // namespace pollcycle

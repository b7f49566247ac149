// The contact ledger's work on one file: read it from its last save, plan, set aside, hand out,
// delete once finished.
#include <algorithm>
#include <string_view>

#include "app/poll/contact_ledger.h"

namespace pollcycle {

bool ContactLedger::takeFrom(const std::string& name, std::vector<PendingContact>& pending,
                             uint64_t& budget) {
    if (budget == 0 || pending.size() >= kContactsPerTick || !progressWritable()) {
        return false;  // the next tick goes on
    }
    if (deleteWaits(name)) {
        return true;
    }
    // Only a whole tick's reading may tell a record too long to read from one not read yet.
    const bool wholeTick = budget == kBytesPerTick;
    const std::string path = pathOf(name);
    const FileRead read = readFrom(name, budget);
    if (read.status == FileStatus::Failed) {
        problems_.began(ProblemKind::FileUnreadable, path);
        return true;  // it holds up only itself
    }
    problems_.ended(ProblemKind::FileUnreadable, path);
    if (read.status == FileStatus::NotFound) {
        forget(name);
        return true;
    }
    SavedUpTo saved = read.saved;
    settleOwed(name, saved);

    const std::string_view all(read.bytes);
    const std::string_view data = all.substr(read.before);
    const bool more = data.size() >= budget;
    budget -= std::min<uint64_t>(budget, data.size());
    LedgerPlanInput input{
        data, more, wholeTick, false, files_.nowUtcSeconds(), kContactsPerTick - pending.size()};
    LedgerPlan plan = planLedgerTake(input);
    if (plan.tailToWait) {
        // The same unfinished record, from the same place to the same end, as at the last look.
        const std::string tail = name + " " + std::to_string(read.saved.offset + plan.tailBegin) +
                                 " " + std::to_string(read.saved.offset + data.size());
        input.tailWaited = memory_.waitedTail == tail;
        memory_.waitedTail = tail;
        plan = input.tailWaited ? planLedgerTake(input) : plan;
    }
    if (plan.asideEnd > 0) {
        setAsidePlanned(name, read, plan, saved);
    }
    if (!progressWritable()) {
        return false;  // saves that could not be written down would be made again
    }
    handOut(name, read, plan, saved, pending);
    if (plan.done && plan.contacts.empty() && saved.owed.empty() && name != kMarkerFileName) {
        finish(name);
    }
    return plan.done;
}

void ContactLedger::handOut(const std::string& name, const FileRead& read, const LedgerPlan& plan,
                            const SavedUpTo& saved, std::vector<PendingContact>& pending) const {
    const std::string_view all(read.bytes);
    for (const PlannedContact& contact : plan.contacts) {
        const uint64_t offset = read.saved.offset + contact.end;
        const std::size_t hashed = static_cast<std::size_t>(std::min(offset, kHashedBytes));
        pending.push_back(PendingContact{
            contact.record, name,
            SavedUpTo{offset, contentHash(all.substr(read.before + contact.end - hashed, hashed)),
                      saved.owed}});
    }
}

ContactLedger::FileRead ContactLedger::readFrom(const std::string& name, uint64_t budget) {
    const std::string path = pathOf(name);
    FileRead read;
    const auto known = memory_.progress.find(name);
    read.saved = known != memory_.progress.end() ? known->second : SavedUpTo{};
    for (;;) {
        read.before = std::min(read.saved.offset, kHashedBytes);
        FileBytes got = files_.read(path, read.saved.offset - read.before, read.before + budget);
        read.status = got.status;
        if (got.status != FileStatus::Ok) {
            return read;
        }
        read.bytes = std::move(got.bytes);
        if (read.bytes.size() >= read.before &&
            contentHash(std::string_view(read.bytes).substr(0, read.before)) == read.saved.hash) {
            return read;
        }
        events_.record(event::MarkerReplaced{path, read.saved.offset});
        read.saved = SavedUpTo{};
        memory_.progress.erase(name);
    }
}

void ContactLedger::settleOwed(const std::string& name, SavedUpTo& saved) {
    while (!saved.owed.empty()) {
        const ByteRange range = saved.owed.front();
        const FileBytes got = files_.read(pathOf(name), range.begin, range.end - range.begin);
        if (got.status != FileStatus::Ok || got.bytes.size() != range.end - range.begin) {
            return;
        }
        if (!appendOwed(name, saved, 0, setAsideText(got.bytes))) {
            return;
        }
    }
}

bool ContactLedger::appendOwed(const std::string& name, SavedUpTo& saved, std::size_t index,
                               const SetAsideText& aside) {
    const std::optional<uint64_t> size = setAside_.size();
    if (!size) {
        return false;
    }
    saved.owed[index].appendingAt = *size + 1;
    memory_.progress[name] = saved;
    if (!writeProgress()) {  // an append not written down first might be made twice
        saved.owed[index].appendingAt = 0;
        memory_.progress[name] = saved;
        return false;
    }
    const bool appended =
        setAside_.append(name, saved.owed[index], aside.text, aside.contacts, aside.others, *size);
    if (appended) {
        saved.owed.erase(saved.owed.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
        saved.owed[index].appendingAt = 0;
    }
    memory_.progress[name] = saved;
    writeProgress();
    return appended;
}

void ContactLedger::setAsidePlanned(const std::string& name, const FileRead& read,
                                    const LedgerPlan& plan, SavedUpTo& saved) {
    const std::string_view all(read.bytes);
    const ByteRange range{read.saved.offset, read.saved.offset + plan.asideEnd};
    SetAsideText aside = setAsideText(all.substr(read.before, plan.asideEnd));
    aside.contacts = plan.stale;
    aside.others = plan.notContacts;
    const std::size_t hashed = static_cast<std::size_t>(std::min(range.end, kHashedBytes));
    saved.offset = range.end;
    saved.hash = contentHash(all.substr(read.before + plan.asideEnd - hashed, hashed));
    saved.owed.push_back(range);
    if (!appendOwed(name, saved, saved.owed.size() - 1, aside)) {
        // Kept in its file, owed; the contacts after it go on.
        memory_.progress[name] = saved;
        writeProgress();
    }
}

void ContactLedger::finish(const std::string& name) {
    const std::string path = pathOf(name);
    if (!files_.remove(path)) {
        problems_.began(ProblemKind::FileUndeletable, path);
        DeleteRetry& retry = memory_.deleteRetries[name];
        retry.pause = std::min(retry.pause == 0 ? 2 : retry.pause * 2, kDeletePauseCapTicks);
        retry.dueTick = memory_.ticks + retry.pause;
        return;
    }
    problems_.ended(ProblemKind::FileUndeletable, path);
    events_.record(event::MarkerDeleted{path});
    forget(name);
    writeProgress();
}

bool ContactLedger::deleteWaits(const std::string& name) const {
    const auto retry = memory_.deleteRetries.find(name);
    return retry != memory_.deleteRetries.end() && memory_.ticks < retry->second.dueTick;
}

}  // namespace pollcycle

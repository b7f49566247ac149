#include "app/poll/contact_ledger.h"

#include <algorithm>
#include <string_view>

#include "app/poll/record_time.h"
#include "base/char_class.h"

namespace pollcycle {
namespace {

constexpr const char* kMarkerName = "log.adif";
constexpr std::string_view kClaimedPrefix = "varnock-claimed-";
constexpr std::string_view kClaimedSuffix = ".adif";
constexpr uint64_t kProgressReadLimit = uint64_t{1} << 16;

constexpr const char* kUnsavedHeader =
    "Contacts logged in fldigi that Varnock did not save in Kebrin: older than 30 minutes when "
    "found, or not readable as a contact. Import this file in Kebrin.\n"
    "<ADIF_VER:5>3.1.4 <PROGRAMID:7>Varnock <EOH>\n";

// The number in a taken file's name; 0 for any other name.
uint64_t claimedNumber(const std::string& name) {
    if (name.size() <= kClaimedPrefix.size() + kClaimedSuffix.size() ||
        name.compare(0, kClaimedPrefix.size(), kClaimedPrefix) != 0 ||
        name.compare(name.size() - kClaimedSuffix.size(), kClaimedSuffix.size(), kClaimedSuffix) !=
            0) {
        return 0;
    }
    uint64_t number = 0;
    for (std::size_t i = kClaimedPrefix.size(); i < name.size() - kClaimedSuffix.size(); ++i) {
        if (!charclass::isDigit(name[i]) || number > (uint64_t{1} << 40)) {
            return 0;
        }
        number = number * 10 + static_cast<uint64_t>(name[i] - '0');
    }
    return number;
}

std::string claimedName(uint64_t number) {
    return std::string(kClaimedPrefix) + std::to_string(number) + std::string(kClaimedSuffix);
}

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

}  // namespace

ContactLedger::ContactLedger(LedgerMemory& memory, MarkerFilesPort& files, BridgeEvents& events,
                             const std::string& markerPath)
    : memory_(memory), files_(files), events_(events), markerPath_(markerPath) {
    const std::size_t slash = markerPath.rfind('\\');
    folder_ = slash == std::string::npos ? std::string() : markerPath.substr(0, slash);
}

std::string ContactLedger::pathOf(const std::string& name) const {
    return folder_ + "\\" + name;
}

std::vector<PendingContact> ContactLedger::takePending() {
    checkFolderOnce();
    loadProgress();
    std::vector<PendingContact> pending;
    if (!memory_.progressLoaded) {
        return pending;
    }
    uint64_t budget = kBytesPerTick;
    for (const std::string& name : filesInOrder()) {
        if (!takeFrom(name, name != kMarkerName, pending, budget)) {
            break;
        }
    }
    return pending;
}

void ContactLedger::markSaved(const PendingContact& contact) {
    memory_.progress[contact.file] = contact.savedAfter;
    writeProgress();
}

void ContactLedger::checkFolderOnce() {
    if (memory_.folderChecked) {
        return;
    }
    memory_.folderChecked = true;
    if (files_.find(folder_).empty()) {
        reportProblem(ProblemKind::FolderMissing, folder_);
    }
}

void ContactLedger::loadProgress() {
    if (memory_.progressLoaded) {
        return;
    }
    const std::string path = pathOf(kProgressFileName);
    if (files_.find(path).empty()) {
        memory_.progressLoaded = true;  // nothing saved yet
        return;
    }
    const std::optional<std::string> text = files_.read(path, 0, kProgressReadLimit);
    if (!text) {
        reportProblem(ProblemKind::ProgressUnreadable, path);
        return;
    }
    clearProblem(ProblemKind::ProgressUnreadable, path);
    memory_.progress = parseLedgerProgress(*text);
    memory_.progressLoaded = true;
}

std::vector<std::string> ContactLedger::filesInOrder() {
    std::vector<std::string> names;
    for (const MarkerEntry& entry : files_.find(pathOf(kClaimedPattern))) {
        if (claimedNumber(entry.name) > 0) {
            names.push_back(entry.name);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return claimedNumber(a) < claimedNumber(b);
    });
    // Records of files that are gone are dropped with the next write.
    for (auto it = memory_.progress.begin(); it != memory_.progress.end();) {
        const bool present = it->first == kMarkerName ||
                             std::find(names.begin(), names.end(), it->first) != names.end();
        it = present ? std::next(it) : memory_.progress.erase(it);
    }
    claimMarker(names);
    return names;
}

void ContactLedger::claimMarker(std::vector<std::string>& names) {
    bool present = false;
    for (const MarkerEntry& entry : files_.find(markerPath_)) {
        present = present || entry.name.find(kMarkerName) != std::string::npos;
    }
    const auto inPlace = memory_.progress.find(kMarkerName);
    if (!present) {
        if (inPlace != memory_.progress.end()) {
            memory_.progress.erase(inPlace);  // a marker that comes back is a new file
            writeProgress();
        }
        return;
    }
    const std::string name = claimedName(names.empty() ? 1 : claimedNumber(names.back()) + 1);
    if (inPlace != memory_.progress.end()) {
        // Written under both names before the rename: a stop between the two leaves one that
        // counts.
        memory_.progress[name] = inPlace->second;
        writeProgress();
    }
    if (!files_.rename(markerPath_, pathOf(name))) {
        memory_.progress.erase(name);
        reportProblem(ProblemKind::MarkerHeld, markerPath_);
        names.push_back(kMarkerName);
        return;
    }
    clearProblem(ProblemKind::MarkerHeld, markerPath_);
    events_.record(event::MarkerClaimed{markerPath_, pathOf(name)});
    if (memory_.progress.erase(kMarkerName) > 0) {
        writeProgress();
    }
    names.push_back(name);
}

bool ContactLedger::takeFrom(const std::string& name, bool claimed,
                             std::vector<PendingContact>& pending, uint64_t& budget) {
    if (budget == 0) {
        return false;  // the next tick goes on
    }
    // Only a whole tick's reading may tell a record too long to read from one not read yet.
    const bool wholeTick = budget == kBytesPerTick;
    const std::string path = pathOf(name);
    const auto known = memory_.progress.find(name);
    SavedUpTo saved = known != memory_.progress.end() ? known->second : SavedUpTo{};
    uint64_t before = 0;
    std::optional<std::string> bytes;
    for (;;) {
        before = std::min(saved.offset, kHashedBytes);
        bytes = files_.read(path, saved.offset - before, before + budget);
        if (!bytes) {
            reportProblem(ProblemKind::FileUnreadable, path);
            return false;
        }
        if (bytes->size() >= before &&
            contentHash(std::string_view(*bytes).substr(0, before)) == saved.hash) {
            break;
        }
        events_.record(event::MarkerReplaced{path, saved.offset});
        saved = SavedUpTo{};
        memory_.progress.erase(name);
    }
    clearProblem(ProblemKind::FileUnreadable, path);

    const std::string_view all(*bytes);
    const std::string_view data = all.substr(before);
    const bool cut = data.size() >= budget;  // there may be more than this tick reads
    budget -= std::min<uint64_t>(budget, data.size());
    // The file's record once everything before `end` (an offset in `data`) is done with.
    const auto savedAt = [&](std::size_t end) {
        const uint64_t offset = saved.offset + end;
        const std::size_t hashed = static_cast<std::size_t>(std::min(offset, kHashedBytes));
        return SavedUpTo{offset, contentHash(all.substr(before + end - hashed, hashed))};
    };

    std::string aside;
    std::size_t stale = 0;
    std::size_t notContacts = 0;
    SavedUpTo asideUpTo = saved;
    const auto flushAside = [&] {
        if (aside.empty()) {
            return true;
        }
        if (!setAside(aside, stale, notContacts)) {
            return false;
        }
        memory_.progress[name] = asideUpTo;
        writeProgress();
        aside.clear();
        stale = notContacts = 0;
        return true;
    };

    const AdifRecords found = readAdifRecords(data);
    const int64_t now = files_.nowUtcSeconds();
    std::size_t consumed = 0;
    for (const AdifRecord& record : found.records) {
        const bool contact = isContact(record);
        const std::optional<int64_t> when = contact ? recordUtcSeconds(record) : std::nullopt;
        const bool old = when && *when < now - kStaleAfterSeconds;
        if (contact && !old) {
            if (!flushAside() || pending.size() >= kContactsPerTick) {
                return false;
            }
            pending.push_back(PendingContact{record, name, savedAt(record.end)});
        } else if (!pending.empty()) {
            return false;  // set aside once the contacts before it are saved
        } else {
            const std::string_view raw = data.substr(record.begin, record.end - record.begin);
            aside += record.damaged ? asDamagedText(raw) : asRecord(raw);
            ++(old ? stale : notContacts);
            asideUpTo = savedAt(record.end);
        }
        consumed = record.end;
    }

    const std::string_view rest = data.substr(consumed);
    bool done = !cut && onlyWhiteSpace(rest);
    if (!done && pending.empty() && (cut ? wholeTick && found.records.empty() : true)) {
        // A record longer than a tick reads, or an unfinished last record that stayed so for
        // a tick (fldigi writes each record at once): damage, set aside.
        const std::string waited =
            name + " " + std::to_string(saved.offset) + " " + std::to_string(data.size());
        if (cut || memory_.waitedTail == waited) {
            aside += asDamagedText(rest);
            ++notContacts;
            asideUpTo = savedAt(data.size());
            done = !cut;
        } else {
            memory_.waitedTail = waited;
        }
    }
    if (!flushAside() || !done || !pending.empty()) {
        return false;
    }
    if (!claimed) {
        return true;
    }
    if (!files_.remove(path)) {
        reportProblem(ProblemKind::FileUndeletable, path);
        return true;
    }
    clearProblem(ProblemKind::FileUndeletable, path);
    events_.record(event::MarkerDeleted{path});
    memory_.progress.erase(name);
    writeProgress();
    return true;
}

bool ContactLedger::setAside(const std::string& records, std::size_t stale,
                             std::size_t notContacts) {
    const std::string path = pathOf(kUnsavedFileName);
    const bool fresh = files_.find(path).empty();
    if (!files_.append(path, (fresh ? kUnsavedHeader : "") + records)) {
        reportProblem(ProblemKind::SetAsideUnwritable, path);
        return false;
    }
    clearProblem(ProblemKind::SetAsideUnwritable, path);
    memory_.setAside += stale + notContacts;
    events_.record(event::RecordsSetAside{stale, notContacts, path});
    return true;
}

bool ContactLedger::writeProgress() {
    const std::string path = pathOf(kProgressFileName);
    if (!files_.replace(path, formatLedgerProgress(memory_.progress))) {
        reportProblem(ProblemKind::ProgressUnwritable, path);
        return false;
    }
    clearProblem(ProblemKind::ProgressUnwritable, path);
    return true;
}

void ContactLedger::reportProblem(ProblemKind kind, const std::string& path) {
    // The system's reason is taken at once, before another file operation replaces it.
    const std::string reason = files_.lastErrorText();
    if (memory_.reportedProblems.insert({kind, path}).second) {
        events_.record(event::ProblemBegan{kind, path, reason});
    }
}

void ContactLedger::clearProblem(ProblemKind kind, const std::string& path) {
    if (memory_.reportedProblems.erase({kind, path}) > 0) {
        events_.record(event::ProblemEnded{kind, path});
    }
}

}  // namespace pollcycle

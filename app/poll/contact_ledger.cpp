#include "app/poll/contact_ledger.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "base/char_class.h"

namespace pollcycle {
namespace {

constexpr const char* kMarkerName = kMarkerFileName;
constexpr std::string_view kClaimedPrefix = "varnock-claimed-";
constexpr std::string_view kClaimedSuffix = ".adif";

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

std::string folderOf(const std::string& markerPath) {
    const std::size_t slash = markerPath.rfind('\\');
    return slash == std::string::npos ? std::string() : markerPath.substr(0, slash);
}

}  // namespace

ContactLedger::ContactLedger(LedgerMemory& memory, MarkerFilesPort& files, BridgeEvents& events,
                             const std::string& markerPath)
    : memory_(memory),
      files_(files),
      events_(events),
      markerPath_(markerPath),
      folder_(folderOf(markerPath)),
      problems_(memory, files, events),
      setAside_(memory, files, events, problems_, folder_ + "\\" + kUnsavedFileName) {}

std::string ContactLedger::pathOf(const std::string& name) const {
    return folder_ + "\\" + name;
}

std::vector<PendingContact> ContactLedger::takePending() {
    ++memory_.ticks;
    checkFolder();
    loadProgress();
    std::vector<PendingContact> pending;
    // While the record of saves cannot be written, a restart would save again what is saved
    // now: nothing more is handed out until it can.
    if (memory_.progressLoaded && (progressWritable() || writeProgress())) {
        uint64_t budget = kBytesPerTick;
        for (const std::string& name : filesInOrder()) {
            if (!takeFrom(name, pending, budget)) {
                break;
            }
        }
    }
    setAside_.lookIfDue();
    return pending;
}

void ContactLedger::markSaved(const PendingContact& contact) {
    memory_.progress[contact.file] = contact.savedAfter;
    writeProgress();
}

void ContactLedger::checkFolder() {
    const bool missing = memory_.reportedProblems.count({ProblemKind::FolderMissing, folder_}) > 0;
    if (memory_.folderChecked && !missing) {
        return;
    }
    memory_.folderChecked = true;
    const FileStatus folder = files_.probe(folder_).status;
    if (folder == FileStatus::Ok) {
        problems_.ended(ProblemKind::FolderMissing, folder_);  // a stick or share came back
    } else {
        problems_.began(folder == FileStatus::NotFound ? ProblemKind::FolderMissing
                                                       : ProblemKind::FolderUnlistable,
                        folder_);
    }
}

void ContactLedger::loadProgress() {
    if (memory_.progressLoaded) {
        return;
    }
    // Read whole, whatever its size: a line left out would hand its file's contacts out again.
    const std::string path = pathOf(kProgressFileName);
    const FileBytes text = files_.read(path, 0, std::numeric_limits<uint64_t>::max());
    if (text.status == FileStatus::Failed) {
        problems_.began(ProblemKind::ProgressUnreadable, path);
        return;  // what was saved cannot be known: nothing is handed out until it can
    }
    problems_.ended(ProblemKind::ProgressUnreadable, path);
    memory_.progress =
        text.status == FileStatus::Ok ? parseLedgerProgress(text.bytes) : LedgerProgress();
    memory_.progressLoaded = resolveAppends();
}

bool ContactLedger::resolveAppends() {
    const auto appending = [](const ByteRange& range) { return range.appendingAt != 0; };
    const bool any =
        std::any_of(memory_.progress.begin(), memory_.progress.end(), [&](const auto& file) {
            return std::any_of(file.second.owed.begin(), file.second.owed.end(), appending);
        });
    if (!any) {
        return true;
    }
    const std::optional<uint64_t> size = setAside_.size();
    if (!size) {
        return false;  // whether they were appended cannot be known yet
    }
    for (auto& [name, saved] : memory_.progress) {
        std::vector<ByteRange> owed;
        for (ByteRange range : saved.owed) {
            if (range.appendingAt == 0 || *size < range.appendingAt) {
                range.appendingAt = 0;
                owed.push_back(range);
            }
        }
        saved.owed = owed;
    }
    writeProgress();
    return true;
}

std::vector<std::string> ContactLedger::filesInOrder() {
    const bool listed = listClaimed();
    std::vector<std::string> names = listed ? memory_.claimed : std::vector<std::string>();
    if (listed) {
        claimMarker(names);
    } else if (files_.probe(markerPath_).status == FileStatus::Ok) {
        names.push_back(kMarkerName);  // read in place until the next number is known
    }
    return names;
}

bool ContactLedger::listClaimed() {
    if (memory_.claimedListed) {
        return true;
    }
    const FileSearch found = files_.find(pathOf(kClaimedPattern));
    if (found.status == FileStatus::Failed) {
        problems_.began(ProblemKind::FolderUnlistable, folder_);
        return false;  // no progress is forgotten on a failed search
    }
    problems_.ended(ProblemKind::FolderUnlistable, folder_);
    memory_.claimed.clear();
    for (const MarkerEntry& entry : found.entries) {
        if (claimedNumber(entry.name) > 0) {
            memory_.claimed.push_back(entry.name);
        }
    }
    std::sort(memory_.claimed.begin(), memory_.claimed.end(),
              [](const std::string& a, const std::string& b) {
                  return claimedNumber(a) < claimedNumber(b);
              });
    memory_.claimedListed = true;
    // Records of files that are gone are dropped with the next write.
    for (auto it = memory_.progress.begin(); it != memory_.progress.end();) {
        const bool present = it->first == kMarkerName ||
                             std::find(memory_.claimed.begin(), memory_.claimed.end(), it->first) !=
                                 memory_.claimed.end();
        it = present ? std::next(it) : memory_.progress.erase(it);
    }
    return true;
}

void ContactLedger::claimMarker(std::vector<std::string>& names) {
    const FileStatus marker = files_.probe(markerPath_).status;
    const auto inPlace = memory_.progress.find(kMarkerName);
    if (marker == FileStatus::Failed) {
        problems_.began(ProblemKind::FileUnreadable, markerPath_);
        return;  // tried again next tick; what is saved of it is kept
    }
    if (marker == FileStatus::NotFound) {
        markerProblemsEnded();
        if (inPlace != memory_.progress.end()) {
            memory_.progress.erase(inPlace);  // a marker that comes back is a new file
            writeProgress();
        }
        return;
    }
    const std::string name = claimedName(names.empty() ? 1 : claimedNumber(names.back()) + 1);
    if (inPlace != memory_.progress.end()) {
        // Written under both names before the rename: a stop between the two leaves one that
        // counts. Not renamed when that could not be written.
        memory_.progress[name] = inPlace->second;
        if (!writeProgress()) {
            memory_.progress.erase(name);
            return;
        }
    }
    if (!files_.rename(markerPath_, pathOf(name))) {
        memory_.progress.erase(name);
        problems_.began(ProblemKind::MarkerHeld, markerPath_);
        names.push_back(kMarkerName);
        return;
    }
    markerProblemsEnded();
    events_.record(event::MarkerClaimed{markerPath_, pathOf(name)});
    if (memory_.progress.erase(kMarkerName) > 0) {
        writeProgress();
    }
    memory_.claimed.push_back(name);
    names.push_back(name);
}

void ContactLedger::markerProblemsEnded() {
    // Taken over or gone: what kept it from being looked at or taken is over.
    problems_.ended(ProblemKind::MarkerHeld, markerPath_);
    problems_.ended(ProblemKind::FileUnreadable, markerPath_);
}

void ContactLedger::forget(const std::string& name) {
    memory_.progress.erase(name);
    memory_.claimed.erase(std::remove(memory_.claimed.begin(), memory_.claimed.end(), name),
                          memory_.claimed.end());
    memory_.deleteRetries.erase(name);
}

bool ContactLedger::progressWritable() const {
    return memory_.reportedProblems.count(
               {ProblemKind::ProgressUnwritable, pathOf(kProgressFileName)}) == 0;
}

bool ContactLedger::writeProgress() {
    const std::string path = pathOf(kProgressFileName);
    if (!files_.replace(path, formatLedgerProgress(memory_.progress))) {
        problems_.began(ProblemKind::ProgressUnwritable, path);
        return false;
    }
    problems_.ended(ProblemKind::ProgressUnwritable, path);
    return true;
}

}  // namespace pollcycle

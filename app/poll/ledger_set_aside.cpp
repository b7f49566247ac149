#include "app/poll/ledger_set_aside.h"

#include <algorithm>
#include <limits>

#include "base/char_class.h"

namespace pollcycle {
namespace {

constexpr const char* kUnsavedHeader =
    "Contacts logged in fldigi that Varnock did not save in Kebrin: older than 30 minutes when "
    "found, or not readable as a contact. Import this file in Kebrin.\n"
    "<ADIF_VER:5>3.1.4 <PROGRAMID:7>Varnock <EOH>\n";

std::string blockHead(const std::string& name, ByteRange range) {
    return "Set aside by Varnock from " + name + ", bytes " + std::to_string(range.begin) + " to " +
           std::to_string(range.end) + ":\n";
}

bool sameState(const FileProbe& a, const FileProbe& b) {
    return a.status == b.status && a.size == b.size && a.lastWriteTime == b.lastWriteTime;
}

}  // namespace

std::size_t countRecordEnds(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        if (text.size() - at >= 5 && (text[at + 1] | 0x20) == 'e' && (text[at + 2] | 0x20) == 'o' &&
            (text[at + 3] | 0x20) == 'r' && text[at + 4] == '>') {
            ++count;
        }
    }
    return count;
}

SetAsideFile::SetAsideFile(LedgerMemory& memory, MarkerFilesPort& files, BridgeEvents& events,
                           LedgerProblems& problems, std::string path)
    : memory_(memory),
      files_(files),
      events_(events),
      problems_(problems),
      path_(std::move(path)) {}

std::optional<uint64_t> SetAsideFile::size() {
    const FileProbe now = files_.probe(path_);
    if (now.status == FileStatus::Failed) {
        problems_.began(ProblemKind::SetAsideUnwritable, path_);
        return std::nullopt;
    }
    return now.status == FileStatus::Ok ? now.size : 0;
}

bool SetAsideFile::append(const std::string& name, ByteRange range, const std::string& text,
                          std::size_t stale, std::size_t notContacts, uint64_t size) {
    memory_.setAsideChanged = true;
    const std::string head = size == 0 ? std::string(kUnsavedHeader) : std::string();
    if (!files_.append(path_, head + blockHead(name, range) + text)) {
        problems_.began(ProblemKind::SetAsideUnwritable, path_);
        return false;
    }
    problems_.ended(ProblemKind::SetAsideUnwritable, path_);
    memory_.setAside += stale + notContacts;
    events_.record(event::RecordsSetAside{stale, notContacts, path_});
    return true;
}

void SetAsideFile::lookIfDue() {
    if (memory_.setAsideSeen && !memory_.setAsideChanged &&
        memory_.ticks % kSetAsideLookTicks != 0) {
        return;
    }
    memory_.setAsideChanged = false;
    const FileProbe now = files_.probe(path_);
    if (now.status == FileStatus::Failed ||
        (memory_.setAsideSeen && sameState(now, memory_.setAsideState))) {
        return;
    }
    std::size_t records = 0;
    if (now.status == FileStatus::Ok) {
        const FileBytes all = files_.read(path_, 0, std::numeric_limits<uint64_t>::max());
        if (all.status == FileStatus::Failed) {
            return;
        }
        records = countRecordEnds(all.bytes);
    }
    memory_.setAsideSeen = true;
    memory_.setAsideState = now;
    events_.record(event::SetAsideFileSeen{path_, records});
}

}  // namespace pollcycle

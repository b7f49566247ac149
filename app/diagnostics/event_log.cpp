#include "app/diagnostics/event_log.h"

#include <string>

#include "app/diagnostics/log_line.h"

namespace diagnostics {
namespace {

using namespace pollcycle::event;
using pollcycle::ProblemKind;

std::string failure(const std::string& error) {
    return error.empty() ? "no reason given" : error;
}

}  // namespace

void EventLog::record(const pollcycle::BridgeEvent& event) {
    std::visit([this](const auto& e) { write(e); }, event);
}

void EventLog::write(const FldigiConnected& e) {
    fldigiSilenceLogged_ = false;
    log_.write("fldigi connected: fldigi.name = " + quoted(e.name));
}

void EventLog::write(const FldigiConfigFolder& e) {
    log_.write(e.ok ? "fldigi configuration folder " + quoted(e.folder)
                    : "fldigi.config_dir failed: " + failure(e.error));
}

void EventLog::write(const FldigiCallFailed& e) {
    if (e.method != "fldigi.name") {
        log_.write("fldigi read failed: " + e.method + ": " + failure(e.error));
    } else if (!fldigiSilenceLogged_) {
        fldigiSilenceLogged_ = true;
        log_.write("fldigi not answering (tried every second): fldigi.name: " + failure(e.error));
    }
}

void EventLog::write(const FldigiLost& e) {
    log_.write("fldigi lost: " + failure(e.error));
}

void EventLog::write(const FldigiLogCleared& e) {
    log_.write(std::string("fldigi <- log.clear") +
               (e.ok ? "" : " (failed: " + failure(e.error) + ")"));
}

void EventLog::write(const HostAttached&) {
    hostAbsenceLogged_ = false;
    log_.write("host attached");
}

void EventLog::write(const HostNotRunning&) {
    if (!hostAbsenceLogged_) {
        hostAbsenceLogged_ = true;
        log_.write("host not running (tried every second)");
    }
}

void EventLog::write(const HostLost& e) {
    log_.write("host lost: " + failure(e.error));
}

void EventLog::write(const MarkerClaimed& e) {
    log_.write("marker taken over: " + e.from + " -> " + e.to);
}

void EventLog::write(const MarkerDeleted& e) {
    log_.write("marker deleted: " + e.path);
}

void EventLog::write(const MarkerReplaced& e) {
    log_.write("marker " + e.path + " is not the file saved up to byte " +
               std::to_string(e.savedOffset) + ": all of it is new");
}

void EventLog::write(const ContactSaving& e) {
    log_.write("contact " + quoted(e.call) + " logged in fldigi (" + e.file +
               "): saving it in the host");
}

void EventLog::write(const ContactSaved&) {}  // the host calls before it are the record

void EventLog::write(const RecordsSetAside& e) {
    log_.write(std::to_string(e.stale + e.notContacts) + " records not saved in the host (" +
               std::to_string(e.stale) + " older than 30 minutes, " +
               std::to_string(e.notContacts) + " no contact or damaged) added to " + e.path +
               ": import that file in Kebrin");
}

void EventLog::write(const SetAsideFileSeen&) {}

void EventLog::write(const ProblemBegan& e) {
    log_.write(problemLine(e));
}

void EventLog::write(const ProblemEnded& e) {
    log_.write(problemEndedLine(e));
}

void EventLog::write(const BoxAnswered& e) {
    log_.write("message box " + quoted(e.text) + " answered " +
               (e.answer == pollcycle::MessageAnswer::Ok ? "OK" : "Cancel"));
}

void EventLog::write(const ProcessExit& e) {
    log_.write("process ends with exit code " + std::to_string(e.exitCode));
}

namespace {

// What the log says of a problem: as it begins (the path, the system's reason when it has one,
// what it means for the contacts) and as it ends.
struct ProblemWords {
    ProblemKind kind;
    const char* beforePath;
    const char* afterPath;
    bool withReason;
    const char* meaning;
    const char* endedBeforePath;
    const char* endedAfterPath;
};

constexpr ProblemWords kProblemWords[] = {
    {ProblemKind::FolderMissing, "fldigi's folder ",
     " does not exist on this PC (does fldigi run on another one?)", false,
     ": contacts logged in fldigi cannot be saved from it", "fldigi's folder ",
     " can be searched again"},
    {ProblemKind::FolderUnlistable, "fldigi's folder ", " cannot be searched", true,
     ": its files are looked at again on the next ticks", "fldigi's folder ",
     " can be searched again"},
    {ProblemKind::ProgressUnreadable, "the record of saved contacts ", " cannot be read", true,
     ": no contact is saved until it can", "the record of saved contacts ", " can be read again"},
    {ProblemKind::ProgressUnwritable, "the record of saved contacts ", " cannot be written", true,
     ": no more contacts are saved until it can be", "the record of saved contacts ",
     " can be written again"},
    {ProblemKind::MarkerHeld, "marker ", " cannot be taken over", true,
     ": its contacts are read where it is, and it is kept", "marker ", " can be taken over again"},
    {ProblemKind::FileUnreadable, "marker ", " cannot be read", true,
     ": it is left as it is and read again on the next ticks", "marker ", " can be read again"},
    {ProblemKind::FileUndeletable, "saved marker ", " cannot be deleted", true,
     ": it is kept, and its contacts stay saved", "saved marker ", " can be deleted again"},
    {ProblemKind::SetAsideUnwritable, "records not to be saved cannot be added to ", "", true,
     ": they wait in the marker", "records not to be saved can be added to ", " again"},
};

const ProblemWords* wordsFor(ProblemKind kind) {
    for (const ProblemWords& words : kProblemWords) {
        if (words.kind == kind) {
            return &words;
        }
    }
    return nullptr;
}

}  // namespace

std::string problemLine(const ProblemBegan& e) {
    const std::string because = " (" + e.systemText + ")";
    const ProblemWords* words = wordsFor(e.kind);
    if (words == nullptr) {
        return "problem with " + e.path + because;
    }
    return words->beforePath + e.path + words->afterPath + (words->withReason ? because : "") +
           words->meaning;
}

std::string problemEndedLine(const ProblemEnded& e) {
    const ProblemWords* words = wordsFor(e.kind);
    return words != nullptr ? words->endedBeforePath + e.path + words->endedAfterPath
                            : "problem with " + e.path + " ended";
}

}  // namespace diagnostics

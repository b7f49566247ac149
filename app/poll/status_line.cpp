#include "app/poll/status_line.h"

#include <initializer_list>
#include <iterator>
#include <optional>
#include <vector>

namespace pollcycle {
namespace {

using namespace event;
using Known = StatusLine::Known;

constexpr const char* kEllipsis = "\xE2\x80\xA6";  // "…"

StatusText operatorsTurn(std::string before, std::string path = {}, bool selectsPath = false) {
    return StatusText{std::move(before), std::move(path), {}, true, selectsPath};
}

std::optional<StatusText> unsavedContacts(const Known& k) {
    if (k.setAsideRecords == 0) {
        return std::nullopt;
    }
    const std::string count = std::to_string(k.setAsideRecords);
    return operatorsTurn(
        count + (k.setAsideRecords == 1 ? " contact" : " contacts") + " not saved: ",
        k.setAsidePath, true);
}

std::optional<StatusText> hostNotRunning(const Known& k) {
    return k.hostDown ? std::optional(operatorsTurn("Contacts wait: Kebrin is not running"))
                      : std::nullopt;
}

std::optional<StatusText> fldigiNotAnswering(const Known& k) {
    return k.fldigiDown ? std::optional(operatorsTurn("Contacts wait: fldigi does not answer"))
                        : std::nullopt;
}

// The first problem under way of the given kinds, with the line's words for its kind.
struct ProblemWords {
    ProblemKind kind;
    const char* before;
};

std::optional<StatusText> firstProblem(const Known& k, std::initializer_list<ProblemWords> kinds) {
    for (const ProblemWords& words : kinds) {
        for (const auto& [kind, path] : k.problems) {
            if (kind == words.kind) {
                return operatorsTurn(words.before, path);
            }
        }
    }
    return std::nullopt;
}

std::optional<StatusText> folderNotFound(const Known& k) {
    return firstProblem(
        k, {{ProblemKind::FolderMissing, "Contacts wait: no fldigi folder "},
            {ProblemKind::FolderUnlistable, "Contacts wait: cannot search fldigi's folder "}});
}

std::optional<StatusText> fileHeld(const Known& k) {
    constexpr const char* kHeld = "Contacts wait: another program holds ";
    return firstProblem(
        k, {{ProblemKind::ProgressUnreadable, kHeld},
            {ProblemKind::ProgressUnwritable, "Contacts wait: cannot write "},
            {ProblemKind::FileUnreadable, kHeld},
            // The contacts after those records are saved; the records wait for the file.
            {ProblemKind::SetAsideUnwritable, "Records to set aside wait: another program holds "},
            {ProblemKind::MarkerHeld, "Another program holds "}});
}

std::optional<StatusText> lastSaved(const Known& k) {
    if (k.lastSavedUtcSeconds < 0) {
        return std::nullopt;
    }
    return StatusText{"Saved " + k.lastSavedCall + " at " + utcClockText(k.lastSavedUtcSeconds),
                      {},
                      {},
                      false,
                      false};
}

std::optional<StatusText> connected(const Known& k) {
    return k.hostReached && k.fldigiReached
               ? std::optional(StatusText{"Waiting for contacts logged in fldigi", {}, {}})
               : std::nullopt;
}

// The line shows the first rule that has something to say.
using Rule = std::optional<StatusText> (*)(const Known&);
constexpr Rule kRulesByImportance[] = {
    unsavedContacts, hostNotRunning, fldigiNotAnswering, folderNotFound,
    fileHeld,        lastSaved,      connected,
};

// Byte offsets where the UTF-8 characters of `text` begin, and its size at the end.
std::vector<std::size_t> characterStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            starts.push_back(i);
        }
    }
    starts.push_back(text.size());
    return starts;
}

// Keeps what the line needs of each event; the other events change nothing.
struct KnownUpdate {
    Known& k;

    void operator()(const SetAsideFileSeen& e) const {
        k.setAsidePath = e.path;
        k.setAsideRecords = e.records;
    }
    void operator()(const RecordsSetAside& e) const {
        // The file holds at least these now; its next sighting gives the count.
        k.setAsidePath = e.path;
        k.setAsideRecords += e.stale + e.notContacts;
        folderFound();
    }
    void operator()(const HostAttached&) const { hostReached(true); }
    void operator()(const HostNotRunning&) const { hostReached(false); }
    void operator()(const HostLost&) const { hostReached(false); }
    void operator()(const FldigiConnected&) const { fldigiReached(true); }
    void operator()(const FldigiLost&) const { fldigiReached(false); }
    void operator()(const FldigiCallFailed& e) const {
        if (e.method == "fldigi.name") {  // another read failing is no lasting state
            fldigiReached(false);
        }
    }
    void operator()(const ProblemBegan& e) const { k.problems.insert({e.kind, e.path}); }
    void operator()(const ProblemEnded& e) const { k.problems.erase({e.kind, e.path}); }
    void operator()(const MarkerClaimed&) const { folderFound(); }
    void operator()(const ContactSaving&) const { folderFound(); }
    void operator()(const ContactSaved& e) const {
        k.lastSavedCall = e.call;
        k.lastSavedUtcSeconds = e.utcSeconds;
    }
    template <typename Other>
    void operator()(const Other&) const {}

    void hostReached(bool reached) const {
        k.hostDown = !reached;
        k.hostReached = reached;
    }
    void fldigiReached(bool reached) const {
        k.fldigiDown = !reached;
        k.fldigiReached = reached;
    }
    // A file was found in fldigi's folder: it is there, and searchable, after all.
    void folderFound() const {
        for (auto it = k.problems.begin(); it != k.problems.end();) {
            const bool folder = it->first == ProblemKind::FolderMissing ||
                                it->first == ProblemKind::FolderUnlistable;
            it = folder ? k.problems.erase(it) : std::next(it);
        }
    }
};

}  // namespace

void StatusLine::record(const BridgeEvent& event) {
    std::visit(KnownUpdate{known_}, event);
}

StatusText StatusLine::current() const {
    for (Rule rule : kRulesByImportance) {
        if (std::optional<StatusText> text = rule(known_)) {
            return *text;
        }
    }
    return StatusText{};
}

std::string utcClockText(int64_t utcSeconds) {
    constexpr int64_t kDay = 24 * 60 * 60;
    const int64_t ofDay = ((utcSeconds % kDay) + kDay) % kDay;
    const auto twoDigits = [](int64_t n) {
        return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
    };
    return twoDigits(ofDay / 3600) + ":" + twoDigits(ofDay / 60 % 60) + " UTC";
}

std::string fitInMiddle(const std::string& text, int width,
                        const std::function<int(const std::string&)>& measure) {
    if (measure(text) <= width) {
        return text;
    }
    const std::vector<std::size_t> starts = characterStarts(text);
    const std::size_t characters = starts.size() - 1;
    // `kept` characters: the first half of them, "…", the rest from the end.
    const auto shortened = [&](std::size_t kept) {
        const std::size_t head = (kept + 1) / 2;
        const std::size_t tail = kept - head;
        return text.substr(0, starts[head]) + kEllipsis + text.substr(starts[characters - tail]);
    };
    // The most characters that fit: measure grows with them, so a binary search finds it.
    std::size_t fits = 0;
    std::size_t tooMany = characters;
    while (tooMany - fits > 1) {
        const std::size_t middle = fits + (tooMany - fits) / 2;
        (measure(shortened(middle)) <= width ? fits : tooMany) = middle;
    }
    return shortened(fits);
}

}  // namespace pollcycle

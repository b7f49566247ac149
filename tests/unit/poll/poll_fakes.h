// Recording fakes of the poll cycle's ports. Every port writes into one shared journal, so
// tests can check the order of events across fldigi, the host, the files and the view.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/poll/bridge_events.h"
#include "app/poll/fldigi_port.h"
#include "app/poll/host_port.h"
#include "app/poll/ledger_progress.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_view.h"

namespace pollcycle::testing {

struct Journal {
    std::vector<std::string> events;
    void add(std::string event) { events.push_back(std::move(event)); }
    // The events that start with `prefix`, with the prefix removed.
    std::vector<std::string> with(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& e : events) {
            if (e.compare(0, prefix.size(), prefix) == 0) {
                found.push_back(e.substr(prefix.size()));
            }
        }
        return found;
    }
};

// fldigi: every method answers a string, "" unless set; `down` fails every call, `failing`
// fails single methods. Events: "fldigi#<session> <method>".
class FakeFldigi : public FldigiPort {
  public:
    explicit FakeFldigi(Journal& journal) : journal_(journal) {}

    std::map<std::string, FldigiReply> replies;
    std::set<std::string> failing;
    bool down = false;
    std::string errorText;  // the reason a failing call gives
    // How the port decodes fldigi's texts; none keeps the bytes.
    std::function<std::string(const std::string&)> decoder;

    void set(const std::string& method, const std::string& text) {
        replies[method] = FldigiReply{true, true, text};
    }

    std::unique_ptr<FldigiSession> openSession() override {
        return std::make_unique<Session>(*this, ++sessionsOpened_);
    }
    std::string decodeText(const std::string& bytes) const override {
        return decoder ? decoder(bytes) : bytes;
    }

  private:
    class Session : public FldigiSession {
      public:
        Session(FakeFldigi& owner, int id) : owner_(owner), id_(id) {}
        FldigiReply call(const char* method) override {
            owner_.journal_.add("fldigi#" + std::to_string(id_) + " " + method);
            if (owner_.down || owner_.failing.count(method) != 0) {
                return FldigiReply{};
            }
            auto it = owner_.replies.find(method);
            return it != owner_.replies.end() ? it->second : FldigiReply{true, true, ""};
        }
        std::string lastError() const override { return owner_.errorText; }

      private:
        FakeFldigi& owner_;
        int id_;
    };

    Journal& journal_;
    int sessionsOpened_ = 0;
};

struct HostCallFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The host: events "host <call> <args>"; a call whose event starts with `throwOn` throws.
class FakeHost : public HostPort {
  public:
    explicit FakeHost(Journal& journal) : journal_(journal) {}

    bool running = true;
    bool reachesHost = true;  // false: calls are skipped, as without a host interface
    std::string throwOn;      // empty: never throws
    std::vector<double> frequencies;

    bool attach() override {
        journal_.add("host attach");
        return running;
    }
    void runMacro(const std::string& macro) override { record("RunMacro " + macro); }
    void setQsoField(int32_t index, const std::string& text) override {
        record("SetQsoField " + std::to_string(index) + " " + text);
    }
    void setFrequency(double hertz) override {
        char text[64];
        std::snprintf(text, sizeof text, "SetFrequency %.1f", hertz);
        frequencies.push_back(hertz);
        record(text);
    }
    void setMode(const std::string& mode) override { record("SetMode " + mode); }
    bool callsReachHost() const override { return reachesHost; }

  private:
    void record(const std::string& call) {
        journal_.add("host " + call);
        if (!throwOn.empty() && call.compare(0, throwOn.size(), throwOn) == 0) {
            throw HostCallFailed("host refused " + call);
        }
    }
    Journal& journal_;
};

// fldigi's "temp" folder and whatever else the tests put there, in memory: paths are texts,
// names the part after the last backslash. Events "files <operation> <path>".
class FakeMarkerFiles : public MarkerFilesPort {
  public:
    static constexpr const char* kMarker = "C:\\fl\\temp\\log.adif";
    static constexpr int64_t kNow = 1796731200;  // 2026-12-08 12:00:00 UTC

    explicit FakeMarkerFiles(Journal& journal) : journal_(journal) {}

    std::map<std::string, std::string> files;  // path -> content
    std::set<std::string> folders = {"C:\\fl\\temp"};
    // Paths that cannot be read (locked), deleted or renamed (held open by another program).
    std::set<std::string> unreadable, undeletable, unrenamable;
    bool appendFails = false;
    bool searchFails = false;  // every search fails, as on a network share that went away
    int64_t now = kNow;
    // Runs once, right after the next read (fldigi logging while the bridge saves).
    std::function<void()> afterRead;

    // fldigi logs: appends to its marker, creating it when there is none.
    void log(const std::string& bytes) { files[kMarker] += bytes; }
    // fldigi's marker holds exactly these bytes.
    void write(const std::string& bytes) { files[kMarker] = bytes; }
    std::optional<std::string> content(const std::string& path) const {
        const auto it = files.find(path);
        return it != files.end() ? std::optional<std::string>(it->second) : std::nullopt;
    }
    // The paths of the files in the folder, in name order.
    std::vector<std::string> paths() const {
        std::vector<std::string> found;
        for (const auto& entry : files) {
            found.push_back(entry.first);
        }
        return found;
    }

    FileSearch find(const std::string& pattern) override {
        journal_.add("files find " + pattern);
        FileSearch found;
        if (searchFails) {
            found.status = FileStatus::Failed;
            return found;
        }
        const std::size_t star = pattern.find('*');
        for (const auto& [path, bytes] : files) {
            const bool match = star == std::string::npos
                                   ? path == pattern
                                   : path.size() >= pattern.size() - 1 &&
                                         path.compare(0, star, pattern, 0, star) == 0 &&
                                         path.compare(path.size() - (pattern.size() - star - 1),
                                                      std::string::npos, pattern, star + 1) == 0 &&
                                         path.find('\\', star) == std::string::npos;
            if (match) {
                found.entries.push_back(MarkerEntry{nameOf(path)});
            }
        }
        found.status = found.entries.empty() ? FileStatus::NotFound : FileStatus::Ok;
        return found;
    }
    FileProbe probe(const std::string& path) override {
        journal_.add("files probe " + path);
        if (folders.count(path) != 0) {
            return FileProbe{FileStatus::Ok, 0, 0};
        }
        const auto it = files.find(path);
        if (it == files.end()) {
            return FileProbe{FileStatus::NotFound, 0, 0};
        }
        // The content's hash stands in for the time of the last write.
        return FileProbe{FileStatus::Ok, it->second.size(), contentHash(it->second)};
    }
    FileBytes read(const std::string& path, uint64_t offset, uint64_t maxBytes) override {
        journal_.add("files read " + path);
        FileBytes bytes;
        const auto it = files.find(path);
        if (unreadable.count(path) != 0) {
            bytes.status = FileStatus::Failed;
        } else if (it != files.end()) {
            bytes.status = FileStatus::Ok;
            bytes.bytes = offset < it->second.size() ? it->second.substr(offset, maxBytes) : "";
        }
        if (afterRead) {
            std::exchange(afterRead, nullptr)();
        }
        return bytes;
    }
    bool remove(const std::string& path) override {
        journal_.add("files remove " + path);
        return undeletable.count(path) == 0 && unreadable.count(path) == 0 && files.erase(path) > 0;
    }
    bool rename(const std::string& from, const std::string& to) override {
        journal_.add("files rename " + from + " " + to);
        const auto it = files.find(from);
        if (it == files.end() || unrenamable.count(from) != 0 || files.count(to) != 0) {
            return false;
        }
        files[to] = it->second;
        files.erase(from);
        return true;
    }
    bool append(const std::string& path, const std::string& bytes) override {
        journal_.add("files append " + path);
        if (appendFails || unreadable.count(path) != 0) {
            return false;
        }
        files[path] += bytes;
        return true;
    }
    bool replace(const std::string& path, const std::string& bytes) override {
        journal_.add("files replace " + path);
        files[path] = bytes;
        return true;
    }
    std::string lastErrorText() override { return "Access is denied."; }
    int64_t nowUtcSeconds() override { return now; }

  private:
    static std::string nameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

    Journal& journal_;
};

struct ProcessExit {
    unsigned code;
};

// The dialog: events "view <what> ..."; exitProcess throws ProcessExit.
class FakeView : public PollView {
  public:
    explicit FakeView(Journal& journal) : journal_(journal) {}

    MessageAnswer answer = MessageAnswer::Cancel;

    void killTimer(unsigned id) override { journal_.add("view killTimer " + std::to_string(id)); }
    void setTimer(unsigned id, unsigned periodMs) override {
        journal_.add("view setTimer " + std::to_string(id) + " " + std::to_string(periodMs));
    }
    void setIndicatorText(Indicator indicator, const std::string& text) override {
        journal_.add("view text " + name(indicator) + " " + text);
    }
    void setIndicatorFaceColor(Indicator indicator, uint32_t color) override {
        journal_.add("view face " + name(indicator) + " " + hex(color));
    }
    void setIndicatorCaptionColor(Indicator indicator, uint32_t color) override {
        journal_.add("view captionColor " + name(indicator) + " " + hex(color));
    }
    void setCheckedFlag(Indicator indicator, bool checked) override {
        journal_.add("view flag " + name(indicator) + " " + (checked ? "1" : "0"));
    }
    void moveFlagsIntoControls() override { journal_.add("view moveFlags"); }
    void setCaption(const std::string& text) override { journal_.add("view caption " + text); }
    void showLinkMark() override { journal_.add("view showLinkMark"); }
    void hideLinkMark() override { journal_.add("view hideLinkMark"); }
    void showHostError(const std::string& text) override { journal_.add("view error " + text); }
    MessageAnswer askOkCancel(const std::string& text) override {
        journal_.add("view box " + text);
        return answer;
    }
    [[noreturn]] void exitProcess(unsigned exitCode) override {
        journal_.add("view exit " + std::to_string(exitCode));
        throw ProcessExit{exitCode};
    }

  private:
    static std::string name(Indicator indicator) {
        return indicator == Indicator::Fldigi ? "Fldigi" : "Host";
    }
    static std::string hex(uint32_t color) {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(color));
        return text;
    }
    Journal& journal_;
};

// Every event, in order.
class RecordedEvents : public BridgeEvents {
  public:
    std::vector<BridgeEvent> events;
    void record(const BridgeEvent& event) override { events.push_back(event); }
    // The events of one kind.
    template <class Event>
    std::vector<Event> of() const {
        std::vector<Event> found;
        for (const BridgeEvent& e : events) {
            if (const Event* match = std::get_if<Event>(&e)) {
                found.push_back(*match);
            }
        }
        return found;
    }
    // The kinds of the problems that began, in order.
    std::vector<ProblemKind> problemsBegun() const {
        std::vector<ProblemKind> kinds;
        for (const event::ProblemBegan& p : of<event::ProblemBegan>()) {
            kinds.push_back(p.kind);
        }
        return kinds;
    }
};

}  // namespace pollcycle::testing

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

#include "app/poll/fldigi_port.h"
#include "app/poll/host_port.h"
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

    void set(const std::string& method, const std::string& text) {
        replies[method] = FldigiReply{true, true, text};
    }

    std::unique_ptr<FldigiSession> openSession() override {
        return std::make_unique<Session>(*this, ++sessionsOpened_);
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
    std::string throwOn;  // empty: never throws
    std::vector<double> frequencies;

    bool Attach() override {
        journal_.add("host attach");
        return running;
    }
    void RunMacro(const std::string& macro) override { record("RunMacro " + macro); }
    void SetQsoField(int32_t index, const std::string& text) override {
        record("SetQsoField " + std::to_string(index) + " " + text);
    }
    void SetFrequency(double hertz) override {
        char text[64];
        std::snprintf(text, sizeof text, "SetFrequency %.1f", hertz);
        frequencies.push_back(hertz);
        record(text);
    }
    void SetMode(const std::string& mode) override { record("SetMode " + mode); }

  private:
    void record(const std::string& call) {
        journal_.add("host " + call);
        if (!throwOn.empty() && call.compare(0, throwOn.size(), throwOn) == 0) {
            throw HostCallFailed("host refused " + call);
        }
    }
    Journal& journal_;
};

// The marker files: `present` entries are found for any pattern; remove() empties them
// unless `deletable` is false. Events "files find <pattern>", "files remove <path>".
class FakeMarkerFiles : public MarkerFilesPort {
  public:
    explicit FakeMarkerFiles(Journal& journal) : journal_(journal) {}

    std::vector<MarkerEntry> present;
    bool deletable = true;
    // What the marker holds; no value: it cannot be read.
    std::optional<std::string> content;
    // Runs once, right after the next read (fldigi logging while the bridge saves).
    std::function<void()> afterRead;

    // fldigi (re)writes the marker: it is there with these bytes, written at `time`.
    void write(const std::string& bytes, uint64_t time) {
        content = bytes;
        present = {MarkerEntry{"log.adif", bytes.size(), time}};
    }

    std::vector<MarkerEntry> find(const std::string& pattern) override {
        journal_.add("files find " + pattern);
        return present;
    }
    std::optional<MarkerContent> readTail(const std::string& path, uint64_t maxBytes) override {
        journal_.add("files read " + path);
        std::optional<MarkerContent> read;
        if (content) {
            const uint64_t offset = content->size() > maxBytes ? content->size() - maxBytes : 0;
            read = MarkerContent{offset, content->substr(offset)};
        }
        if (afterRead) {
            std::exchange(afterRead, nullptr)();
        }
        return read;
    }
    bool remove(const std::string& path) override {
        journal_.add("files remove " + path);
        if (deletable) {
            present.clear();
            content.reset();
        }
        return deletable;
    }

  private:
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

}  // namespace pollcycle::testing

// The main window's status line: one line in plain words that tells the operator the most
// important thing about the contacts. It reads the bridge's events (one more reader beside the
// log) and keeps only what the line needs: the set-aside file as last seen, whether fldigi and
// the host answer, the problems under way, the last contact saved.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "app/poll/bridge_events.h"

namespace pollcycle {

// What the line shows: `before`, then a path that may be shortened to fit, then `after`.
struct StatusText {
    std::string before;
    std::string path;
    std::string after;
    bool needsOperator = false;  // shown in red: the operator has something to do
    bool selectsPath = false;    // a click shows `path` in the file manager

    std::string whole() const { return before + path + after; }
    bool operator==(const StatusText& other) const {
        return before == other.before && path == other.path && after == other.after &&
               needsOperator == other.needsOperator && selectsPath == other.selectsPath;
    }
    bool operator!=(const StatusText& other) const { return !(*this == other); }
};

// Where the window shows the status line.
class StatusView {
  public:
    virtual ~StatusView() = default;
    virtual void showStatus(const StatusText& status) = 0;
};

class StatusLine : public BridgeEvents {
  public:
    void record(const BridgeEvent& event) override;
    // The most important of what is known now; empty before the first tick.
    StatusText current() const;

    // What the line keeps of the events (the order of the priority rules reads it).
    struct Known {
        std::string setAsidePath;
        std::size_t setAsideRecords = 0;
        bool hostDown = false;    // not running, or lost
        bool fldigiDown = false;  // not answering, or lost
        bool hostReached = false;
        bool fldigiReached = false;
        std::set<std::pair<ProblemKind, std::string>> problems;  // under way
        std::string lastSavedCall;
        int64_t lastSavedUtcSeconds = -1;  // -1: none saved in this run
    };

  private:
    Known known_;
};

// "14:02 UTC" for seconds since 1970 (UTC).
std::string utcClockText(int64_t utcSeconds);

// `text` shortened in its middle with "…" so that `measure` of it is at most `width`; whole
// characters (UTF-8) only. Text that fits is returned as it is; when not even "…" fits, "…".
std::string fitInMiddle(const std::string& text, int width,
                        const std::function<int(const std::string&)>& measure);

}  // namespace pollcycle

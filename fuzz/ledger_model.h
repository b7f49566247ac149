// The world the ledger fuzzer runs the bridge in: fldigi's folder in memory with its faults, a
// host that counts the contacts it saved, and a kill that can strike before any file operation.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "app/poll/host_port.h"
#include "app/poll/marker_files_port.h"
#include "poll_fakes.h"

namespace ledgerfuzz {

using namespace pollcycle;

// The bridge process ends here (thrown through the tick, caught by the driver).
struct Killed {};

// The in-memory folder, and a kill armed to strike before the n-th file operation.
class KillableFiles : public MarkerFilesPort {
  public:
    explicit KillableFiles(testing::FakeMarkerFiles& files) : files_(files) {}
    int killBefore = -1;  // operations left before the kill; -1: none armed

    FileSearch find(const std::string& pattern) override { return (step(), files_.find(pattern)); }
    FileProbe probe(const std::string& path) override {
        step();
        return probeFails ? FileProbe{FileStatus::Failed, 0, 0} : files_.probe(path);
    }
    FileBytes read(const std::string& path, uint64_t offset, uint64_t maxBytes) override {
        return (step(), files_.read(path, offset, maxBytes));
    }
    bool remove(const std::string& path) override { return (step(), files_.remove(path)); }
    bool rename(const std::string& from, const std::string& to) override {
        return (step(), files_.rename(from, to));
    }
    bool append(const std::string& path, const std::string& bytes) override {
        return (step(), files_.append(path, bytes));
    }
    bool replace(const std::string& path, const std::string& bytes) override {
        step();
        return !replaceFails && files_.replace(path, bytes);
    }
    int64_t nowUtcSeconds() override { return files_.nowUtcSeconds(); }

    bool probeFails = false;
    bool replaceFails = false;

  private:
    void step() {
        if (killBefore == 0) {
            killBefore = -1;
            throw Killed{};
        }
        if (killBefore > 0) {
            --killBefore;
        }
    }
    testing::FakeMarkerFiles& files_;
};

// The host: at each <SAVEQSO> it took, the contact the cycle said it was saving (the ledger's
// part; which fields the form held is the cycle's). `refusing` throws before the call does
// anything; `refuseAfterSave` throws at the call after a save, which then stands.
class CountingHost : public HostPort {
  public:
    explicit CountingHost(const testing::RecordedEvents& events) : events_(events) {}
    bool running = true;
    bool reaches = true;
    bool refusing = false;
    bool refuseAfterSave = false;
    std::map<std::string, int> saves;
    int savesNotRecorded = 0;  // saves the host took but whose next call failed

    bool attach() override { return running; }
    void runMacro(const std::string& macro) override {
        enter();
        if (macro == "<SAVEQSO>" && reaches) {
            ++saves[saving()];
            justSaved_ = true;
        }
    }
    void setQsoField(int32_t, const std::string&) override { enter(); }
    void setFrequency(double) override { enter(); }
    void setMode(const std::string&) override { enter(); }
    bool callsReachHost() const override { return reaches; }

  private:
    void enter() {
        const bool afterSave = std::exchange(justSaved_, false);
        if (refusing || (afterSave && refuseAfterSave)) {
            savesNotRecorded += afterSave ? 1 : 0;
            throw std::runtime_error("the host refused the call");
        }
    }
    std::string saving() const {
        for (auto e = events_.events.rbegin(); e != events_.events.rend(); ++e) {
            if (const auto* saving = std::get_if<event::ContactSaving>(&*e)) {
                return saving->call;
            }
        }
        return std::string();
    }
    const testing::RecordedEvents& events_;
    bool justSaved_ = false;
};

}  // namespace ledgerfuzz

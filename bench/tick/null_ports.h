// The poll cycle's host, marker-file and view ports doing nothing, for timing ticks, and a
// marker-file port that counts the calls it passes on. Each port is implemented here in full:
// when a port gains a member, it gains a do-nothing one here.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/poll/host_port.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_view.h"

namespace pollcycle::nullports {

class NullHost : public HostPort {
  public:
    bool attach() override { return true; }
    void runMacro(const std::string&) override {}
    void setQsoField(int32_t, const std::string&) override {}
    void setFrequency(double) override {}
    void setMode(const std::string&) override {}
};

class NoMarkers : public MarkerFilesPort {
  public:
    FileSearch find(const std::string&) override { return {}; }
    FileProbe probe(const std::string&) override { return {}; }
    FileBytes read(const std::string&, uint64_t, uint64_t) override { return {}; }
    bool remove(const std::string&) override { return false; }
    bool rename(const std::string&, const std::string&) override { return false; }
    bool append(const std::string&, const std::string&) override { return false; }
    bool replace(const std::string&, const std::string&) override { return false; }
    int64_t nowUtcSeconds() override { return 0; }
};

// Another marker-file port, counting the file-system calls made through it (the clock and the
// error text are no such calls).
class CountingMarkers : public MarkerFilesPort {
  public:
    explicit CountingMarkers(MarkerFilesPort& inner) : inner_(inner) {}
    uint64_t calls = 0;

    FileSearch find(const std::string& pattern) override { return ++calls, inner_.find(pattern); }
    FileProbe probe(const std::string& path) override { return ++calls, inner_.probe(path); }
    FileBytes read(const std::string& path, uint64_t offset, uint64_t maxBytes) override {
        return ++calls, inner_.read(path, offset, maxBytes);
    }
    bool remove(const std::string& path) override { return ++calls, inner_.remove(path); }
    bool rename(const std::string& from, const std::string& to) override {
        return ++calls, inner_.rename(from, to);
    }
    bool append(const std::string& path, const std::string& bytes) override {
        return ++calls, inner_.append(path, bytes);
    }
    bool replace(const std::string& path, const std::string& bytes) override {
        return ++calls, inner_.replace(path, bytes);
    }
    std::string lastErrorText() override { return inner_.lastErrorText(); }
    int64_t nowUtcSeconds() override { return inner_.nowUtcSeconds(); }

  private:
    MarkerFilesPort& inner_;
};

class NullView : public PollView {
  public:
    void killTimer(unsigned) override {}
    void setTimer(unsigned, unsigned) override {}
    void setIndicatorText(Indicator, const std::string&) override {}
    void setIndicatorFaceColor(Indicator, uint32_t) override {}
    void setIndicatorCaptionColor(Indicator, uint32_t) override {}
    void setCheckedFlag(Indicator, bool) override {}
    void moveFlagsIntoControls() override {}
    void setCaption(const std::string&) override {}
    void showLinkMark() override {}
    void hideLinkMark() override {}
    void showHostError(const std::string&) override {}
    MessageAnswer askOkCancel(const std::string&) override { return MessageAnswer::Cancel; }
    [[noreturn]] void exitProcess(unsigned code) override { std::exit(static_cast<int>(code)); }
};

}  // namespace pollcycle::nullports

// Decorators over the poll cycle's four ports that write what crosses them into the
// diagnostic log: host calls with their arguments, fldigi's failures and first contact, the
// answer to the message box, the contact ledger's reports, the marker's take-over and
// deletion, "log.clear". A quiet tick
// writes nothing.
#pragma once

#include <memory>
#include <string>

#include "app/diagnostics/diagnostic_log.h"
#include "app/poll/fldigi_port.h"
#include "app/poll/host_port.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_view.h"

namespace diagnostics {

// What the loggers need, and what they remember from tick to tick so that a state that lasts
// (the host not running, fldigi not answering) is written once, not every second.
struct LogContext {
    DiagnosticLog& log;
    bool hostAbsenceLogged = false;
    bool fldigiSilenceLogged = false;
};

// What each decorator holds: the port it wraps, whose members it forwards to, and the context
// it logs into.
template <class Port>
class LoggingDecorator : public Port {
  public:
    LoggingDecorator(Port& inner, LogContext& context) : inner_(inner), context_(context) {}

  protected:
    Port& inner_;
    LogContext& context_;
};

class LoggingFldigiPort : public LoggingDecorator<pollcycle::FldigiPort> {
  public:
    using LoggingDecorator::LoggingDecorator;
    std::unique_ptr<pollcycle::FldigiSession> openSession() override;
    std::string decodeText(const std::string& bytes) const override {
        return inner_.decodeText(bytes);
    }
};

class LoggingHostPort : public LoggingDecorator<pollcycle::HostPort> {
  public:
    using LoggingDecorator::LoggingDecorator;
    bool attach() override;
    void runMacro(const std::string& macro) override;
    void setQsoField(int32_t index, const std::string& text) override;
    void setFrequency(double hertz) override;
    void setMode(const std::string& mode) override;
    bool callsReachHost() const override { return inner_.callsReachHost(); }

  private:
    template <typename Call>
    void logged(const std::string& description, Call call);
};

class LoggingMarkerFiles : public LoggingDecorator<pollcycle::MarkerFilesPort> {
  public:
    using LoggingDecorator::LoggingDecorator;
    std::vector<pollcycle::MarkerEntry> find(const std::string& pattern) override {
        return inner_.find(pattern);
    }
    std::optional<std::string> read(const std::string& path, uint64_t offset,
                                    uint64_t maxBytes) override {
        return inner_.read(path, offset, maxBytes);
    }
    bool remove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool append(const std::string& path, const std::string& bytes) override {
        return inner_.append(path, bytes);
    }
    bool replace(const std::string& path, const std::string& bytes) override {
        return inner_.replace(path, bytes);
    }
    std::string lastErrorText() override { return inner_.lastErrorText(); }
    int64_t nowUtcSeconds() override { return inner_.nowUtcSeconds(); }
};

// Forwards everything to the dialog's view; writes the box's answer, the process exit and
// each committed contact.
class LoggingPollView : public LoggingDecorator<pollcycle::PollView> {
  public:
    using LoggingDecorator::LoggingDecorator;
    void killTimer(unsigned timerId) override { inner_.killTimer(timerId); }
    void setTimer(unsigned timerId, unsigned periodMs) override {
        inner_.setTimer(timerId, periodMs);
    }
    void setIndicatorText(pollcycle::Indicator indicator, const std::string& text) override {
        inner_.setIndicatorText(indicator, text);
    }
    void setIndicatorFaceColor(pollcycle::Indicator indicator, uint32_t color) override {
        inner_.setIndicatorFaceColor(indicator, color);
    }
    void setIndicatorCaptionColor(pollcycle::Indicator indicator, uint32_t color) override {
        inner_.setIndicatorCaptionColor(indicator, color);
    }
    void setCheckedFlag(pollcycle::Indicator indicator, bool checked) override {
        inner_.setCheckedFlag(indicator, checked);
    }
    void moveFlagsIntoControls() override { inner_.moveFlagsIntoControls(); }
    void setCaption(const std::string& text) override { inner_.setCaption(text); }
    void showLinkMark() override { inner_.showLinkMark(); }
    pollcycle::MessageAnswer askOkCancel(const std::string& text) override;
    [[noreturn]] void exitProcess(unsigned exitCode) override;
    void noteContactCommitted(const std::string& call, const std::string& file) override;
    void noteLedger(const std::string& line) override;
};

// The four decorators over one set of ports, made together.
struct LoggingPorts {
    LoggingPorts(LogContext& context, pollcycle::FldigiPort& fldigiPort,
                 pollcycle::HostPort& hostPort, pollcycle::MarkerFilesPort& markerFiles,
                 pollcycle::PollView& pollView)
        : fldigi(fldigiPort, context),
          host(hostPort, context),
          markers(markerFiles, context),
          view(pollView, context) {}

    LoggingFldigiPort fldigi;
    LoggingHostPort host;
    LoggingMarkerFiles markers;
    LoggingPollView view;
};

}  // namespace diagnostics

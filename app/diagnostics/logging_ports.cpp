#include "app/diagnostics/logging_ports.h"

#include <cstring>
#include <exception>

#include "app/diagnostics/host_call_text.h"

namespace diagnostics {
namespace {

class LoggingFldigiSession : public pollcycle::FldigiSession {
  public:
    LoggingFldigiSession(std::unique_ptr<pollcycle::FldigiSession> inner, LogContext& context)
        : inner_(std::move(inner)), context_(context) {}

    pollcycle::FldigiReply call(const char* method) override {
        pollcycle::FldigiReply reply = inner_->call(method);
        if (std::strcmp(method, "fldigi.name") == 0) {
            firstContact(reply);
        } else if (std::strcmp(method, "fldigi.config_dir") == 0) {
            context_.log.write(reply.ok ? "fldigi configuration folder " + quoted(reply.text)
                                        : "fldigi.config_dir failed: " + failure());
        } else if (std::strcmp(method, "log.clear") == 0) {
            context_.log.write(std::string("fldigi <- log.clear") +
                               (reply.ok ? "" : " (failed: " + failure() + ")"));
        } else if (!reply.ok) {
            context_.log.write(std::string("fldigi read failed: ") + method + ": " + failure());
        }
        return reply;
    }

  private:
    void firstContact(const pollcycle::FldigiReply& reply) {
        if (reply.ok) {
            context_.log.write("fldigi connected: fldigi.name = " + quoted(reply.text));
        } else if (!context_.fldigiSilenceLogged) {
            context_.log.write("fldigi not answering (tried every second): fldigi.name: " +
                               failure());
            context_.fldigiSilenceLogged = true;
        }
    }

    std::string failure() const {
        const std::string error = inner_->lastError();
        return error.empty() ? "no reason given" : error;
    }

    std::unique_ptr<pollcycle::FldigiSession> inner_;
    LogContext& context_;
};

}  // namespace

std::unique_ptr<pollcycle::FldigiSession> LoggingFldigiPort::openSession() {
    return std::make_unique<LoggingFldigiSession>(inner_.openSession(), context_);
}

bool LoggingHostPort::attach() {
    const bool attached = inner_.attach();
    if (attached) {
        context_.log.write("host attached");
    } else if (!context_.hostAbsenceLogged) {
        context_.log.write("host not running (tried every second)");
        context_.hostAbsenceLogged = true;
    }
    return attached;
}

template <typename Call>
void LoggingHostPort::logged(const std::string& description, Call call) {
    context_.log.write("host <- " + description);
    try {
        call();
    } catch (const std::exception& error) {
        context_.log.write("host call failed: " + description + ": " + error.what());
        throw;
    } catch (...) {
        context_.log.write("host call failed: " + description);
        throw;
    }
}

void LoggingHostPort::runMacro(const std::string& macro) {
    logged(describeRunMacro(macro), [&] { inner_.runMacro(macro); });
}

void LoggingHostPort::setQsoField(int32_t index, const std::string& text) {
    logged(describeSetQsoField(index, text), [&] { inner_.setQsoField(index, text); });
}

void LoggingHostPort::setFrequency(double hertz) {
    logged(describeFrequency(hertz), [&] { inner_.setFrequency(hertz); });
}

void LoggingHostPort::setMode(const std::string& mode) {
    logged(describeMode(mode), [&] { inner_.setMode(mode); });
}

bool LoggingMarkerFiles::remove(const std::string& path) {
    // A failure is the contact ledger's to report, once.
    const bool removed = inner_.remove(path);
    if (removed) {
        context_.log.write("marker deleted: " + path);
    }
    return removed;
}

bool LoggingMarkerFiles::rename(const std::string& from, const std::string& to) {
    const bool renamed = inner_.rename(from, to);
    if (renamed) {
        context_.log.write("marker taken over: " + from + " -> " + to);
    }
    return renamed;
}

pollcycle::MessageAnswer LoggingPollView::askOkCancel(const std::string& text) {
    const pollcycle::MessageAnswer answer = inner_.askOkCancel(text);
    context_.log.write("message box " + quoted(text) + " answered " +
                       (answer == pollcycle::MessageAnswer::Ok ? "OK" : "Cancel"));
    return answer;
}

void LoggingPollView::exitProcess(unsigned exitCode) {
    context_.log.write("process ends with exit code " + std::to_string(exitCode));
    inner_.exitProcess(exitCode);
    std::terminate();  // exitProcess() does not return
}

void LoggingPollView::noteContactCommitted(const std::string& call, const std::string& file) {
    context_.log.write("contact " + quoted(call) + " logged in fldigi (" + file +
                       "): saving it in the host");
    inner_.noteContactCommitted(call, file);
}

void LoggingPollView::noteLedger(const std::string& line) {
    context_.log.write(line);
    inner_.noteLedger(line);
}

}  // namespace diagnostics

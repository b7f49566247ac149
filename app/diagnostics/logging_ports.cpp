#include "app/diagnostics/logging_ports.h"

#include <exception>

#include "app/diagnostics/host_call_text.h"

namespace diagnostics {

template <typename Call>
void LoggingHostPort::logged(const std::string& description, Call call) {
    log_.write("host <- " + description);
    try {
        call();
    } catch (const std::exception& error) {
        log_.write("host call failed: " + description + ": " + error.what());
        throw;
    } catch (...) {
        log_.write("host call failed: " + description);
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

}  // namespace diagnostics

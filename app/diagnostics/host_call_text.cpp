#include "app/diagnostics/host_call_text.h"

#include <cstdio>

#include "app/diagnostics/log_line.h"
#include "app/poll/host_port.h"

namespace diagnostics {
namespace {

std::string fieldName(int32_t index) {
    for (const pollcycle::HostField& field : pollcycle::hostfield::kAll) {
        if (field.index == index) {
            return field.name;
        }
    }
    return std::to_string(index);
}

}  // namespace

std::string describeSetQsoField(int32_t index, const std::string& text) {
    char name[32];
    std::snprintf(name, sizeof name, "%-9s", fieldName(index).c_str());
    return std::string("SetQsoField ") + name + " = " + quoted(text);
}

std::string describeFrequency(double hertz) {
    char text[64];
    std::snprintf(text, sizeof text, "Frequency   %.1f Hz", hertz);
    return text;
}

std::string describeRunMacro(const std::string& macro) {
    return "RunMacro    " + macro;
}

std::string describeMode(const std::string& mode) {
    return "Mode        " + quoted(mode);
}

}  // namespace diagnostics

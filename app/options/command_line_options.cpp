#include "app/options/command_line_options.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "base/char_class.h"

namespace bridgeoptions {
namespace {

bool isHelp(const std::string& argument) {
    for (const char* help : {"--help", "-h", "/?", "-?"}) {
        if (charclass::equalsIgnoreCase(argument.c_str(), help)) {
            return true;
        }
    }
    return false;
}

ParsedCommandLine failed(std::string problem) {
    ParsedCommandLine parsed;
    parsed.outcome = CommandLineOutcome::Error;
    parsed.problem = std::move(problem);
    return parsed;
}

struct KnownOption {
    const char* name;
    const char* valueName;
    std::string BridgeOptions::*value;
};

const KnownOption kOptions[] = {
    {"--fldigi", "URL", &BridgeOptions::fldigiEndpoint},
    {"--log", "FILE", &BridgeOptions::logFile},
};

const KnownOption* findOption(const std::string& name) {
    for (const KnownOption& option : kOptions) {
        if (charclass::equalsIgnoreCase(name.c_str(), option.name)) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    std::vector<const KnownOption*> seen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (isHelp(argument)) {
            parsed.outcome = CommandLineOutcome::Help;
            return parsed;
        }
        const std::size_t equals = argument.find('=');
        const KnownOption* option = findOption(argument.substr(0, equals));
        if (option == nullptr) {
            return failed("Unknown option: " + argument);
        }
        if (std::find(seen.begin(), seen.end(), option) != seen.end()) {
            return failed(std::string("The option ") + option->name + " is given twice.");
        }
        seen.push_back(option);
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
            value = arguments[++i];
        }
        if (value.empty()) {
            return failed(std::string("The option ") + option->name +
                          " needs a value: " + option->name + " " + option->valueName);
        }
        parsed.options.*option->value = value;
    }
    const std::string problem = endpointProblem(parsed.options.fldigiEndpoint);
    if (!problem.empty()) {
        return failed("--fldigi " + parsed.options.fldigiEndpoint + ": " + problem);
    }
    return parsed;
}

const char* usageText() {
    // One line per paragraph: the message box wraps them to its width.
    return "Usage: Varnock [--fldigi URL] [--log FILE]\n"
           "\n"
           "--fldigi URL: fldigi's XML-RPC server (default http://127.0.0.1:7362/RPC2), for "
           "example http://127.0.0.1:7363/RPC2 for an fldigi started with another XML-RPC port. "
           "Contacts are saved when fldigi's marker file appears in the configuration folder that "
           "fldigi reports: that folder must be reachable from this PC.\n"
           "\n"
           "--log FILE: appends a diagnostic log to FILE (UTF-8, one line per event). At 10 MB the "
           "file is renamed to FILE.1 and a new one is started.\n"
           "\n"
           "--help, /?: shows this help.\n"
           "\n"
           "One Varnock runs in a Windows session, whatever its --fldigi: starting it again brings "
           "the "
           "running one to the front.";
}

}  // namespace bridgeoptions

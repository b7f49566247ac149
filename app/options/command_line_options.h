// Varnock's command line: which fldigi to reach and where to keep a diagnostic log.
// Portable: the arguments come in as UTF-8 texts, without the program name.
#pragma once

#include <string>
#include <vector>

#include "app/poll/fldigi_port.h"
#include "base/endpoint.h"

namespace bridgeoptions {

struct BridgeOptions {
    // Without --fldigi: fldigi's XML-RPC server on this machine.
    std::string fldigiEndpoint = pollcycle::kFldigiEndpoint;
    std::string logFile;  // UTF-8; empty: no log
};

enum class CommandLineOutcome {
    Run,   // start the bridge with `options`
    Help,  // show the usage and end with exit code 0
    Error  // show `problem` with the usage and end with exit code 2
};

struct ParsedCommandLine {
    CommandLineOutcome outcome = CommandLineOutcome::Run;
    BridgeOptions options;
    std::string problem;
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Why the bridge's XML-RPC client could not use `url` as its endpoint; empty when it can.
using endpoint::endpointProblem;

// The help text: the options, their defaults and what --fldigi needs.
const char* usageText();

// The name of the one bridge of a Windows session, whatever fldigi endpoint it was given: one
// host means one bridge, or two would feed one entry form. Safe as a kernel object name.
inline constexpr const char* kInstanceName = "Varnock-bridge";

}  // namespace bridgeoptions

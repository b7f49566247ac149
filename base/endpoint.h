// An XML-RPC endpoint written as a URL, "http://host[:port]/path" or "https://...": split into
// its parts (the client connects to what it reads), and checked strictly (the command line
// refuses what the client would misread).
#pragma once

#include <cstdint>
#include <string>

namespace endpoint {

enum class Scheme { None, Http, Https };

// Why a URL without either scheme is refused, wherever it is refused.
inline constexpr const char* kSchemeProblem =
    "The URI must begin with \"https://\" or \"http://\".";

struct UrlParts {
    Scheme scheme = Scheme::None;  // None: the URL begins with neither scheme; the rest is empty
    uint16_t defaultPort = 0;      // 80 for http, 443 for https
    std::string host;              // from the scheme up to the first ':' or '/'
    bool portGiven = false;        // a ':' follows the host
    std::string rest;              // what follows the host (after the ':' when portGiven)
};

// The scheme (letters compared case-blind), host and the rest of `url`, as written.
UrlParts splitUrl(const char* url);

// Why the bridge's XML-RPC client could not use `url` as its endpoint; empty when it can.
std::string endpointProblem(const std::string& url);

}  // namespace endpoint

#include "base/endpoint.h"

#include <string>

#include "base/char_class.h"

namespace endpoint {
namespace {

constexpr unsigned long kHighestPort = 65535;

// The port text after the host's ':' up to the path; empty when it is fine.
std::string portProblem(const std::string& digits) {
    bool allDigits = !digits.empty() && digits.size() <= 5;
    for (const char c : digits) {
        allDigits = allDigits && charclass::isDigit(c);
    }
    if (!allDigits || std::stoul(digits) == 0 || std::stoul(digits) > kHighestPort) {
        return "The port of the URL must be a number from 1 to 65535.";
    }
    return {};
}

}  // namespace

UrlParts splitUrl(const char* url) {
    UrlParts parts;
    const char* cursor = url;
    if (charclass::startsWithIgnoreCase(url, "https://")) {
        parts.scheme = Scheme::Https;
        parts.defaultPort = 443;
        cursor += 8;
    } else if (charclass::startsWithIgnoreCase(url, "http://")) {
        parts.scheme = Scheme::Http;
        parts.defaultPort = 80;
        cursor += 7;
    } else {
        return parts;
    }
    const char* hostStart = cursor;
    while (*cursor != '\0' && *cursor != ':' && *cursor != '/') {
        ++cursor;
    }
    parts.host.assign(hostStart, cursor);
    parts.portGiven = *cursor == ':';
    parts.rest = parts.portGiven ? cursor + 1 : cursor;
    return parts;
}

std::string endpointProblem(const std::string& url) {
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
            return "The URL may hold only ASCII letters, digits and signs, without spaces.";
        }
    }
    const UrlParts parts = splitUrl(url.c_str());
    if (parts.scheme == Scheme::None) {
        return kSchemeProblem;
    }
    if (parts.host.empty()) {
        return "The URL names no host.";
    }
    if (parts.portGiven) {
        return portProblem(parts.rest.substr(0, parts.rest.find('/')));
    }
    return {};
}

}  // namespace endpoint

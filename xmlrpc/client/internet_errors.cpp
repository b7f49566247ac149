#include "xmlrpc/client/internet_errors.h"

#include <cstdio>

#include "xmlrpc/client/code_text.h"
#include "xmlrpc/client/internet_transport.h"

namespace {

constexpr CodeText kKnownErrors[] = {
    {kErrorInternetTimeout, "Internet timeout"},
    {kErrorInternetInvalidUrl, "Invalid URL"},
    {kErrorInternetNameNotResolved, "Domain name not resolved"},
    {kErrorInternetCannotConnect, "Failed to connect"},
    {kErrorInternetConnectionAborted, "Connection aborted"},
    {kErrorInternetConnectionReset, "Connection reset"},
    {kErrorInternetInvalidCa, "Invalid certificate authority"},
    {kErrorInternetSecCertRevFailed,
     "Unable to check whether security certificate was revoked or not. Is your system clock "
     "time correct?"},
    {kErrorInternetSecurityChannelError, "Talking HTTPS to an HTTP server?"},
    {kErrorInternetNotInitialized, "Internet not initialised"},
};

}  // namespace

std::string internetErrorReason(uint32_t code, const InternetTransport& transport) {
    if (const char* reason = findCodeText(kKnownErrors, code)) {
        return reason;
    }
    std::string text;
    if (transport.systemMessage(code, text)) {
        return text;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "Error %d", static_cast<int>(code));
    return buffer;
}

// XmlRpcClient::call: post one methodCall, read the whole response, dispatch on the status.
#include <algorithm>
#include <string>
#include <vector>

#include "xmlrpc/client/client.h"
#include "xmlrpc/core/envelope.h"

namespace {

const char kAuthenticationFailed[] =
    "HTTP Basic authentication failed. You need to provide a username and password.";
const char kStatusUnknown[] = "Could not query HTTP result status";
const char kResponseTooLarge[] = "Response too large";

// Makes room for `size` bytes: doubling, but never past what the largest body needs.
void growFor(std::vector<char>& buffer, size_t size) {
    if (size > buffer.capacity()) {
        buffer.reserve(
            std::max(size, std::min(2 * buffer.capacity(), XmlRpcClient::kMaxResponseBytes + 1)));
    }
    buffer.resize(size);
}

}  // namespace

bool XmlRpcClient::call(const char* methodName, const XmlRpcValue& params, XmlRpcValue& result) {
    errorText.clear();
    bytesReceived = 0;
    if (!connected()) {
        errorText = "No connection";
        return false;
    }
    std::string requestText;
    try {
        writeMethodCall(requestText, methodName, params);
    } catch (const XmlRpcException& e) {
        errorText = e.message;
        return false;
    }
    reportProgress("Sending data");
    const uint32_t flags = scheme == kSchemeHttps ? kHttpsRequestFlags : kHttpRequestFlags;
    bool succeeded = false;
    while (attempt(requestText, flags, result, succeeded) == Attempt::Retry) {
    }
    return succeeded;
}

XmlRpcClient::Attempt XmlRpcClient::attempt(const std::string& requestText, uint32_t flags,
                                            XmlRpcValue& result, bool& succeeded) {
    succeeded = false;
    InternetHandle request(transport());
    if (!openRequest(request, flags, requestText.size())) {
        return Attempt::Finished;
    }
    if (!transport().sendRequest(request.get(), requestText.data(),
                                 static_cast<uint32_t>(requestText.size()))) {
        describeInternetError("HttpSendRequest");
        return Attempt::Finished;
    }
    reportProgress("Data sent...");
    size_t total = 0;
    std::vector<char> body = readBody(request, total);
    if (errorText == kResponseTooLarge) {
        return Attempt::Finished;
    }

    uint32_t status = 0;
    if (!transport().queryStatusCode(request.get(), &status)) {
        errorText = kStatusUnknown;
        return Attempt::Finished;
    }
    httpStatus = static_cast<int32_t>(status);

    if (status == 200) {
        request.reset();
        succeeded = readResponse(body, total, result);
        return Attempt::Finished;
    }
    if (status == 401 || status == 407) {
        std::vector<char>().swap(body);
        if (askForCredentials()) {
            // A new attempt: what went wrong while reading this answer no longer applies.
            errorText.clear();
            request.reset();
            return Attempt::Retry;
        }
        errorText = kAuthenticationFailed;
        return Attempt::Finished;
    }
    describeHttpError(request);
    return Attempt::Finished;
}

bool XmlRpcClient::openRequest(InternetHandle& request, uint32_t flags, size_t contentLength) {
    static const char kAcceptType[] = "text/*";
    request.reset(transport().openRequest(connectionHandle.get(), "POST", path.c_str(), "HTTP/1.0",
                                          kAcceptType, flags, this));
    if (!request) {
        describeInternetError("HttpOpenRequest");
        return false;
    }
    transport().setStatusCallback(request.get(), &XmlRpcClient::onInternetStatus);
    if (acceptUnknownAuthority) {
        uint32_t securityFlags = 0;
        uint32_t length = sizeof securityFlags;
        transport().queryOption(request.get(), kInternetOptionSecurityFlags, &securityFlags,
                                &length);
        securityFlags |= kSecurityFlagIgnoreUnknownCa;
        transport().setOption(request.get(), kInternetOptionSecurityFlags, &securityFlags,
                              sizeof securityFlags);
    }
    const std::string headers =
        "Content-Type: text/xml\r\nContent-length: " + std::to_string(contentLength);
    transport().addHeaders(request.get(), headers.c_str(), static_cast<uint32_t>(headers.size()));
    return true;
}

std::vector<char> XmlRpcClient::readBody(InternetHandle& request, size_t& total) {
    std::vector<char> buffer;
    total = 0;
    for (;;) {
        uint32_t available = 0;
        if (!transport().queryDataAvailable(request.get(), &available)) {
            describeInternetError("InternetQueryDataAvailable");
            break;
        }
        if (available == 0) {
            break;
        }
        if (available > kMaxResponseBytes - total) {
            errorText = kResponseTooLarge;
            total = 0;
            return {};
        }
        growFor(buffer, total + available + 1);
        uint32_t bytesRead = 0;
        if (!transport().readFile(request.get(), buffer.data() + total, available, &bytesRead)) {
            describeInternetError("InternetReadFile");
            break;
        }
        if (bytesRead == 0) {
            break;  // the end of the data, whatever was announced
        }
        if (bytesRead > available) {  // never trust a count beyond the room given
            bytesRead = available;
        }
        total += bytesRead;
        buffer[total] = '\0';
        bytesReceived = total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
    }
    return buffer;
}

bool XmlRpcClient::readResponse(const std::vector<char>& body, size_t total, XmlRpcValue& result) {
    if (total == 0) {
        errorText = "Invalid XMLRPC response: content size is 0";
        return false;
    }
    try {
        const bool normal = readMethodResponse(body.data(), result);
        faultReceived = !normal;
        if (!normal) {
            errorText = faultText(result);
        }
    } catch (const XmlRpcException& e) {
        errorText = e.message;
    }
    return errorText.empty();
}

bool XmlRpcClient::askForCredentials() {
    if (!credentialsHook) {
        return false;
    }
    if (!credentialsHook(userName[0] != '\0', userName, password)) {
        return false;
    }
    userName[sizeof userName - 1] = '\0';
    password[sizeof password - 1] = '\0';
    transport().setOption(connectionHandle.get(), kInternetOptionUserName, userName,
                          static_cast<uint32_t>(std::char_traits<char>::length(userName)));
    transport().setOption(connectionHandle.get(), kInternetOptionPassword, password,
                          static_cast<uint32_t>(std::char_traits<char>::length(password)));
    return true;
}

void XmlRpcClient::describeHttpError(InternetHandle& request) {
    uint32_t length = 0;
    transport().queryStatusText(request.get(), nullptr, &length);
    std::vector<char> reason(size_t{length} + 1, '\0');
    uint32_t size = length + 1;
    if (transport().queryStatusText(request.get(), reason.data(), &size)) {
        reason.back() = '\0';
        errorText = "Low level (HTTP) error: " + std::to_string(httpStatus) + " " + reason.data();
    } else {
        errorText = kStatusUnknown;
    }
}

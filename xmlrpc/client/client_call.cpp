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
    clearError();
    bytesReceived_ = 0;
    if (!connected()) {
        setError(ErrorKind::NotConnected, "No connection");
        return false;
    }
    std::string requestText;
    try {
        writeMethodCall(requestText, methodName, params);
    } catch (const XmlRpcException& e) {
        setError(ErrorKind::Encode, e.message);
        return false;
    }
    reportProgress("Sending data");
    const uint32_t flags = scheme_ == kSchemeHttps ? kHttpsRequestFlags : kHttpRequestFlags;
    bool succeeded = false;
    resentOnDroppedConnection_ = false;
    while (attempt(requestText, flags, result, succeeded) == Attempt::Retry) {
    }
    return succeeded;
}

XmlRpcClient::Attempt XmlRpcClient::attempt(const std::string& requestText, uint32_t flags,
                                            XmlRpcValue& result, bool& succeeded) {
    succeeded = false;
    InternetHandle request = ownInternetHandle(transport_);
    if (!openRequest(request, flags, requestText.size())) {
        return Attempt::Finished;
    }
    if (!transport_.sendRequest(request.get(), requestText.data(),
                                static_cast<uint32_t>(requestText.size()))) {
        const uint32_t code = transport_.lastError();
        if ((code == kErrorInternetConnectionAborted || code == kErrorInternetConnectionReset) &&
            !resentOnDroppedConnection_) {
            // A kept-alive connection the server had closed meanwhile: nothing was answered,
            // so the request is sent once more.
            resentOnDroppedConnection_ = true;
            return Attempt::Retry;
        }
        describeInternetError("HttpSendRequest", ErrorKind::Send);
        return Attempt::Finished;
    }
    reportProgress("Data sent...");
    size_t total = 0;
    std::vector<char> body = readBody(request, total);
    if (errorKind_ == ErrorKind::TooLarge) {
        return Attempt::Finished;
    }

    uint32_t status = 0;
    if (!transport_.queryStatusCode(request.get(), &status)) {
        setError(ErrorKind::StatusUnreadable, kStatusUnknown);
        return Attempt::Finished;
    }
    httpStatus_ = static_cast<int32_t>(status);

    if (status == 200) {
        request.reset();
        succeeded = readResponse(body, total, result);
        return Attempt::Finished;
    }
    if (status == 401 || status == 407) {
        std::vector<char>().swap(body);
        if (askForCredentials()) {
            // A new attempt: what went wrong while reading this answer no longer applies.
            clearError();
            request.reset();
            return Attempt::Retry;
        }
        setError(ErrorKind::Authentication, kAuthenticationFailed);
        return Attempt::Finished;
    }
    describeHttpError(request);
    return Attempt::Finished;
}

bool XmlRpcClient::openRequest(InternetHandle& request, uint32_t flags, size_t contentLength) {
    static const char kAcceptType[] = "text/*";
    request.reset(transport_.openRequest(connectionHandle_.get(), "POST", path_.c_str(), "HTTP/1.0",
                                         kAcceptType, flags, this));
    if (!request) {
        describeInternetError("HttpOpenRequest", ErrorKind::Send);
        return false;
    }
    transport_.setStatusCallback(request.get(), &XmlRpcClient::onInternetStatus);
    if (acceptUnknownAuthority_) {
        uint32_t securityFlags = 0;
        uint32_t length = sizeof securityFlags;
        transport_.queryOption(request.get(), kInternetOptionSecurityFlags, &securityFlags,
                               &length);
        securityFlags |= kSecurityFlagIgnoreUnknownCa;
        transport_.setOption(request.get(), kInternetOptionSecurityFlags, &securityFlags,
                             sizeof securityFlags);
    }
    const std::string headers =
        "Content-Type: text/xml\r\nContent-length: " + std::to_string(contentLength);
    transport_.addHeaders(request.get(), headers.c_str(), static_cast<uint32_t>(headers.size()));
    return true;
}

std::vector<char> XmlRpcClient::readBody(InternetHandle& request, size_t& total) {
    std::vector<char> buffer;
    total = 0;
    for (;;) {
        uint32_t available = 0;
        if (!transport_.queryDataAvailable(request.get(), &available)) {
            describeInternetError("InternetQueryDataAvailable", ErrorKind::Receive);
            break;
        }
        if (available == 0) {
            break;
        }
        if (available > kMaxResponseBytes - total) {
            setError(ErrorKind::TooLarge, kResponseTooLarge);
            total = 0;
            return {};
        }
        growFor(buffer, total + available + 1);
        uint32_t bytesRead = 0;
        if (!transport_.readFile(request.get(), buffer.data() + total, available, &bytesRead)) {
            describeInternetError("InternetReadFile", ErrorKind::Receive);
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
        bytesReceived_ = total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
    }
    return buffer;
}

bool XmlRpcClient::readResponse(const std::vector<char>& body, size_t total, XmlRpcValue& result) {
    if (total == 0) {
        setError(ErrorKind::EmptyResponse, "Invalid XMLRPC response: content size is 0");
        return false;
    }
    try {
        const bool normal = readMethodResponse(body.data(), result);
        faultReceived_ = !normal;
        if (!normal) {
            setError(ErrorKind::Fault, faultText(result));
        }
    } catch (const XmlRpcException& e) {
        setError(ErrorKind::Decode, e.message);
    }
    return errorText_.empty();
}

bool XmlRpcClient::askForCredentials() {
    if (!credentialsHook_) {
        return false;
    }
    if (!credentialsHook_(userName_[0] != '\0', userName_, password_)) {
        return false;
    }
    userName_[sizeof userName_ - 1] = '\0';
    password_[sizeof password_ - 1] = '\0';
    transport_.setOption(connectionHandle_.get(), kInternetOptionUserName, userName_,
                         static_cast<uint32_t>(std::char_traits<char>::length(userName_)));
    transport_.setOption(connectionHandle_.get(), kInternetOptionPassword, password_,
                         static_cast<uint32_t>(std::char_traits<char>::length(password_)));
    return true;
}

void XmlRpcClient::describeHttpError(InternetHandle& request) {
    uint32_t length = 0;
    transport_.queryStatusText(request.get(), nullptr, &length);
    std::vector<char> reason(size_t{length} + 1, '\0');
    uint32_t size = length + 1;
    if (transport_.queryStatusText(request.get(), reason.data(), &size)) {
        reason.back() = '\0';
        setError(ErrorKind::HttpStatus,
                 "Low level (HTTP) error: " + std::to_string(httpStatus_) + " " + reason.data());
    } else {
        setError(ErrorKind::StatusUnreadable, kStatusUnknown);
    }
}

// XmlRpcClient: construction (URL parsing and the connect step), progress and error texts.
#include "xmlrpc/client/client.h"

#include <cstdio>

#include "base/endpoint.h"
#include "xmlrpc/client/code_text.h"
#include "xmlrpc/client/internet_errors.h"
#include "xmlrpc/core/numbers.h"

namespace {

// The progress texts of the transport's fixed steps.
constexpr CodeText kStatusTexts[] = {
    {kInternetStatusSendingRequest, "Sending data"},
    {kInternetStatusRequestSent, "Data sent"},
    {kInternetStatusResponseReceived, "Response received"},
    {kInternetStatusHandleClosing, "Handle closing"},
};

}  // namespace

XmlRpcClient::XmlRpcClient(const char* url) : XmlRpcClient(url, platformInternetTransport()) {}

XmlRpcClient::XmlRpcClient(const char* url, InternetTransport& transport, uint32_t receiveTimeoutMs)
    : internetHandle(transport), connectionHandle(transport) {
    std::string host;
    if (parseUrl(url != nullptr ? url : "", host)) {
        connect(host, receiveTimeoutMs);
    }
}

bool XmlRpcClient::parseUrl(const char* url, std::string& host) {
    const endpoint::UrlParts parts = endpoint::splitUrl(url);
    if (parts.scheme == endpoint::Scheme::None) {
        errorText = endpoint::kSchemeProblem;
        return false;
    }
    scheme = parts.scheme == endpoint::Scheme::Https ? kSchemeHttps : kSchemeHttp;
    port = parts.defaultPort;
    host = parts.host;
    const char* cursor = parts.rest.c_str();
    if (parts.portGiven) {
        // Read as strtol reads it (32-bit long), kept in 16 bits: 70000 becomes 4464.
        int32_t number = 0;
        const char* stop = cursor;
        parseLong32(cursor, nullptr, &stop, &number);
        port = static_cast<uint16_t>(static_cast<uint32_t>(number));
        while (*cursor >= '0' && *cursor <= '9') {
            ++cursor;
        }
    }
    path = cursor;
    return true;
}

void XmlRpcClient::connect(const std::string& host, uint32_t receiveTimeoutMs) {
    progressHook = nullptr;
    progressContext = nullptr;
    bytesReceived = 0;
    internetHandle.reset(transport().openRoot("XmlRpc"));
    if (!internetHandle) {
        describeInternetError("InternetOpen");
        return;
    }
    connectionHandle.reset(transport().connect(internetHandle.get(), host.c_str(), port, this));
    if (!connectionHandle) {
        describeInternetError("InternetConnect");
        return;
    }
    const uint32_t timeout = receiveTimeoutMs;
    transport().setOption(internetHandle.get(), kInternetOptionReceiveTimeout, &timeout,
                          sizeof timeout);
    transport().setOption(connectionHandle.get(), kInternetOptionReceiveTimeout, &timeout,
                          sizeof timeout);
}

void XmlRpcClient::describeInternetError(const char* step) {
    const uint32_t code = transport().lastError();
    errorText = step;
    errorText += " : ";
    errorText += internetErrorReason(code, transport());
}

void XmlRpcClient::reportProgress(const char* text) const {
    if (progressHook != nullptr) {
        progressHook(progressContext, text);
    }
}

void XmlRpcClient::onInternetStatus(void* context, uint32_t status) {
    const auto* client = static_cast<const XmlRpcClient*>(context);
    if (client == nullptr || client->progressHook == nullptr) {
        return;
    }
    if (status == kInternetStatusReceivingResponse) {
        client->reportProgress(client->bytesReceived == 0 ? "Waiting for response"
                                                          : "Receiving response");
        return;
    }
    if (const char* text = findCodeText(kStatusTexts, status)) {
        client->reportProgress(text);
        return;
    }
    // One buffer for the whole process: clients are used from one thread at a time.
    static char statusText[512];
    std::snprintf(statusText, sizeof statusText, "Status %u", status);
    client->reportProgress(statusText);
}

// XmlRpcClient: construction (URL parsing and the connect step), progress and error texts.
#include "xmlrpc/client/client.h"

#include <cstdio>
#include <utility>

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

XmlRpcClient::XmlRpcClient(const char* url)
    : XmlRpcClient(url, makePlatformInternetTransport(), nullptr, kDefaultReceiveTimeoutMs) {}

XmlRpcClient::XmlRpcClient(const char* url, InternetTransport& transport, uint32_t receiveTimeoutMs)
    : XmlRpcClient(url, nullptr, &transport, receiveTimeoutMs) {}

XmlRpcClient::XmlRpcClient(const char* url, std::unique_ptr<InternetTransport> own,
                           InternetTransport* external, uint32_t receiveTimeoutMs)
    : ownTransport_(std::move(own)),
      transport_(external != nullptr ? *external : *ownTransport_),
      internetHandle_(ownInternetHandle(transport_)),
      connectionHandle_(ownInternetHandle(transport_)) {
    std::string host;
    if (parseUrl(url != nullptr ? url : "", host)) {
        connect(host, receiveTimeoutMs);
    }
}

bool XmlRpcClient::parseUrl(const char* url, std::string& host) {
    const endpoint::UrlParts parts = endpoint::splitUrl(url);
    if (parts.scheme == endpoint::Scheme::None) {
        setError(ErrorKind::InvalidUrl, endpoint::kSchemeProblem);
        return false;
    }
    scheme_ = parts.scheme == endpoint::Scheme::Https ? kSchemeHttps : kSchemeHttp;
    port_ = parts.defaultPort;
    host = parts.host;
    const char* cursor = parts.rest.c_str();
    if (parts.portGiven) {
        // Read as strtol reads it (32-bit long), kept in 16 bits: 70000 becomes 4464.
        int32_t number = 0;
        const char* stop = cursor;
        parseLong32(cursor, nullptr, &stop, &number);
        port_ = static_cast<uint16_t>(static_cast<uint32_t>(number));
        while (*cursor >= '0' && *cursor <= '9') {
            ++cursor;
        }
    }
    path_ = cursor;
    return true;
}

void XmlRpcClient::connect(const std::string& host, uint32_t receiveTimeoutMs) {
    progressHook_ = nullptr;
    progressContext_ = nullptr;
    bytesReceived_ = 0;
    internetHandle_.reset(transport_.openRoot("XmlRpc"));
    if (!internetHandle_) {
        describeInternetError("InternetOpen", ErrorKind::Connect);
        return;
    }
    connectionHandle_.reset(transport_.connect(internetHandle_.get(), host.c_str(), port_, this));
    if (!connectionHandle_) {
        describeInternetError("InternetConnect", ErrorKind::Connect);
        return;
    }
    const uint32_t timeout = receiveTimeoutMs;
    transport_.setOption(internetHandle_.get(), kInternetOptionReceiveTimeout, &timeout,
                         sizeof timeout);
    transport_.setOption(connectionHandle_.get(), kInternetOptionReceiveTimeout, &timeout,
                         sizeof timeout);
}

void XmlRpcClient::setError(ErrorKind kind, std::string text) {
    errorKind_ = text.empty() ? ErrorKind::None : kind;
    errorText_ = std::move(text);
}

void XmlRpcClient::describeInternetError(const char* step, ErrorKind kind) {
    const uint32_t code = transport_.lastError();
    setError(code == kErrorInternetTimeout ? ErrorKind::TimedOut : kind,
             std::string(step) + " : " + internetErrorReason(code, transport_));
}

void XmlRpcClient::reportProgress(const char* text) const {
    if (progressHook_ != nullptr) {
        progressHook_(progressContext_, text);
    }
}

void XmlRpcClient::onInternetStatus(void* context, uint32_t status) {
    const auto* client = static_cast<const XmlRpcClient*>(context);
    if (client == nullptr || client->progressHook_ == nullptr) {
        return;
    }
    if (status == kInternetStatusReceivingResponse) {
        client->reportProgress(client->bytesReceived_ == 0 ? "Waiting for response"
                                                           : "Receiving response");
        return;
    }
    if (const char* text = findCodeText(kStatusTexts, status)) {
        client->reportProgress(text);
        return;
    }
    // The text lives only during the hook's call.
    char statusText[512];
    std::snprintf(statusText, sizeof statusText, "Status %u", status);
    client->reportProgress(statusText);
}

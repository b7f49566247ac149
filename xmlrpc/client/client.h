// XmlRpcClient: one XML-RPC server, one call at a time, over HTTP or HTTPS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "xmlrpc/client/internet_transport.h"
#include "xmlrpc/core/value.h"

class XmlRpcClient {
  public:
    // Asked for credentials after a 401 or 407 answer. `isRetry` is true when `userName` already
    // holds a text. Writes at most 255 characters into each of the two 256-char buffers and
    // returns true to try again with them, false to give up.
    using CredentialsHook = std::function<bool(bool isRetry, char* userName, char* password)>;
    // Receives a progress text, valid only during the call.
    using ProgressHook = void (*)(void* context, const char* text);

    static constexpr int32_t kSchemeHttp = 1;
    static constexpr int32_t kSchemeHttps = 2;
    static constexpr uint32_t kDefaultReceiveTimeoutMs = 999000;
    // The largest response body read; a longer one fails the call with "Response too large"
    // as soon as it grows past this, whatever its headers announce.
    static constexpr size_t kMaxResponseBytes = size_t{64} << 20;
    static constexpr uint32_t kHttpRequestFlags =
        kInternetFlagKeepConnection | kInternetFlagNoCacheWrite;  // 0x04400000
    static constexpr uint32_t kHttpsRequestFlags = kHttpRequestFlags | kInternetFlagSecure |
                                                   kInternetFlagIgnoreCertDateInvalid |
                                                   kInternetFlagIgnoreCertCnInvalid;  // 0x04C03000

    // Parses `url` ("http://host[:port]/path" or "https://...") and connects over the
    // platform's transport. A rejected URL or a failed connect step leaves the client
    // unconnected with the reason in errorText.
    explicit XmlRpcClient(const char* url);
    // The same over another transport; `receiveTimeoutMs` replaces the default receive
    // time-out (tests use a short one).
    XmlRpcClient(const char* url, InternetTransport& transport,
                 uint32_t receiveTimeoutMs = kDefaultReceiveTimeoutMs);
    // Closes the connection handle, then the root handle (members go in reverse order).
    ~XmlRpcClient() = default;
    XmlRpcClient(const XmlRpcClient&) = delete;
    XmlRpcClient& operator=(const XmlRpcClient&) = delete;

    // Calls `methodName` with `params` (Undefined: none; Array: one per element; else one).
    // `result` receives the returned value or the fault value. Returns errorText.empty().
    bool call(const char* methodName, const XmlRpcValue& params, XmlRpcValue& result);

    bool connected() const { return static_cast<bool>(connectionHandle); }

    // Status callback of every request: turns platform status numbers into progress texts.
    static void onInternetStatus(void* context, uint32_t status);

    int32_t scheme = 0;
    bool acceptUnknownAuthority = false;
    InternetHandle internetHandle;
    InternetHandle connectionHandle;
    std::string path;
    uint16_t port = 0;
    CredentialsHook credentialsHook;
    char userName[256] = {};
    char password[256] = {};
    ProgressHook progressHook = nullptr;
    void* progressContext = nullptr;
    int32_t bytesReceived = 0;
    std::string errorText;
    int32_t httpStatus = 0;
    bool faultReceived = false;

  private:
    enum class Attempt { Finished, Retry };

    bool parseUrl(const char* url, std::string& host);
    void connect(const std::string& host, uint32_t receiveTimeoutMs);
    InternetTransport& transport() const { return internetHandle.transport(); }
    void describeInternetError(const char* step);
    void reportProgress(const char* text) const;

    Attempt attempt(const std::string& requestText, uint32_t flags, XmlRpcValue& result,
                    bool& succeeded);
    bool openRequest(InternetHandle& request, uint32_t flags, size_t contentLength);
    // The body with a zero byte after it; `total` bytes of it were received. Returns an empty
    // body, with errorText set, when the body grows past kMaxResponseBytes.
    std::vector<char> readBody(InternetHandle& request, size_t& total);
    bool readResponse(const std::vector<char>& body, size_t total, XmlRpcValue& result);
    bool askForCredentials();
    void describeHttpError(InternetHandle& request);
};

// XmlRpcClient: one XML-RPC server, one call at a time, over HTTP or HTTPS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
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
    // (TooLarge) as soon as it grows past this, whatever its headers announce.
    static constexpr size_t kMaxResponseBytes = size_t{64} << 20;
    static constexpr uint32_t kHttpRequestFlags =
        kInternetFlagKeepConnection | kInternetFlagNoCacheWrite;  // 0x04400000
    static constexpr uint32_t kHttpsRequestFlags = kHttpRequestFlags | kInternetFlagSecure |
                                                   kInternetFlagIgnoreCertDateInvalid |
                                                   kInternetFlagIgnoreCertCnInvalid;  // 0x04C03000

    // What the last call (or the construction) failed of: None exactly when errorText is
    // empty. The text says it for people, the kind for code.
    enum class ErrorKind {
        None,
        InvalidUrl,        // the URL begins with neither "https://" nor "http://"
        Connect,           // the root or the connection handle could not be opened
        NotConnected,      // a call on a client whose construction failed
        Encode,            // the request could not be written
        Send,              // the request could not be opened or sent
        Receive,           // reading the body failed
        TimedOut,          // a step failed because the platform's time-out ran out
        TooLarge,          // the body grew past kMaxResponseBytes
        StatusUnreadable,  // the status code or its reason phrase could not be read
        HttpStatus,        // a status other than 200, 401 and 407
        Authentication,    // 401 or 407, and no (more) credentials to try
        EmptyResponse,     // 200 without a body
        Decode,            // the body, or the fault in it, could not be read
        Fault,             // the server answered with a fault
    };

    // Parses `url` ("http://host[:port]/path" or "https://...") and connects over a transport
    // of the platform's, which the client owns. A rejected URL or a failed connect step leaves
    // the client unconnected with the reason in errorText.
    explicit XmlRpcClient(const char* url);
    // The same over the caller's transport, which must outlive the client; `receiveTimeoutMs`
    // replaces the default receive time-out.
    XmlRpcClient(const char* url, InternetTransport& transport,
                 uint32_t receiveTimeoutMs = kDefaultReceiveTimeoutMs);
    // Closes the connection handle, then the root handle (members go in reverse order).
    ~XmlRpcClient() = default;
    XmlRpcClient(const XmlRpcClient&) = delete;
    XmlRpcClient& operator=(const XmlRpcClient&) = delete;

    // Calls `methodName` with `params` (Undefined: none; Array: one per element; else one).
    // `result` receives the returned value or the fault value. Returns errorText().empty().
    bool call(const char* methodName, const XmlRpcValue& params, XmlRpcValue& result);

    bool connected() const { return static_cast<bool>(connectionHandle_); }

    // Status callback of every request: turns platform status numbers into progress texts.
    static void onInternetStatus(void* context, uint32_t status);

    // What the caller may set between calls.
    void setAcceptUnknownAuthority(bool accept) { acceptUnknownAuthority_ = accept; }
    void setCredentialsHook(CredentialsHook hook) { credentialsHook_ = std::move(hook); }
    void setProgressHook(ProgressHook hook, void* context) {
        progressHook_ = hook;
        progressContext_ = context;
    }

    // The client's state, in the order it is kept.
    int32_t scheme() const { return scheme_; }  // kSchemeHttp or kSchemeHttps; 0 before
    bool acceptUnknownAuthority() const { return acceptUnknownAuthority_; }
    InternetTransport::Handle internetHandle() const { return internetHandle_.get(); }
    InternetTransport::Handle connectionHandle() const { return connectionHandle_.get(); }
    const std::string& path() const { return path_; }
    uint16_t port() const { return port_; }
    const CredentialsHook& credentialsHook() const { return credentialsHook_; }
    const char* userName() const { return userName_; }  // what the hook last wrote
    const char* password() const { return password_; }
    ProgressHook progressHook() const { return progressHook_; }
    void* progressContext() const { return progressContext_; }
    int32_t bytesReceived() const { return bytesReceived_; }  // by the current or last call
    const std::string& errorText() const { return errorText_; }
    ErrorKind errorKind() const { return errorKind_; }
    int32_t httpStatus() const { return httpStatus_; }  // of the last response with one
    bool faultReceived() const { return faultReceived_; }

  private:
    enum class Attempt { Finished, Retry };

    // Over `external`, or over `own` when that is null.
    XmlRpcClient(const char* url, std::unique_ptr<InternetTransport> own,
                 InternetTransport* external, uint32_t receiveTimeoutMs);
    bool parseUrl(const char* url, std::string& host);
    void connect(const std::string& host, uint32_t receiveTimeoutMs);
    // errorText and errorKind together; an empty text is no error.
    void setError(ErrorKind kind, std::string text);
    void clearError() { setError(ErrorKind::None, {}); }
    // "<step> : <reason>" for the transport's last error.
    void describeInternetError(const char* step, ErrorKind kind);
    void reportProgress(const char* text) const;

    Attempt attempt(const std::string& requestText, uint32_t flags, XmlRpcValue& result,
                    bool& succeeded);
    bool openRequest(InternetHandle& request, uint32_t flags, size_t contentLength);
    // The body with a zero byte after it; `total` bytes of it were received. Returns an empty
    // body, with the error TooLarge, when the body grows past kMaxResponseBytes.
    std::vector<char> readBody(InternetHandle& request, size_t& total);
    bool readResponse(const std::vector<char>& body, size_t total, XmlRpcValue& result);
    bool askForCredentials();
    void describeHttpError(InternetHandle& request);

    // Set when the client made its own transport; declared first, so it goes last.
    std::unique_ptr<InternetTransport> ownTransport_;
    InternetTransport& transport_;
    int32_t scheme_ = 0;
    bool acceptUnknownAuthority_ = false;
    InternetHandle internetHandle_;
    InternetHandle connectionHandle_;
    std::string path_;
    uint16_t port_ = 0;
    CredentialsHook credentialsHook_;
    char userName_[256] = {};
    char password_[256] = {};
    ProgressHook progressHook_ = nullptr;
    void* progressContext_ = nullptr;
    int32_t bytesReceived_ = 0;
    std::string errorText_;
    ErrorKind errorKind_ = ErrorKind::None;
    int32_t httpStatus_ = 0;
    bool faultReceived_ = false;
    bool resentOnDroppedConnection_ = false;  // within the call under way
};

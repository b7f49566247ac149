// The internet operations XmlRpcClient needs, as one small interface. The Windows build
// implements it over WinINet, the native build over POSIX sockets (http only), and the unit
// tests over a scripted fake. Option numbers, flags, status and error codes are WinINet's, so
// the WinINet implementation passes them straight through and the others report the same
// conditions with the same numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/unique_handle.h"

// Option numbers for setOption / queryOption.
constexpr uint32_t kInternetOptionReceiveTimeout = 6;  // 4 bytes, milliseconds
constexpr uint32_t kInternetOptionUserName = 28;       // text, length without terminator
constexpr uint32_t kInternetOptionPassword = 29;       // text, length without terminator
constexpr uint32_t kInternetOptionSecurityFlags = 31;  // 4 bytes
constexpr uint32_t kSecurityFlagIgnoreUnknownCa = 0x100;

// Request flags.
constexpr uint32_t kInternetFlagSecure = 0x00800000;
constexpr uint32_t kInternetFlagKeepConnection = 0x00400000;
constexpr uint32_t kInternetFlagNoCacheWrite = 0x04000000;
constexpr uint32_t kInternetFlagIgnoreCertDateInvalid = 0x00002000;
constexpr uint32_t kInternetFlagIgnoreCertCnInvalid = 0x00001000;

// Status numbers given to the status callback.
constexpr uint32_t kInternetStatusResolvingName = 10;
constexpr uint32_t kInternetStatusNameResolved = 11;
constexpr uint32_t kInternetStatusConnectingToServer = 20;
constexpr uint32_t kInternetStatusConnectedToServer = 21;
constexpr uint32_t kInternetStatusSendingRequest = 30;
constexpr uint32_t kInternetStatusRequestSent = 31;
constexpr uint32_t kInternetStatusReceivingResponse = 40;
constexpr uint32_t kInternetStatusResponseReceived = 41;
constexpr uint32_t kInternetStatusHandleClosing = 70;

// Error codes reported by lastError().
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorInternetTimeout = 12002;
constexpr uint32_t kErrorInternetInvalidUrl = 12005;
constexpr uint32_t kErrorInternetUnrecognizedScheme = 12006;
constexpr uint32_t kErrorInternetNameNotResolved = 12007;
constexpr uint32_t kErrorInternetIncorrectHandleType = 12018;
constexpr uint32_t kErrorInternetCannotConnect = 12029;
constexpr uint32_t kErrorInternetConnectionAborted = 12030;
constexpr uint32_t kErrorInternetConnectionReset = 12031;
constexpr uint32_t kErrorInternetInvalidCa = 12045;
constexpr uint32_t kErrorInternetSecCertRevFailed = 12057;
constexpr uint32_t kErrorHttpHeaderNotFound = 12150;
constexpr uint32_t kErrorHttpInvalidServerResponse = 12152;
constexpr uint32_t kErrorInternetSecurityChannelError = 12157;
constexpr uint32_t kErrorInternetNotInitialized = 12172;

// Called during operations on a request handle, on the calling thread, with the context given
// when the request was opened.
using InternetStatusCallback = void (*)(void* context, uint32_t status);

class InternetTransport {
  public:
    using Handle = void*;

    virtual ~InternetTransport() = default;

    // Root handle for user agent `agent`, using the system's proxy settings, synchronous.
    virtual Handle openRoot(const char* agent) = 0;
    // Handle for one HTTP server; nothing goes over the network yet.
    virtual Handle connect(Handle root, const char* host, uint16_t port, void* context) = 0;
    // Request on a connection; `acceptType` is the only accepted media type.
    virtual Handle openRequest(Handle connection, const char* verb, const char* path,
                               const char* version, const char* acceptType, uint32_t flags,
                               void* context) = 0;
    virtual bool setOption(Handle handle, uint32_t option, const void* data, uint32_t length) = 0;
    // `length`: in, the buffer size; out, the bytes stored.
    virtual bool queryOption(Handle handle, uint32_t option, void* data, uint32_t* length) = 0;
    virtual void setStatusCallback(Handle request, InternetStatusCallback callback) = 0;
    // Adds CR LF separated header lines to the request.
    virtual bool addHeaders(Handle request, const char* headers, uint32_t length) = 0;
    // Sends the request with `body`; succeeds once the response head has arrived.
    virtual bool sendRequest(Handle request, const void* body, uint32_t length) = 0;
    // Body bytes that can be read now, waiting for them when needed; 0 at the end of the body.
    virtual bool queryDataAvailable(Handle request, uint32_t* available) = 0;
    virtual bool readFile(Handle request, void* buffer, uint32_t size, uint32_t* bytesRead) = 0;
    virtual bool queryStatusCode(Handle request, uint32_t* statusCode) = 0;
    // The reason phrase. `length`: in, the buffer size; out, the text length without the
    // terminator. With a buffer too small it fails with kErrorInsufficientBuffer and `length`
    // is the size needed.
    virtual bool queryStatusText(Handle request, char* buffer, uint32_t* length) = 0;
    virtual bool closeHandle(Handle handle) = 0;

    // The code of the last failed operation on this thread (WinINet keeps it per thread, the
    // others per transport).
    virtual uint32_t lastError() const = 0;
    // The system's text for an error code, if it has one.
    virtual bool systemMessage(uint32_t code, std::string& text) const = 0;
};

// A new transport of the platform's: WinINet on Windows, POSIX sockets elsewhere. Its last
// error is its own; one thread uses it at a time.
std::unique_ptr<InternetTransport> makePlatformInternetTransport();

// A handle of a transport, closed by that transport.
struct InternetHandleTraits {
    using Handle = InternetTransport::Handle;
    static constexpr Handle null() noexcept { return nullptr; }
    void close(Handle handle) const noexcept { transport->closeHandle(handle); }

    InternetTransport* transport = nullptr;
};
using InternetHandle = UniqueHandle<InternetHandleTraits>;

// Owns `handle` (null: nothing yet) for `transport`, which closes it.
inline InternetHandle ownInternetHandle(InternetTransport& transport,
                                        InternetTransport::Handle handle = nullptr) {
    return InternetHandle(handle, InternetHandleTraits{&transport});
}

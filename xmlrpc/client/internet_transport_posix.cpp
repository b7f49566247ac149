// The transport over POSIX sockets (native build): plain HTTP only. A request connects when it
// is sent, writes an HTTP/1.0 request, reads the response head before sendRequest returns and
// the body on demand; it closes its socket when the request handle is closed.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "xmlrpc/client/http_response_reader.h"
#include "xmlrpc/client/internet_transport.h"
#include "xmlrpc/client/posix_socket.h"
#include "xmlrpc/core/codecs.h"

namespace {

constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorInternetInvalidOption = 12009;
constexpr uint32_t kDefaultReceiveTimeoutMs = 30000;
constexpr uint32_t kConnectTimeoutMs = 60000;
constexpr size_t kReceiveChunk = 64 * 1024;

struct PosixHandle {
    enum class Kind { Root, Connection, Request };
    explicit PosixHandle(Kind k) : kind(k) {}
    virtual ~PosixHandle() = default;
    const Kind kind;
    uint32_t receiveTimeoutMs = kDefaultReceiveTimeoutMs;
};

struct Connection final : PosixHandle {
    Connection() : PosixHandle(Kind::Connection) {}
    std::string host;
    uint16_t port = 0;
    std::string userName;
    std::string password;
};

struct Request final : PosixHandle {
    Request() : PosixHandle(Kind::Request) {}
    const Connection* connection = nullptr;
    std::string verb;
    std::string path;
    std::string version;
    std::string acceptType;
    std::string addedHeaders;
    uint32_t securityFlags = 0;
    InternetStatusCallback callback = nullptr;
    void* context = nullptr;
    PosixSocket socket;
    HttpResponseReader reader;
    std::string pending;  // decoded body bytes not yet handed out
    size_t pendingOffset = 0;

    void report(uint32_t status) const {
        if (callback != nullptr) {
            callback(context, status);
        }
    }
    size_t pendingSize() const { return pending.size() - pendingOffset; }
};

PosixHandle* handleOf(InternetTransport::Handle handle) {
    return static_cast<PosixHandle*>(handle);
}

Request* requestOf(InternetTransport::Handle handle) {
    PosixHandle* base = handleOf(handle);
    return base != nullptr && base->kind == PosixHandle::Kind::Request ? static_cast<Request*>(base)
                                                                       : nullptr;
}

Connection* connectionOf(InternetTransport::Handle handle) {
    PosixHandle* base = handleOf(handle);
    return base != nullptr && base->kind == PosixHandle::Kind::Connection
               ? static_cast<Connection*>(base)
               : nullptr;
}

uint32_t errorForFailure(HttpResponseReader::Failure failure) {
    return failure == HttpResponseReader::Failure::Truncated ? kErrorInternetConnectionAborted
                                                             : kErrorHttpInvalidServerResponse;
}

std::string requestHead(const Request& request) {
    const Connection& connection = *request.connection;
    std::string head = request.verb + " " + (request.path.empty() ? "/" : request.path) + " " +
                       request.version + "\r\nHost: " + connection.host;
    if (connection.port != 80) {
        head += ":" + std::to_string(connection.port);
    }
    head += "\r\nUser-Agent: XmlRpc\r\nAccept: " + request.acceptType +
            "\r\nConnection: keep-alive\r\n";
    if (!connection.userName.empty()) {
        const std::string credentials = connection.userName + ":" + connection.password;
        std::string encoded = encodeBase64(credentials.data(), credentials.size());
        encoded.erase(std::remove(encoded.begin(), encoded.end(), '\n'), encoded.end());
        head += "Authorization: Basic " + encoded + "\r\n";
    }
    head += request.addedHeaders;
    head += "\r\n";
    return head;
}

// Receives once and feeds the reader; false with the reason in `error` on failure.
bool receiveMore(Request& request, uint32_t& error) {
    char buffer[kReceiveChunk];
    size_t received = 0;
    request.report(kInternetStatusReceivingResponse);
    if (!request.socket.receive(buffer, sizeof buffer, request.receiveTimeoutMs, received, error)) {
        return false;
    }
    request.report(kInternetStatusResponseReceived);
    const bool ok = received == 0 ? request.reader.finish(request.pending)
                                  : request.reader.feed(buffer, received, request.pending);
    if (!ok) {
        error = errorForFailure(request.reader.failure());
    }
    return ok;
}

// Waits until body bytes are pending or the body is complete.
bool fillPending(Request& request, uint32_t& error) {
    if (request.pendingOffset == request.pending.size()) {
        request.pending.clear();
        request.pendingOffset = 0;
    }
    while (request.pendingSize() == 0 && !request.reader.complete()) {
        if (!receiveMore(request, error)) {
            return false;
        }
    }
    return true;
}

class PosixTransport final : public InternetTransport {
  public:
    Handle openRoot(const char*) override { return new PosixHandle(PosixHandle::Kind::Root); }

    Handle connect(Handle root, const char* host, uint16_t port, void*) override {
        const PosixHandle* parent = handleOf(root);
        if (parent == nullptr || parent->kind != PosixHandle::Kind::Root) {
            failWith(kErrorInternetIncorrectHandleType);
            return nullptr;
        }
        if (*host == '\0') {
            failWith(kErrorInternetInvalidUrl);  // as WinINet: no server to talk to
            return nullptr;
        }
        auto connection = std::make_unique<Connection>();
        connection->receiveTimeoutMs = parent->receiveTimeoutMs;
        connection->host = host;
        connection->port = port;
        return connection.release();
    }

    Handle openRequest(Handle connection, const char* verb, const char* path, const char* version,
                       const char* acceptType, uint32_t flags, void* context) override {
        const Connection* parent = connectionOf(connection);
        if (parent == nullptr) {
            failWith(kErrorInternetIncorrectHandleType);
            return nullptr;
        }
        if ((flags & kInternetFlagSecure) != 0) {
            failWith(kErrorInternetUnrecognizedScheme);
            return nullptr;
        }
        auto request = std::make_unique<Request>();
        request->connection = parent;
        request->receiveTimeoutMs = parent->receiveTimeoutMs;
        request->verb = verb;
        request->path = path;
        request->version = version;
        request->acceptType = acceptType;
        request->context = context;
        return request.release();
    }

    bool setOption(Handle handle, uint32_t option, const void* data, uint32_t length) override {
        PosixHandle* target = handleOf(handle);
        if (target == nullptr) {
            return failWith(kErrorInvalidParameter);
        }
        switch (option) {
            case kInternetOptionReceiveTimeout:
                if (length < sizeof(uint32_t)) {
                    return failWith(kErrorInvalidParameter);
                }
                std::memcpy(&target->receiveTimeoutMs, data, sizeof(uint32_t));
                return true;
            case kInternetOptionSecurityFlags:
                if (Request* request = requestOf(handle);
                    request != nullptr && length >= sizeof(uint32_t)) {
                    std::memcpy(&request->securityFlags, data, sizeof(uint32_t));
                    return true;
                }
                return failWith(kErrorInternetIncorrectHandleType);
            case kInternetOptionUserName:
            case kInternetOptionPassword:
                if (Connection* connection = connectionOf(handle)) {
                    std::string& text = option == kInternetOptionUserName ? connection->userName
                                                                          : connection->password;
                    text.assign(static_cast<const char*>(data), length);
                    text.resize(std::strlen(text.c_str()));
                    return true;
                }
                return failWith(kErrorInternetIncorrectHandleType);
            default:
                return failWith(kErrorInternetInvalidOption);
        }
    }

    bool queryOption(Handle handle, uint32_t option, void* data, uint32_t* length) override {
        const Request* request = requestOf(handle);
        if (option != kInternetOptionSecurityFlags || request == nullptr) {
            return failWith(kErrorInternetInvalidOption);
        }
        if (*length < sizeof(uint32_t)) {
            *length = sizeof(uint32_t);
            return failWith(kErrorInsufficientBuffer);
        }
        std::memcpy(data, &request->securityFlags, sizeof(uint32_t));
        *length = sizeof(uint32_t);
        return true;
    }

    void setStatusCallback(Handle handle, InternetStatusCallback callback) override {
        if (Request* request = requestOf(handle)) {
            request->callback = callback;
        }
    }

    bool addHeaders(Handle handle, const char* headers, uint32_t length) override {
        Request* request = requestOf(handle);
        if (request == nullptr) {
            return failWith(kErrorInternetIncorrectHandleType);
        }
        std::string block(headers, length);
        block.resize(std::strlen(block.c_str()));
        while (!block.empty() && (block.back() == '\n' || block.back() == '\r')) {
            block.pop_back();
        }
        if (!block.empty()) {
            request->addedHeaders += block + "\r\n";
        }
        return true;
    }

    bool sendRequest(Handle handle, const void* body, uint32_t length) override {
        Request* request = requestOf(handle);
        if (request == nullptr) {
            return failWith(kErrorInternetIncorrectHandleType);
        }
        const Connection& connection = *request->connection;
        uint32_t error = 0;
        request->report(kInternetStatusResolvingName);
        request->report(kInternetStatusNameResolved);
        request->report(kInternetStatusConnectingToServer);
        if (!request->socket.connect(connection.host, connection.port, kConnectTimeoutMs, error)) {
            return failWith(error);
        }
        request->report(kInternetStatusConnectedToServer);
        std::string message = requestHead(*request);
        message.append(static_cast<const char*>(body), length);
        request->report(kInternetStatusSendingRequest);
        if (!request->socket.sendAll(message.data(), message.size(), request->receiveTimeoutMs,
                                     error)) {
            return failWith(error);
        }
        request->report(kInternetStatusRequestSent);
        while (!request->reader.headComplete()) {
            if (!receiveMore(*request, error)) {
                return failWith(error);
            }
        }
        return true;
    }

    bool queryDataAvailable(Handle handle, uint32_t* available) override {
        Request* request = requestOf(handle);
        *available = 0;
        if (request == nullptr || !request->reader.headComplete()) {
            return failWith(kErrorInternetIncorrectHandleType);
        }
        uint32_t error = 0;
        if (!fillPending(*request, error)) {
            return failWith(error);
        }
        const size_t pending = request->pendingSize();
        *available = pending > 0x7fffffffu ? 0x7fffffffu : static_cast<uint32_t>(pending);
        return true;
    }

    bool readFile(Handle handle, void* buffer, uint32_t size, uint32_t* bytesRead) override {
        Request* request = requestOf(handle);
        *bytesRead = 0;
        if (request == nullptr || !request->reader.headComplete()) {
            return failWith(kErrorInternetIncorrectHandleType);
        }
        char* out = static_cast<char*>(buffer);
        while (*bytesRead < size) {
            uint32_t error = 0;
            if (!fillPending(*request, error)) {
                return failWith(error);
            }
            const size_t take = std::min<size_t>(request->pendingSize(), size - *bytesRead);
            if (take == 0) {
                break;  // end of the body
            }
            std::memcpy(out + *bytesRead, request->pending.data() + request->pendingOffset, take);
            request->pendingOffset += take;
            *bytesRead += static_cast<uint32_t>(take);
        }
        return true;
    }

    bool queryStatusCode(Handle handle, uint32_t* statusCode) override {
        const Request* request = requestOf(handle);
        if (request == nullptr || !request->reader.headComplete()) {
            return failWith(kErrorHttpHeaderNotFound);
        }
        *statusCode = static_cast<uint32_t>(request->reader.statusCode());
        return true;
    }

    bool queryStatusText(Handle handle, char* buffer, uint32_t* length) override {
        const Request* request = requestOf(handle);
        if (request == nullptr || !request->reader.headComplete()) {
            return failWith(kErrorHttpHeaderNotFound);
        }
        const std::string& text = request->reader.statusText();
        if (buffer == nullptr || *length < text.size() + 1) {
            *length = static_cast<uint32_t>(text.size() + 1);
            return failWith(kErrorInsufficientBuffer);
        }
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        *length = static_cast<uint32_t>(text.size());
        return true;
    }

    bool closeHandle(Handle handle) override {
        std::unique_ptr<PosixHandle> owned(handleOf(handle));
        if (const Request* request = requestOf(handle)) {
            request->report(kInternetStatusHandleClosing);
        }
        return true;
    }

    uint32_t lastError() const override { return lastError_; }

    // The texts of the conditions only this transport reports.
    bool systemMessage(uint32_t code, std::string& text) const override {
        switch (code) {
            case kErrorInternetUnrecognizedScheme:
                text = "HTTPS is not supported by this build; use an http:// URL";
                return true;
            case kErrorHttpInvalidServerResponse:
                text = "The server returned an invalid or unrecognized response";
                return true;
            default:
                return false;
        }
    }

  private:
    bool failWith(uint32_t code) {
        lastError_ = code;
        return false;
    }

    uint32_t lastError_ = 0;
};

}  // namespace

std::unique_ptr<InternetTransport> makePlatformInternetTransport() {
    return std::make_unique<PosixTransport>();
}

// The transport over WinINet (Windows build). Every handle is a small record holding the WinINet
// handle and the status callback installed on it; the record's address is the WinINet context,
// so one fixed WinINet callback can forward to the client's callback with the client's context.
#include <windows.h>
#include <wininet.h>

#include <memory>
#include <utility>

#include "base/system_error_text.h"
#include "xmlrpc/client/internet_transport.h"

namespace {

struct WinInetHandle {
    HINTERNET handle = nullptr;
    InternetStatusCallback callback = nullptr;
    void* context = nullptr;
};

WinInetHandle* record(InternetTransport::Handle handle) {
    return static_cast<WinInetHandle*>(handle);
}

HINTERNET native(InternetTransport::Handle handle) {
    return handle == nullptr ? nullptr : record(handle)->handle;
}

// Hands a new record over, or frees it without disturbing the thread's last error.
InternetTransport::Handle adopt(std::unique_ptr<WinInetHandle> owner) {
    if (owner->handle != nullptr) {
        return owner.release();
    }
    const DWORD error = GetLastError();
    owner.reset();
    SetLastError(error);
    return nullptr;
}

void CALLBACK forwardStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
    const auto* owner = reinterpret_cast<const WinInetHandle*>(context);
    if (owner != nullptr && owner->callback != nullptr) {
        owner->callback(owner->context, status);
    }
}

class WinInetTransport final : public InternetTransport {
  public:
    Handle openRoot(const char* agent) override {
        auto owner = std::make_unique<WinInetHandle>();
        owner->handle = InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        return adopt(std::move(owner));
    }

    Handle connect(Handle root, const char* host, uint16_t port, void* context) override {
        auto owner = std::make_unique<WinInetHandle>();
        owner->context = context;
        owner->handle =
            InternetConnectA(native(root), host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                             reinterpret_cast<DWORD_PTR>(owner.get()));
        return adopt(std::move(owner));
    }

    Handle openRequest(Handle connection, const char* verb, const char* path, const char* version,
                       const char* acceptType, uint32_t flags, void* context) override {
        auto owner = std::make_unique<WinInetHandle>();
        owner->context = context;
        const char* acceptTypes[] = {acceptType, nullptr};
        owner->handle =
            HttpOpenRequestA(native(connection), verb, path, version, nullptr, acceptTypes, flags,
                             reinterpret_cast<DWORD_PTR>(owner.get()));
        return adopt(std::move(owner));
    }

    bool setOption(Handle handle, uint32_t option, const void* data, uint32_t length) override {
        return InternetSetOptionA(native(handle), option, const_cast<void*>(data), length) != FALSE;
    }

    bool queryOption(Handle handle, uint32_t option, void* data, uint32_t* length) override {
        DWORD size = *length;
        const bool ok = InternetQueryOptionA(native(handle), option, data, &size) != FALSE;
        *length = size;
        return ok;
    }

    void setStatusCallback(Handle request, InternetStatusCallback callback) override {
        record(request)->callback = callback;
        InternetSetStatusCallback(native(request), &forwardStatus);
    }

    bool addHeaders(Handle request, const char* headers, uint32_t length) override {
        return HttpAddRequestHeadersA(native(request), headers, length, HTTP_ADDREQ_FLAG_ADD) !=
               FALSE;
    }

    bool sendRequest(Handle request, const void* body, uint32_t length) override {
        return HttpSendRequestA(native(request), nullptr, 0, const_cast<void*>(body), length) !=
               FALSE;
    }

    bool queryDataAvailable(Handle request, uint32_t* available) override {
        DWORD count = 0;
        const bool ok =
            InternetQueryDataAvailable(native(request), &count, 0,
                                       reinterpret_cast<DWORD_PTR>(record(request))) != FALSE;
        *available = count;
        return ok;
    }

    bool readFile(Handle request, void* buffer, uint32_t size, uint32_t* bytesRead) override {
        DWORD count = 0;
        const bool ok = InternetReadFile(native(request), buffer, size, &count) != FALSE;
        *bytesRead = count;
        return ok;
    }

    bool queryStatusCode(Handle request, uint32_t* statusCode) override {
        DWORD code = 0;
        DWORD size = sizeof code;
        const bool ok =
            HttpQueryInfoA(native(request), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code,
                           &size, nullptr) != FALSE;
        *statusCode = code;
        return ok;
    }

    bool queryStatusText(Handle request, char* buffer, uint32_t* length) override {
        DWORD size = *length;
        const bool ok = HttpQueryInfoA(native(request), HTTP_QUERY_STATUS_TEXT, buffer, &size,
                                       nullptr) != FALSE;
        *length = size;
        return ok;
    }

    bool closeHandle(Handle handle) override {
        std::unique_ptr<WinInetHandle> owner(record(handle));
        // The record stays alive while WinINet reports the closing to the callback.
        return InternetCloseHandle(owner->handle) != FALSE;
    }

    uint32_t lastError() const override { return GetLastError(); }

    bool systemMessage(uint32_t code, std::string& text) const override {
        text = systemErrorText(code);
        return !text.empty();
    }
};

}  // namespace

std::unique_ptr<InternetTransport> makePlatformInternetTransport() {
    return std::make_unique<WinInetTransport>();
}

#include "fake_internet_transport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

struct FakeInternetTransport::FakeHandle {
    std::string kind;  // "root", "connection" or "request"
    InternetStatusCallback callback = nullptr;
    void* context = nullptr;
    uint32_t securityFlags = 0;
    bool sent = false;
    FakeResponse response;
    size_t chunk = 0;  // next body chunk
};

namespace {

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

FakeInternetTransport::FakeInternetTransport() = default;

FakeInternetTransport::~FakeInternetTransport() {
    for (FakeHandle* handle : open_) {
        delete handle;
    }
}

void FakeInternetTransport::failAt(FakeStep step, uint32_t code, int occurrence) {
    failures_[step][occurrence] = code;
}

bool FakeInternetTransport::failsNow(FakeStep step) {
    const int count = ++counts_[step];
    const auto step_failures = failures_.find(step);
    if (step_failures == failures_.end()) {
        return false;
    }
    const auto failure = step_failures->second.find(count);
    if (failure == step_failures->second.end()) {
        return false;
    }
    lastError_ = failure->second;
    return true;
}

FakeInternetTransport::FakeHandle* FakeInternetTransport::handleOf(Handle handle) const {
    auto* fake = static_cast<FakeHandle*>(handle);
    if (open_.count(fake) == 0) {
        throw std::logic_error("operation on a handle that is not open");
    }
    return fake;
}

InternetTransport::Handle FakeInternetTransport::adopt(std::unique_ptr<FakeHandle> handle) {
    open_.insert(handle.get());
    return handle.release();
}

void FakeInternetTransport::report(const FakeHandle& handle, uint32_t status) {
    if (handle.callback != nullptr) {
        handle.callback(handle.context, status);
    }
}

InternetTransport::Handle FakeInternetTransport::openRoot(const char* agent) {
    calls.push_back(std::string("openRoot ") + agent);
    if (failsNow(FakeStep::OpenRoot)) {
        return nullptr;
    }
    auto handle = std::make_unique<FakeHandle>();
    handle->kind = "root";
    return adopt(std::move(handle));
}

InternetTransport::Handle FakeInternetTransport::connect(Handle root, const char* host,
                                                         uint16_t port, void* context) {
    calls.push_back("connect " + std::string(host) + " " + std::to_string(port));
    handleOf(root);
    if (failsNow(FakeStep::Connect)) {
        return nullptr;
    }
    auto handle = std::make_unique<FakeHandle>();
    handle->kind = "connection";
    handle->context = context;
    return adopt(std::move(handle));
}

InternetTransport::Handle FakeInternetTransport::openRequest(Handle connection, const char* verb,
                                                             const char* path, const char* version,
                                                             const char* acceptType, uint32_t flags,
                                                             void* context) {
    calls.push_back("openRequest " + std::string(verb) + " " + path + " " + version + " " +
                    acceptType + " " + hex(flags));
    handleOf(connection);
    if (failsNow(FakeStep::OpenRequest)) {
        return nullptr;
    }
    auto handle = std::make_unique<FakeHandle>();
    handle->kind = "request";
    handle->context = context;
    handle->securityFlags = initialSecurityFlags;
    sentHeaders.emplace_back();
    return adopt(std::move(handle));
}

bool FakeInternetTransport::setOption(Handle handle, uint32_t option, const void* data,
                                      uint32_t length) {
    FakeHandle* target = handleOf(handle);
    std::string value;
    if (option == kInternetOptionUserName || option == kInternetOptionPassword) {
        value.assign(static_cast<const char*>(data), length);
    } else {
        uint32_t number = 0;
        std::memcpy(&number, data, std::min<uint32_t>(length, sizeof number));
        value = option == kInternetOptionSecurityFlags ? hex(number) : std::to_string(number);
        if (option == kInternetOptionSecurityFlags) {
            target->securityFlags = number;
        }
    }
    calls.push_back("setOption " + target->kind + " " + std::to_string(option) + " " + value);
    return true;
}

bool FakeInternetTransport::queryOption(Handle handle, uint32_t option, void* data,
                                        uint32_t* length) {
    FakeHandle* target = handleOf(handle);
    calls.push_back("queryOption " + target->kind + " " + std::to_string(option));
    if (option != kInternetOptionSecurityFlags || *length < sizeof(uint32_t)) {
        lastError_ = kErrorInsufficientBuffer;
        return false;
    }
    std::memcpy(data, &target->securityFlags, sizeof(uint32_t));
    *length = sizeof(uint32_t);
    return true;
}

void FakeInternetTransport::setStatusCallback(Handle request, InternetStatusCallback callback) {
    calls.push_back("setStatusCallback");
    handleOf(request)->callback = callback;
}

bool FakeInternetTransport::addHeaders(Handle request, const char* headers, uint32_t length) {
    handleOf(request);
    calls.push_back("addHeaders");
    sentHeaders.back().assign(headers, length);
    return true;
}

bool FakeInternetTransport::sendRequest(Handle request, const void* body, uint32_t length) {
    FakeHandle* target = handleOf(request);
    calls.push_back("sendRequest " + std::to_string(length));
    sentBodies.emplace_back(static_cast<const char*>(body), length);
    report(*target, kInternetStatusSendingRequest);
    if (failsNow(FakeStep::SendRequest)) {
        return false;
    }
    report(*target, kInternetStatusRequestSent);
    if (responses.empty()) {
        throw std::logic_error("no scripted response left");
    }
    target->response = responses.front();
    responses.pop_front();
    target->sent = true;
    return true;
}

bool FakeInternetTransport::queryDataAvailable(Handle request, uint32_t* available) {
    FakeHandle* target = handleOf(request);
    calls.push_back("queryDataAvailable");
    if (failsNow(FakeStep::QueryDataAvailable)) {
        return false;
    }
    const auto& chunks = target->response.bodyChunks;
    *available =
        target->chunk < chunks.size() ? static_cast<uint32_t>(chunks[target->chunk].size()) : 0;
    return true;
}

bool FakeInternetTransport::readFile(Handle request, void* buffer, uint32_t size,
                                     uint32_t* bytesRead) {
    FakeHandle* target = handleOf(request);
    calls.push_back("readFile " + std::to_string(size));
    report(*target, kInternetStatusReceivingResponse);
    if (failsNow(FakeStep::ReadFile)) {
        return false;
    }
    const auto& chunks = target->response.bodyChunks;
    *bytesRead = 0;
    if (target->chunk < chunks.size()) {
        const std::string& chunk = chunks[target->chunk++];
        *bytesRead = std::min<uint32_t>(size, static_cast<uint32_t>(chunk.size()));
        std::memcpy(buffer, chunk.data(), *bytesRead);
    }
    report(*target, kInternetStatusResponseReceived);
    return true;
}

bool FakeInternetTransport::queryStatusCode(Handle request, uint32_t* statusCode) {
    FakeHandle* target = handleOf(request);
    calls.push_back("queryStatusCode");
    if (failsNow(FakeStep::QueryStatusCode)) {
        return false;
    }
    *statusCode = target->response.status;
    return true;
}

bool FakeInternetTransport::queryStatusText(Handle request, char* buffer, uint32_t* length) {
    FakeHandle* target = handleOf(request);
    calls.push_back("queryStatusText " + std::to_string(*length));
    const std::string& text = target->response.statusText;
    if (buffer == nullptr || *length < text.size() + 1) {
        *length = static_cast<uint32_t>(text.size() + 1);
        lastError_ = kErrorInsufficientBuffer;
        return false;
    }
    if (failsNow(FakeStep::QueryStatusText)) {
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *length = static_cast<uint32_t>(text.size());
    return true;
}

bool FakeInternetTransport::closeHandle(Handle handle) {
    std::unique_ptr<FakeHandle> target(handleOf(handle));
    calls.push_back("closeHandle " + target->kind);
    report(*target, kInternetStatusHandleClosing);
    open_.erase(target.get());
    return true;
}

bool FakeInternetTransport::systemMessage(uint32_t code, std::string& text) const {
    const auto found = systemMessages.find(code);
    if (found == systemMessages.end()) {
        return false;
    }
    text = found->second;
    return true;
}

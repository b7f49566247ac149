// A scripted InternetTransport for unit tests: records every operation as a line of text, answers
// each sent request with the next scripted response, and fails any chosen step with a chosen
// error code.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "xmlrpc/client/internet_transport.h"

struct FakeResponse {
    uint32_t status = 200;
    std::string statusText = "OK";
    std::vector<std::string> bodyChunks;  // what each queryDataAvailable/readFile pair yields
};

enum class FakeStep {
    OpenRoot,
    Connect,
    OpenRequest,
    SendRequest,
    QueryDataAvailable,
    ReadFile,
    QueryStatusCode,
    QueryStatusText,
};

class FakeInternetTransport : public InternetTransport {
  public:
    FakeInternetTransport();
    ~FakeInternetTransport() override;

    // Scripting.
    std::deque<FakeResponse> responses;  // one per sendRequest, in order
    // The `occurrence`-th call (1-based) of `step` fails with `code`.
    void failAt(FakeStep step, uint32_t code, int occurrence = 1);
    std::map<uint32_t, std::string> systemMessages;
    uint32_t initialSecurityFlags = 0x3000;

    // What happened.
    std::vector<std::string> calls;        // "openRequest POST /RPC2 HTTP/1.0 text/* 0x4400000"
    std::vector<std::string> sentBodies;   // body of each sendRequest
    std::vector<std::string> sentHeaders;  // headers added to each request
    int openHandleCount() const { return static_cast<int>(open_.size()); }

    Handle openRoot(const char* agent) override;
    Handle connect(Handle root, const char* host, uint16_t port, void* context) override;
    Handle openRequest(Handle connection, const char* verb, const char* path, const char* version,
                       const char* acceptType, uint32_t flags, void* context) override;
    bool setOption(Handle handle, uint32_t option, const void* data, uint32_t length) override;
    bool queryOption(Handle handle, uint32_t option, void* data, uint32_t* length) override;
    void setStatusCallback(Handle request, InternetStatusCallback callback) override;
    bool addHeaders(Handle request, const char* headers, uint32_t length) override;
    bool sendRequest(Handle request, const void* body, uint32_t length) override;
    bool queryDataAvailable(Handle request, uint32_t* available) override;
    bool readFile(Handle request, void* buffer, uint32_t size, uint32_t* bytesRead) override;
    bool queryStatusCode(Handle request, uint32_t* statusCode) override;
    bool queryStatusText(Handle request, char* buffer, uint32_t* length) override;
    bool closeHandle(Handle handle) override;
    uint32_t lastError() const override { return lastError_; }
    bool systemMessage(uint32_t code, std::string& text) const override;

  private:
    struct FakeHandle;

    bool failsNow(FakeStep step);
    FakeHandle* handleOf(Handle handle) const;
    Handle adopt(std::unique_ptr<FakeHandle> handle);
    static void report(const FakeHandle& handle, uint32_t status);

    std::map<FakeStep, std::map<int, uint32_t>> failures_;
    std::map<FakeStep, int> counts_;
    std::set<FakeHandle*> open_;
    uint32_t lastError_ = 0;
};

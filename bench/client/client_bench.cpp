// One poll tick's reads: the eleven field methods, each through a fresh XmlRpcClient as the
// bridge does it, against the same sequence done by a minimal raw-socket client (connect, write
// the same request, read to the close) on the same in-process server. Prints the ratio.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "fldigi_like_server.h"
#include "xmlrpc/client/client.h"
#include "xmlrpc/core/envelope.h"

namespace {

const char* const kFieldMethods[] = {
    "log.get_call",   "log.get_name",     "log.get_qth",    "log.get_frequency",
    "log.get_rst_in", "log.get_rst_out",  "modem.get_name", "log.get_locator",
    "log.get_state",  "log.get_province", "log.get_notes",
};

FldigiLikeServer& server() {
    static FldigiLikeServer instance;
    return instance;
}

void clientSequence(benchmark::State& state) {
    const std::string url = "http://127.0.0.1:" + std::to_string(server().port()) + "/RPC2";
    const XmlRpcValue noParams;
    for (auto _ : state) {
        for (const char* method : kFieldMethods) {
            XmlRpcClient client(url.c_str());
            client.setAcceptUnknownAuthority(true);
            XmlRpcValue result;
            if (!client.call(method, noParams, result) || result.kind() != ValueKind::String) {
                state.SkipWithError(client.errorText().c_str());
                return;
            }
            benchmark::DoNotOptimize(result.stringValue());
        }
    }
}

// The bytes the socket transport sends for one call, prepared outside the timed loop.
std::string rawRequest(const char* method) {
    std::string body;
    writeMethodCall(body, method, XmlRpcValue());
    return "POST /RPC2 HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server().port()) +
           "\r\nUser-Agent: XmlRpc\r\nAccept: text/*\r\nConnection: keep-alive\r\n"
           "Content-Type: text/xml\r\nContent-length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

bool rawCall(const sockaddr_in& address, const std::string& request, std::string& response) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
              ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                  static_cast<ssize_t>(request.size());
    response.clear();
    char buffer[4096];
    ssize_t n = 0;
    while (ok && (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
        response.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return ok && n == 0 && !response.empty();
}

void rawSequence(benchmark::State& state) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(server().port());
    std::string requests[11];
    for (size_t i = 0; i < 11; ++i) {
        requests[i] = rawRequest(kFieldMethods[i]);
    }
    std::string response;
    for (auto _ : state) {
        for (const std::string& request : requests) {
            if (!rawCall(address, request, response)) {
                state.SkipWithError("raw call failed");
                return;
            }
            benchmark::DoNotOptimize(response.data());
        }
    }
}

BENCHMARK(clientSequence)->Name("ElevenFieldReads/XmlRpcClient")->Unit(benchmark::kMicrosecond);
BENCHMARK(rawSequence)->Name("ElevenFieldReads/RawSocket")->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto client = reporter.times.find("ElevenFieldReads/XmlRpcClient");
    const auto raw = reporter.times.find("ElevenFieldReads/RawSocket");
    if (client != reporter.times.end() && raw != reporter.times.end() && raw->second > 0) {
        std::printf("XmlRpcClient / raw socket: %.3f (target <= 1.2)\n",
                    client->second / raw->second);
    }
    benchmark::Shutdown();
    return 0;
}

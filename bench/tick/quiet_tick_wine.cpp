// What a quiet bridge costs next to the bare calls it cannot avoid, under Wine (no Google
// Benchmark for MinGW: a plain program printing one line a run).
//
// Floor: the eleven field reads of a tick, each through a fresh XmlRpcClient (fresh WinINet
// handles), against an fldigi-like HTTP server in this process. Tick: the real PollCycle, connected
// to fldigi and the host, over the real fldigi port (the same server) and the real marker-file
// port over an empty temp folder of its own, finding nothing changed. Ledger: the contact ledger's
// part of such a tick alone, over another counting port of the same folder. Floor, tick and ledger
// are timed in turn, tick after tick, so that each run has its own floor; so are the same eleven
// calls over bare WinINet, for what the client itself adds.
//
// Usage: quiet_tick_wine [RUNS [TICKS]]  (default 3 runs of 300 ticks)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <windows.h>
#include <wininet.h>

#include "app/poll/contact_ledger.h"
#include "app/poll/poll_cycle.h"
#include "app/poll/xmlrpc_fldigi_port.h"
#include "app/windows_marker_files.h"
#include "bench/tick/null_ports.h"
#include "fldigi_like_server.h"
#include "xmlrpc/client/client.h"
#include "xmlrpc/core/envelope.h"

namespace {

using namespace pollcycle;
using namespace pollcycle::nullports;
using Clock = std::chrono::steady_clock;

const char* const kFieldMethods[] = {
    "log.get_call",   "log.get_name",     "log.get_qth",    "log.get_frequency",
    "log.get_rst_in", "log.get_rst_out",  "modem.get_name", "log.get_locator",
    "log.get_state",  "log.get_province", "log.get_notes",
};

// Ticks run before timing: the first looks at the folder and the record of saves once.
constexpr int kWarmUpTicks = 10;

// An empty folder of this run's own in the temp folder, removed at the end.
class EmptyFolder {
  public:
    EmptyFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("varnock-quiet-tick-" + std::to_string(::GetCurrentProcessId()))) {
        std::filesystem::create_directories(path_);
    }
    ~EmptyFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    EmptyFolder(const EmptyFolder&) = delete;
    EmptyFolder& operator=(const EmptyFolder&) = delete;

    // fldigi's marker path in it, as the poll cycle keeps it (backslashes).
    std::string markerPath() const { return path_.u8string() + "\\" + kMarkerFileName; }
    bool isEmpty() const { return std::filesystem::is_empty(path_); }

  private:
    std::filesystem::path path_;
};

bool floorOnce(const std::string& url) {
    const XmlRpcValue noParams;
    for (const char* method : kFieldMethods) {
        XmlRpcClient client(url.c_str());
        client.setAcceptUnknownAuthority(true);
        XmlRpcValue result;
        if (!client.call(method, noParams, result) || result.kind() != ValueKind::String) {
            return false;
        }
    }
    return true;
}

// One WinINet handle, closed with its owner.
struct InternetHandle {
    explicit InternetHandle(HINTERNET handle) : get(handle) {}
    ~InternetHandle() {
        if (get != nullptr) {
            ::InternetCloseHandle(get);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get;
};

// The same eleven calls over bare WinINet (fresh root, connection and request handles for each,
// the client's request flags), each request written beforehand: the floor under the floor.
bool bareFloorOnce(uint16_t port, const std::vector<std::string>& bodies) {
    const char* acceptTypes[] = {"text/*", nullptr};
    const std::string headers = "Content-Type: text/xml\r\nContent-length: ";
    for (const std::string& body : bodies) {
        const InternetHandle root(
            ::InternetOpenA("XmlRpc", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        const InternetHandle connection(::InternetConnectA(root.get, "127.0.0.1", port, nullptr,
                                                           nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        const InternetHandle request(::HttpOpenRequestA(connection.get, "POST", "/RPC2", "HTTP/1.0",
                                                        nullptr, acceptTypes,
                                                        XmlRpcClient::kHttpRequestFlags, 0));
        const std::string lengthHeader = headers + std::to_string(body.size());
        if (request.get == nullptr ||
            !::HttpAddRequestHeadersA(request.get, lengthHeader.c_str(),
                                      static_cast<DWORD>(lengthHeader.size()),
                                      HTTP_ADDREQ_FLAG_ADD) ||
            !::HttpSendRequestA(request.get, nullptr, 0, const_cast<char*>(body.data()),
                                static_cast<DWORD>(body.size()))) {
            return false;
        }
        char buffer[4096];
        DWORD got = 0;
        do {
            if (!::InternetReadFile(request.get, buffer, sizeof buffer, &got)) {
                return false;
            }
        } while (got > 0);
    }
    return true;
}

std::vector<std::string> requestBodies() {
    std::vector<std::string> bodies;
    for (const char* method : kFieldMethods) {
        bodies.emplace_back();
        writeMethodCall(bodies.back(), method, XmlRpcValue());
    }
    return bodies;
}

template <class Step>
double microseconds(Step&& step) {
    const Clock::time_point start = Clock::now();
    step();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

struct Series {
    std::vector<double> us;
    double median() {
        std::sort(us.begin(), us.end());
        return us.empty() ? 0.0 : us[us.size() / 2];
    }
    double mean() const {
        double sum = 0;
        for (double u : us) {
            sum += u;
        }
        return us.empty() ? 0.0 : sum / static_cast<double>(us.size());
    }
};

// The poll cycle's state and ports for quiet ticks over `folder`, connected to both sides.
struct QuietBridge {
    QuietBridge(const std::string& url, const EmptyFolder& folder)
        : fldigi(url), tickFiles(files), ledgerFiles(files) {
        state.hostAttached = state.fldigiConnected = true;
        state.markerPath = folder.markerPath();
    }
    void tick() { PollCycle(state, {fldigi, host, tickFiles, view, noEvents}).OnTimer(); }
    void ledgerOnly() {
        ContactLedger(ledgerMemory, ledgerFiles, noEvents, state.markerPath).takePending();
    }

    PollState state;
    LedgerMemory ledgerMemory;
    XmlRpcFldigiPort fldigi;
    NullHost host;
    WindowsMarkerFiles files;
    CountingMarkers tickFiles;
    CountingMarkers ledgerFiles;
    NullView view;
    BridgeEventFanOut noEvents;
};

// One run: floor, tick and ledger timed in turn `ticks` times; prints its line. A round where a
// call failed is left out and counted: Wine's WinINet sometimes sends a request over a pooled
// connection that the server (as fldigi) is just closing. False when no round was whole or a
// quiet tick left anything in the folder.
bool run(int index, int ticks, uint16_t port) {
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/RPC2";
    const std::vector<std::string> bodies = requestBodies();
    const EmptyFolder folder;
    QuietBridge bridge(url, folder);
    for (int i = 0; i < kWarmUpTicks; ++i) {
        bridge.tick();
        bridge.ledgerOnly();
    }
    bridge.state.fldigiConnected = true;
    bridge.tickFiles.calls = 0;
    Series bare, floor, tick, ledger;
    int failed = 0;
    for (int i = 0; i < ticks; ++i) {
        bool whole = true, bareWhole = true;
        const double bareUs = microseconds([&] { bareWhole = bareFloorOnce(port, bodies); });
        const double floorUs = microseconds([&] { whole = floorOnce(url); });
        const double tickUs = microseconds([&] { bridge.tick(); });
        whole = whole && bareWhole && bridge.state.fldigiConnected;
        bridge.state.fldigiConnected = true;  // as if found again, without the two calls
        if (!whole) {
            ++failed;
            continue;
        }
        bare.us.push_back(bareUs);
        floor.us.push_back(floorUs);
        tick.us.push_back(tickUs);
        ledger.us.push_back(microseconds([&] { bridge.ledgerOnly(); }));
    }
    if (floor.us.empty() || !folder.isEmpty()) {
        std::fprintf(stderr, "quiet_tick_wine: run %d was not quiet\n", index);
        return false;
    }
    const double floorMedian = floor.median(), tickMedian = tick.median();
    const double bareMedian = bare.median();
    std::printf(
        "run %d: floor %.0f us, quiet tick %.0f us, ratio %.3f (means %.0f / %.0f = %.3f); "
        "bare WinINet %.0f us (tick / bare %.3f); ledger alone %.1f us, %.2f file calls a "
        "tick; %d of %d rounds left out\n",
        index, floorMedian, tickMedian, tickMedian / floorMedian, floor.mean(), tick.mean(),
        tick.mean() / floor.mean(), bareMedian, tickMedian / bareMedian, ledger.median(),
        static_cast<double>(bridge.tickFiles.calls) / ticks, failed, ticks);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const int ticks = argc > 2 ? std::atoi(argv[2]) : 300;
    if (runs < 1 || ticks < 1) {
        std::fprintf(stderr, "usage: quiet_tick_wine [RUNS [TICKS]]\n");
        return 2;
    }
    const FldigiLikeServer server;
    std::printf("%d ticks a run; medians (means in brackets), microseconds\n", ticks);
    for (int i = 1; i <= runs; ++i) {
        if (!run(i, ticks, server.port())) {
            return 1;
        }
    }
    return 0;
}

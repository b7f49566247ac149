// What the diagnostic log costs a poll tick. "Quiet" ticks read the eleven fields from an
// fldigi-like HTTP server through the real client and find nothing changed (the log writes
// nothing); "busy" ticks get a new call sign from in-process ports every time, so each sends
// one host call and the log writes one line to a file on disk. Each reports the file-system
// calls a tick makes (fs_calls_per_tick): no marker, no taken file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "app/diagnostics/event_log.h"
#include "app/diagnostics/logging_ports.h"
#include "app/diagnostics/std_log_file.h"
#include "app/poll/poll_cycle.h"
#include "app/poll/xmlrpc_fldigi_port.h"
#include "fldigi_like_server.h"
#include "null_ports.h"

namespace {

using namespace pollcycle;
using namespace pollcycle::nullports;

// fldigi in process: a new call sign on every tick, every other field empty.
class ChangingFldigi : public FldigiPort, public FldigiSession {
  public:
    std::unique_ptr<FldigiSession> openSession() override {
        return std::make_unique<Forward>(*this);
    }
    FldigiReply call(const char* method) override {
        const bool callSign = std::string(method) == "log.get_call";
        return FldigiReply{true, true, callSign ? "DL" + std::to_string(++ticks_) : ""};
    }

  private:
    struct Forward : FldigiSession {
        explicit Forward(ChangingFldigi& owner) : owner(owner) {}
        FldigiReply call(const char* method) override { return owner.call(method); }
        ChangingFldigi& owner;
    };
    long ticks_ = 0;
};

FldigiLikeServer& server() {
    static FldigiLikeServer instance;
    return instance;
}

struct LogOnDisk {
    LogOnDisk() {
        std::string problem;
        log = std::make_unique<diagnostics::DiagnosticLog>(
            diagnostics::StdLogFile::open(path.u8string(), problem));
    }
    ~LogOnDisk() {
        log.reset();
        std::filesystem::remove(path);
        std::filesystem::remove(path.u8string() + ".1");
    }
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("varnock-tick-bench-" + std::to_string(::getpid()) + ".log");
    std::unique_ptr<diagnostics::DiagnosticLog> log;
};

template <typename Fldigi>
void runTicks(benchmark::State& bench, Fldigi& fldigi, bool withLog) {
    PollState state;
    state.hostAttached = state.fldigiConnected = true;
    state.markerPath = "/nonexistent/temp/log.adif";
    NullHost host;
    NoMarkers noMarkers;
    // A quiet tick looks for a new marker once and at the set-aside file every few ticks; it
    // searches no folder while nothing is taken.
    CountingMarkers markers(noMarkers);
    NullView view;
    LogOnDisk disk;
    BridgeEventFanOut noEvents;
    for (auto _ : bench) {
        if (withLog) {
            diagnostics::LoggingHostPort loggedHost(host, *disk.log);
            diagnostics::EventLog events(*disk.log);
            PollCycle(state, {fldigi, loggedHost, markers, view, events}).OnTimer();
        } else {
            PollCycle(state, {fldigi, host, markers, view, noEvents}).OnTimer();
        }
    }
    bench.counters["fs_calls_per_tick"] =
        benchmark::Counter(static_cast<double>(markers.calls), benchmark::Counter::kAvgIterations);
    bench.SetLabel(withLog ? "with log" : "without log");
}

void quietTick(benchmark::State& bench) {
    XmlRpcFldigiPort fldigi("http://127.0.0.1:" + std::to_string(server().port()) + "/RPC2");
    runTicks(bench, fldigi, bench.range(0) != 0);
}

void busyTick(benchmark::State& bench) {
    ChangingFldigi fldigi;
    runTicks(bench, fldigi, bench.range(0) != 0);
}

BENCHMARK(quietTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(busyTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

#include "ratio_reporter.h"

#include <cstdio>
#include <ostream>

namespace codecbench {

namespace {

const char kOurs[] = "/ours";
const char kPeer[] = "/xmlrpc-c";

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

RatioReporter::RatioReporter(std::map<std::string, double> targets)
    : benchmark::ConsoleReporter(OO_None), targets_(std::move(targets)) {}

bool RatioReporter::isRepresentative(const Run& run) {
    if (run.error_occurred)
        return false;
    if (run.run_type == Run::RT_Aggregate)
        return run.aggregate_name == "median";
    return run.repetitions <= 1;
}

double RatioReporter::cpuNanoseconds(const Run& run) {
    return run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    std::vector<Run> shown = runs;
    for (Run& run : shown) {
        const std::string& name = run.run_name.function_name;
        const bool ours = endsWith(name, kOurs);
        const bool peer = endsWith(name, kPeer);
        if (!ours && !peer)
            continue;
        const std::string tail = ours ? kOurs : kPeer;
        const std::string key = name.substr(0, name.size() - tail.size());
        const bool usable =
            !run.error_occurred && (run.run_type == Run::RT_Iteration ||
                                    run.aggregate_name == "median" || run.aggregate_name == "mean");
        if (ours && usable && pairs_.count(key) && pairs_[key].peerNs > 0) {
            const double ratio = pairs_[key].peerNs / cpuNanoseconds(run);
            run.counters["vs_xmlrpc_c"] = benchmark::Counter(ratio);
        }
        if (!isRepresentative(run))
            continue;
        if (!pairs_.count(key))
            order_.push_back(key);
        (ours ? pairs_[key].oursNs : pairs_[key].peerNs) = cpuNanoseconds(run);
    }
    benchmark::ConsoleReporter::ReportRuns(shown);
}

void RatioReporter::Finalize() {
    std::ostream& out = GetOutputStream();
    char line[160];
    out << "\nSummary (CPU time per operation; ratio = xmlrpc-c / ours)\n";
    std::snprintf(line, sizeof line, "%-22s %14s %14s %9s %8s\n", "operation/workload", "ours ns",
                  "xmlrpc-c ns", "ratio", "target");
    out << line;
    missed_ = 0;
    for (const std::string& key : order_) {
        const Pair& p = pairs_[key];
        if (p.oursNs <= 0 || p.peerNs <= 0)
            continue;
        const double ratio = p.peerNs / p.oursNs;
        const auto target = targets_.find(key);
        const bool hasTarget = target != targets_.end();
        const bool met = !hasTarget || ratio >= target->second;
        if (!met)
            ++missed_;
        std::snprintf(line, sizeof line, "%-22s %14.1f %14.1f %8.1fx %7.1fx  %s\n", key.c_str(),
                      p.oursNs, p.peerNs, ratio, hasTarget ? target->second : 0.0,
                      hasTarget ? (met ? "met" : "MISSED") : "");
        out << line;
    }
    out.flush();
}

}  // namespace codecbench
